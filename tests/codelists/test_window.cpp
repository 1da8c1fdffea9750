#include "CodeListRules.h"
#include "TestEnvironment.h"
#include "frmCodeList.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace {

const QColor kYellow(255, 255, 192), kWhite(255, 255, 255);

// What each list must show, written out here rather than taken from its configuration.
struct List {
    const CodeListConfig& config;
    store::CodeTable table;
    QString clientCaption, projectCaption, emptyClientHeading, emptyProjectHeading, nameHeading,
        numberHeading, questionSuffix, numericMessage;
};
const List& list(int index) {
    static const List lists[] = {
        {clientListConfig(), store::CodeTable::Client, "Add Client Identification",
         "Add Project Identification", "Client Name", "Project Name", "Client Name", "Number",
         " from client list?", "Client Number must be numeric."},
        {workListConfig(), store::CodeTable::Work, "Work Codes", "Work Codes", "Description",
         "Description", "Description", "Code", " from work codes?", "Work code must be numeric."}};
    return lists[index];
}

} // namespace

class TestCodeListWindow : public QObject {
    Q_OBJECT
private slots:
    void rules() {
        for (const char* text :
             {"2147483648", "12a", "-", "-5", "1.5", "1e3", "1,000", " 12", "\u0661\u0662"})
            QVERIFY2(!parseCodeNumber(text) && !numberBoxAcceptable(text), qPrintable(text));
        QCOMPARE(parseCodeNumber("007"), 7);
        QCOMPARE(parseCodeNumber("2147483647"), 2147483647);
        QVERIFY(numberBoxAcceptable(""));
        // Nothing is proposed above the largest number the table can hold
        QCOMPARE(proposedNumber(std::nullopt) + proposedNumber(7) + proposedNumber(2147483647),
                 "18");
        // Halves of (4695 - 400) / 2 and (4697 - 400) / 2 go to the even neighbour
        for (int width : {4695, 4697})
            QCOMPARE(gridColumnWidths(width), (std::array<int, 3>{400, 2048, 1348}));
    }

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
        for (const QString wording : {"Project", "Client"}) {
            delete window.data();
            env->state.gClientLabel = wording;
            open();
            const bool client = wording == "Client";
            QCOMPARE(QStringList({window->windowTitle(), heading(1), heading(2),
                                  box("txtNumber")->text() + "|" + box("txtDesc")->text()}),
                     QStringList({client ? e().clientCaption : e().projectCaption,
                                  client ? e().emptyClientHeading : e().emptyProjectHeading,
                                  e().numberHeading, "1|"}));
            QCOMPARE(grid()->rowCount(), 0);
        }
        // Delete with no entry row: empty texts, nothing deleted
        button("cmdDel")->click();
        QCOMPARE(env->prompts.last().text, "Delete  " + e().questionSuffix);
        QCOMPARE(env->prompts.last().title, "Delete Notice");
        for (const char* name : {"cmdAdd", "cmdDel", "cmdHelp"}) {
            QVERIFY(!button(name)->toolTip().isEmpty() && button(name)->text().isEmpty());
            QCOMPARE(button(name)->accessibleName(), button(name)->toolTip());
        }
        QVERIFY(button("cmdAdd")->isDefault());
        button("cmdHelp")->click();
        QCOMPARE(env->helpCalls.calls.at(0).topic, "InformationInputs.htm");
        window->close();
        QCOMPARE(env->windows.timesShown(Form::Control), 1);
    }

    void addingProposesAndRefuses_data() { bothLists(); }
    void addingProposesAndRefuses() {
        add({{1, "Acme"}, {2, "Globex"}, {7, "Ini'tech"}});
        open();
        QCOMPARE(box("txtNumber")->text(), "8");
        QCOMPARE(heading(1), e().nameHeading);
        QCOMPARE(gridColumn(1), (QStringList{"Acme", "Globex", "Ini'tech"}));
        QCOMPARE(gridColumn(0), (QStringList{"1", "2", "3"}));

        // A name under another number (in any case), a number under another name
        for (const auto& [name, number] :
             {std::pair{"Globex", "8"}, {"gLoBeX", "9"}, {"INI'TECH", "10"}, {"Umbrella", "7"}}) {
            type(name, number);
            QTest::keyClick(box("txtNumber"), Qt::Key_Return);
            QCOMPARE(box("txtDesc")->text() + "|" + box("txtNumber")->text(), "|8");
            QCOMPARE(data().codeEntries(e().table).size(), size_t(3));
        }
        // An empty name: the button does nothing at all
        type("", "12");
        button("cmdAdd")->click();
        QCOMPARE(box("txtNumber")->text(), "12");
        QVERIFY(env->prompts.shown.empty());

        type("Hooli", "5");
        button("cmdAdd")->click();
        QCOMPARE(gridColumn(1), (QStringList{"Acme", "Globex", "Hooli", "Ini'tech"}));
        QCOMPARE(box("txtDesc")->text() + "|" + box("txtNumber")->text(), "|8");

        // A name too long to store, or holding a line break or a tab: a
        // message, nothing added, the text kept
        for (const auto& [name, why] : {std::pair{QString(256, 'n'), "255"},
                                        {QString("Hoo\nli"), "control character"},
                                        {QString("Hoo\tli"), "control character"}}) {
            type(name, "4");
            button("cmdAdd")->click();
            QVERIFY2(env->prompts.last().text.contains(why), qPrintable(env->prompts.last().text));
            QCOMPARE(env->prompts.last().icon, MsgIcon::Critical);
            QCOMPARE(data().codeEntries(e().table).size(), size_t(4));
            QCOMPARE(box("txtDesc")->text(), name);
        }
    }

    void numberCheck_data() { bothLists(); }
    void numberCheck() {
        open();
        QLineEdit* number = box("txtNumber");
        // Typed: a letter, a minus first; pasted: a fraction, an exponent, beyond 32 bits
        for (const auto& [text, pasted] : {std::pair{"4a", false},
                                           {"-", false},
                                           {"2.5", true},
                                           {"1e3", true},
                                           {"4294967297", true}}) {
            env->prompts.shown.clear();
            number->clear();
            pasted ? number->setText(text) : QTest::keyClicks(number, text);
            QCOMPARE(number->text(), "");
            QCOMPARE(env->prompts.shown.size(), size_t(1));
            QCOMPARE(env->prompts.last().text, e().numericMessage);
            QCOMPARE(env->prompts.last().title, "Numeric Validation");
            QCOMPARE(env->prompts.last().icon, MsgIcon::Critical);
        }
        QTest::keyClicks(number, "0042");
        QCOMPARE(number->text(), "0042");
        QCOMPARE(env->prompts.shown.size(), size_t(1));
    }

    void deleting_data() { bothLists(); }
    void deleting() {
        const QString quoted = "O'Brien \"Bros\"";
        add({{1, "Zeta"}, {2, quoted}, {3, "Mid"}});
        open();
        // Right after opening, Delete names grid row 1; Cancel changes nothing
        env->prompts.answers = {MsgAnswer::Cancel};
        button("cmdDel")->click();
        QCOMPARE(env->prompts.last().text, "Delete Zeta 1" + e().questionSuffix);
        QCOMPARE(env->prompts.last().buttons, MsgButtons::OkCancel);
        QCOMPARE(data().codeEntries(e().table).size(), size_t(3));

        // An arrow key or a click chooses a row and colours it
        grid()->setFocus();
        QTest::keyClick(grid(), Qt::Key_Down);
        QCOMPARE(cellColour(1, 2), kYellow);
        clickCell(2, 2);
        QCOMPARE(cellColour(1, 1), kWhite);
        QCOMPARE(cellColour(2, 2), kYellow);
        clickCell(1, 1);

        // After dragging the Number heading onto the name column the question
        // still reads name, then number, and that entry goes
        grid()->horizontalHeader()->moveSection(2, 1);
        button("cmdDel")->click();
        QCOMPARE(env->prompts.last().text, "Delete " + quoted + " 2" + e().questionSuffix);
        QCOMPARE(data().codeEntries(e().table),
                 (std::vector<store::CodeEntry>{{1, "Zeta"}, {3, "Mid"}}));
        // and the reload puts the columns back in their places
        QCOMPARE(grid()->horizontalHeader()->visualIndex(2), 2);
    }

    void headingClickSortsWithoutMovingColumns_data() { bothLists(); }
    void headingClickSortsWithoutMovingColumns() {
        add({{1, "Zeta"}, {2, "alpha"}, {10, "Mid"}});
        open();
        clickHeading(2);
        for (int logical = 0; logical < 3; ++logical)
            QCOMPARE(grid()->horizontalHeader()->visualIndex(logical), logical);
        // Sorted by the name column, the current column after a load, in any case
        QCOMPARE(gridColumn(1), (QStringList{"alpha", "Mid", "Zeta"}));
        // No row was clicked: Delete takes grid row 1, whatever the sort put there
        env->prompts.answers = {MsgAnswer::Cancel, MsgAnswer::Cancel};
        button("cmdDel")->click();
        QCOMPARE(env->prompts.last().text, "Delete alpha 2" + e().questionSuffix);
        // A clicked entry stays chosen; the numbers sort by value
        clickCell(1, 2); // Mid, 10
        clickHeading(1);
        QCOMPARE(gridColumn(2), (QStringList{"1", "2", "10"}));
        QCOMPARE(cellColour(2, 1), kYellow);
        button("cmdDel")->click();
        QCOMPARE(env->prompts.last().text, "Delete Mid 10" + e().questionSuffix);
        // The row-number column cannot be moved away from the front
        grid()->horizontalHeader()->moveSection(0, 2);
        QCOMPARE(grid()->horizontalHeader()->visualIndex(0), 0);
    }

private:
    void bothLists() {
        QTest::addColumn<int>("list");
        QTest::newRow("client list") << 0;
        QTest::newRow("work-code list") << 1;
    }
    const List& e() const {
        return list(*static_cast<int*>(QTest::qData("list", qMetaTypeId<int>())));
    }
    void add(std::initializer_list<store::CodeEntry> entries) {
        for (const store::CodeEntry& entry : entries)
            data().addCodeEntry(e().table, entry);
    }
    void open() {
        window = new frmCodeList(e().config);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    }
    store::Store& data() { return *env->state.gDataBase; }
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
    void clickHeading(int column) {
        QHeaderView* headings = grid()->horizontalHeader();
        QTest::mouseClick(headings->viewport(), Qt::LeftButton, {},
                          QPoint(headings->sectionViewportPosition(column) + 5, 5));
    }
    void type(const QString& name, const QString& number) {
        box("txtDesc")->setText(name);
        box("txtNumber")->setText(number);
    }

    std::unique_ptr<TestEnvironment> env;
    QPointer<frmCodeList> window;
};

QTEST_MAIN(TestCodeListWindow)
#include "test_window.moc"
