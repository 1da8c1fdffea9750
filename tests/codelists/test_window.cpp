#include "CodeListWindow.h"
#include "TestEnvironment.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace {

// What each list must show, written out here rather than taken from the
// window's configuration.
struct Expected {
    const CodeListConfig* config;
    CodeTable table;
    QString clientCaption;  // under the Client wording
    QString projectCaption; // under the Project wording
    QString emptyClientHeading;
    QString emptyProjectHeading;
    QString nameHeading;
    QString numberHeading;
    QString addTip;
    QString questionSuffix;
    QString numericMessage;
};

Expected expectedFor(const QString& list) {
    if (list == "client")
        return {&clientListConfig(),
                CodeTable::Client,
                "Add Client Identification",
                "Add Project Identification",
                "Client Name",
                "Project Name",
                "Client Name",
                "Number",
                "Add Client",
                " from client list?",
                "Client Number must be numeric."};
    return {&workListConfig(),
            CodeTable::Work,
            "Work Codes",
            "Work Codes",
            "Description",
            "Description",
            "Description",
            "Code",
            "Add New Work Code",
            " from work codes?",
            "Work code must be numeric."};
}

} // namespace

class TestCodeListWindow : public QObject {
    Q_OBJECT
private slots:
    void init() {
        env = std::make_unique<TestEnvironment>();
        env->openNewDatabase();
        env->state.gClientLabel = "Client";
    }
    void cleanup() {
        delete window.data();
        env.reset();
    }

    void emptyTable_data() { bothLists(); }
    void emptyTable() {
        // Given an empty table, under either wording
        QFETCH(QString, list);
        const Expected e = expectedFor(list);
        for (const QString wording : {"Client", "Project"}) {
            env->state.gClientLabel = wording;
            open(e);
            // Then the headings are the empty-table ones and 1 is proposed
            QCOMPARE(window->windowTitle(),
                     wording == "Client" ? e.clientCaption : e.projectCaption);
            QCOMPARE(grid()->rowCount(), 0);
            QCOMPARE(heading(1),
                     wording == "Client" ? e.emptyClientHeading : e.emptyProjectHeading);
            QCOMPARE(heading(2), e.numberHeading);
            QCOMPARE(box("txtNumber")->text(), "1");
            QCOMPARE(box("txtDesc")->text(), "");

            // When Delete is pressed with no entry row, OK deletes nothing
            button("cmdDel")->click();
            QCOMPARE(env->prompts.last().text, "Delete  " + e.questionSuffix);
            QCOMPARE(env->prompts.last().title, "Delete Notice");
            QCOMPARE(env->prompts.shown.size(), size_t(1));
            env->prompts.shown.clear();
            delete window.data();
        }
    }

    void controlsAndLayout_data() { bothLists(); }
    void controlsAndLayout() {
        QFETCH(QString, list);
        const Expected e = expectedFor(list);
        open(e);
        QCOMPARE(window->objectName(), list == "client" ? "frmClient" : "frmWork");
        QCOMPARE(button("cmdAdd")->toolTip(), e.addTip);
        for (const char* name : {"cmdAdd", "cmdDel", "cmdHelp"}) {
            QVERIFY(!button(name)->toolTip().isEmpty());
            QCOMPARE(button(name)->accessibleName(), button(name)->toolTip());
            QVERIFY(button(name)->text().isEmpty());
        }
        QVERIFY(button("cmdAdd")->isDefault());
        QCOMPARE(grid()->accessibleName(), window->windowTitle());
        button("cmdHelp")->click();
        QCOMPARE(env->helpCalls.calls.size(), size_t(1));
        QCOMPARE(env->helpCalls.calls[0].topic, "InformationInputs.htm");
        QCOMPARE(env->helpCalls.calls[0].owner.data(), window.data());

        // Closing the list brings the Time Control window back.
        window->close();
        QCOMPARE(env->windows.timesShown(Form::Control), 1);
    }

    void addingProposesAndRefuses_data() { bothLists(); }
    void addingProposesAndRefuses() {
        QFETCH(QString, list);
        const Expected e = expectedFor(list);
        // Given numbers 1, 2 and 7
        for (const CodeEntry& entry : {CodeEntry{1, "Acme"}, {2, "Globex"}, {7, "Ini'tech"}})
            addCodeEntry(db(), e.table, entry);
        open(e);
        QCOMPARE(box("txtNumber")->text(), "8");
        QCOMPARE(heading(1), e.nameHeading);
        QCOMPARE(gridColumn(1), (QStringList{"Acme", "Globex", "Ini'tech"}));
        QCOMPARE(gridColumn(0), (QStringList{"1", "2", "3"}));

        // Refused: a name under another number (in any case), a number under another name
        const std::vector<std::pair<QString, QString>> refused{
            {"Globex", "8"}, {"gLoBeX", "9"}, {"INI'TECH", "10"}, {"Umbrella", "7"}};
        for (const auto& [name, number] : refused) {
            type(name, number);
            QTest::keyClick(box("txtNumber"), Qt::Key_Return);
            QCOMPARE(box("txtDesc")->text(), "");
            QCOMPARE(box("txtNumber")->text(), "8");
            QCOMPARE(codeEntries(db(), e.table).size(), size_t(3));
        }
        QVERIFY(env->prompts.shown.empty());

        // An empty name: the button does nothing at all
        type("", "8");
        box("txtNumber")->setText("12");
        button("cmdAdd")->click();
        QCOMPARE(box("txtNumber")->text(), "12");

        // Added: the list reloads in number order and proposes the next number
        type("Hooli", "5");
        button("cmdAdd")->click();
        QCOMPARE(gridColumn(1), (QStringList{"Acme", "Globex", "Hooli", "Ini'tech"}));
        QCOMPARE(box("txtDesc")->text(), "");
        QCOMPARE(box("txtNumber")->text(), "8");
        QVERIFY(env->prompts.shown.empty());

        // A name too long to store: a message, nothing added, the text kept
        const QString tooLong(256, 'n');
        type(tooLong, "4");
        button("cmdAdd")->click();
        QCOMPARE(env->prompts.shown.size(), size_t(1));
        QVERIFY(env->prompts.last().text.contains("255"));
        QCOMPARE(env->prompts.last().icon, MsgIcon::Critical);
        QCOMPARE(codeEntries(db(), e.table).size(), size_t(4));
        QCOMPARE(box("txtDesc")->text(), tooLong);
    }

    void numberCheck_data() { bothLists(); }
    void numberCheck() {
        QFETCH(QString, list);
        const Expected e = expectedFor(list);
        open(e);
        QLineEdit* number = box("txtNumber");
        // Typed: a letter, a minus first; pasted: a fraction, beyond 32 bits
        const std::vector<std::pair<QString, bool>> refused{
            {"4a", false}, {"-", false}, {"2.5", true}, {"4294967297", true}};
        for (const auto& [text, pasted] : refused) {
            env->prompts.shown.clear();
            number->clear();
            if (pasted)
                number->setText(text);
            else
                QTest::keyClicks(number, text);
            QCOMPARE(number->text(), "");
            QCOMPARE(env->prompts.shown.size(), size_t(1));
            QCOMPARE(env->prompts.last().text, e.numericMessage);
            QCOMPARE(env->prompts.last().title, "Numeric Validation");
            QCOMPARE(env->prompts.last().icon, MsgIcon::Critical);
            QCOMPARE(env->prompts.last().buttons, MsgButtons::Ok);
        }
        // A whole number passes silently
        QTest::keyClicks(number, "0042");
        QCOMPARE(number->text(), "0042");
        QCOMPARE(env->prompts.shown.size(), size_t(1));
    }

    void deleting_data() { bothLists(); }
    void deleting() {
        QFETCH(QString, list);
        const Expected e = expectedFor(list);
        const QString quoted = "O'Brien \"Bros\"";
        for (const CodeEntry& entry : {CodeEntry{1, "Zeta"}, {2, quoted}, {3, "Mid"}})
            addCodeEntry(db(), e.table, entry);
        open(e);

        // Right after opening, Delete names grid row 1; Cancel changes nothing
        env->prompts.answers = {MsgAnswer::Cancel};
        button("cmdDel")->click();
        QCOMPARE(env->prompts.last().text, "Delete Zeta 1" + e.questionSuffix);
        QCOMPARE(env->prompts.last().title, "Delete Notice");
        QCOMPARE(env->prompts.last().icon, MsgIcon::None);
        QCOMPARE(env->prompts.last().buttons, MsgButtons::OkCancel);
        QCOMPARE(codeEntries(db(), e.table).size(), size_t(3));
        QCOMPARE(grid()->rowCount(), 3);

        // An arrow key chooses a row as a click does
        grid()->setFocus();
        QTest::keyClick(grid(), Qt::Key_Down);
        QCOMPARE(window->entryRow(), 1);
        QCOMPARE(cellColour(1, 2), CodeListWindow::kSelectedColour);

        // A click chooses a row and colours it
        clickCell(1, CodeListWindow::kNameColumn);
        QCOMPARE(cellColour(1, 1), CodeListWindow::kSelectedColour);
        clickCell(2, CodeListWindow::kNumberColumn);
        QCOMPARE(cellColour(1, 1), CodeListWindow::kPlainColour);
        QCOMPARE(cellColour(2, 2), CodeListWindow::kSelectedColour);
        clickCell(1, CodeListWindow::kNameColumn);

        // Dragging the Number heading onto the name column
        grid()->horizontalHeader()->moveSection(2, 1);
        QCOMPARE(grid()->horizontalHeader()->visualIndex(2), 1);

        // Then the question still reads name, then number, and that entry goes
        button("cmdDel")->click();
        QCOMPARE(env->prompts.last().text, "Delete " + quoted + " 2" + e.questionSuffix);
        const std::vector<CodeEntry> left{{1, "Zeta"}, {3, "Mid"}};
        QCOMPARE(codeEntries(db(), e.table), left);
        // and the reload puts the columns back in their places
        QCOMPARE(grid()->horizontalHeader()->visualIndex(2), 2);
        QCOMPARE(gridColumn(1), (QStringList{"Zeta", "Mid"}));
    }

    void headingClickSortsWithoutMovingColumns_data() { bothLists(); }
    void headingClickSortsWithoutMovingColumns() {
        QFETCH(QString, list);
        const Expected e = expectedFor(list);
        for (const CodeEntry& entry : {CodeEntry{1, "zeta"}, {2, "Alpha"}, {10, "Mid"}})
            addCodeEntry(db(), e.table, entry);
        open(e);
        QHeaderView* headings = grid()->horizontalHeader();
        QTest::mouseClick(headings->viewport(), Qt::LeftButton, {},
                          QPoint(headings->sectionViewportPosition(2) + 5, 5));
        for (int logical = 0; logical < 3; ++logical)
            QCOMPARE(headings->visualIndex(logical), logical);
        // Sorted by the name column, the current column after a load
        QCOMPARE(gridColumn(1), (QStringList{"Alpha", "Mid", "zeta"}));
        QCOMPARE(gridColumn(2), (QStringList{"2", "10", "1"}));

        // The chosen entry (row 1 after the load) is still the one named
        env->prompts.answers = {MsgAnswer::Cancel, MsgAnswer::Cancel};
        button("cmdDel")->click();
        QCOMPARE(env->prompts.last().text, "Delete zeta 1" + e.questionSuffix);

        // A clicked entry stays the chosen one through a heading click
        clickCell(1, CodeListWindow::kNumberColumn); // Mid, 10
        QTest::mouseClick(headings->viewport(), Qt::LeftButton, {},
                          QPoint(headings->sectionViewportPosition(1) + 5, 5));
        // now sorted by the number column, the column last clicked
        QCOMPARE(gridColumn(2), (QStringList{"1", "2", "10"}));
        QCOMPARE(cellColour(2, 1), CodeListWindow::kSelectedColour);
        button("cmdDel")->click();
        QCOMPARE(env->prompts.last().text, "Delete Mid 10" + e.questionSuffix);

        // The row-number column cannot be moved away from the front
        headings->moveSection(0, 2);
        QCOMPARE(headings->visualIndex(0), 0);
    }

private:
    void bothLists() {
        QTest::addColumn<QString>("list");
        QTest::newRow("client list") << "client";
        QTest::newRow("work-code list") << "work";
    }

    void open(const Expected& e) {
        window = new CodeListWindow(*e.config);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    }
    store::Database& db() { return *env->state.gDataBase; }
    QTableWidget* grid() const { return window->findChild<QTableWidget*>("mshAdd"); }
    QLineEdit* box(const char* name) const { return window->findChild<QLineEdit*>(name); }
    QPushButton* button(const char* name) const { return window->findChild<QPushButton*>(name); }
    QString heading(int column) const { return grid()->horizontalHeaderItem(column)->text(); }
    QStringList gridColumn(int column) const {
        QStringList texts;
        for (int row = 0; row < grid()->rowCount(); ++row)
            texts << grid()->item(row, column)->text();
        return texts;
    }
    QColor cellColour(int row, int column) const {
        return grid()->item(row, column)->background().color();
    }
    void clickCell(int row, int column) {
        const QRect cell = grid()->visualItemRect(grid()->item(row, column));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cell.center());
    }
    void type(const QString& name, const QString& number) {
        box("txtDesc")->setText(name);
        box("txtNumber")->setText(number);
    }

    std::unique_ptr<TestEnvironment> env;
    QPointer<CodeListWindow> window;
};

QTEST_MAIN(TestCodeListWindow)
#include "test_window.moc"
