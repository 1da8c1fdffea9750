#include "CodeListRules.h"
#include "TestEnvironment.h"
#include "frmCodeList.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace {

// What each list must show, written out here rather than taken from its configuration.
struct List {
    const CodeListConfig& config;
    store::CodeTable table;
    QString clientCaption, projectCaption, emptyClientHeading, emptyProjectHeading, numberHeading,
        questionSuffix, numericMessage;
};
const List& list(int index) {
    static const List lists[] = {
        {clientListConfig(), store::CodeTable::Client, "Add Client Identification",
         "Add Project Identification", "Client Name", "Project Name", "Number",
         " from client list?", "Client Number must be numeric."},
        {workListConfig(), store::CodeTable::Work, "Work Codes", "Work Codes", "Description",
         "Description", "Code", " from work codes?", "Work code must be numeric."}};
    return lists[index];
}

} // namespace

class TestCodeListWindow : public QObject {
    Q_OBJECT
private slots:
    void rules() {
        for (const char* text : {"2147483648", "12a", "-5", "1.5", "1e3", " 12", "\u0661\u0662"})
            QVERIFY2(!parseCodeNumber(text) && !numberBoxAcceptable(text), qPrintable(text));
        QCOMPARE(parseCodeNumber("007"), 7);
        QCOMPARE(parseCodeNumber("2147483647"), 2147483647);
        // Nothing is proposed above the largest number the table can hold
        QCOMPARE(proposedNumber(std::nullopt) + proposedNumber(7) + proposedNumber(2147483647),
                 "18");
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

    // The captions follow the client word; Delete with no entry deletes nothing.
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
        }
        button("cmdDel")->click();
        QCOMPARE(env->prompts.last().text, "Delete  " + e().questionSuffix);
        QCOMPARE(env->prompts.last().title, "Delete Notice");
        QVERIFY(entries().empty());
    }

    // A name already listed (in any case) or a number already used is not
    // added; a name no record can hold is refused with a message.
    void addingProposesAndRefuses_data() { bothLists(); }
    void addingProposesAndRefuses() {
        add({{1, "Acme"}, {2, "Globex"}, {7, "Ini'tech"}});
        open();
        QCOMPARE(box("txtNumber")->text(), "8");
        for (const auto& [name, number] : {std::pair{"gLoBeX", "9"}, {"Umbrella", "7"}}) {
            type(name, number);
            QTest::keyClick(box("txtNumber"), Qt::Key_Return);
            QCOMPARE(box("txtDesc")->text() + "|" + box("txtNumber")->text(), "|8");
            QCOMPARE(entries().size(), size_t(3));
        }
        type("Hooli", "5");
        button("cmdAdd")->click();
        QCOMPARE(gridColumn(1), (QStringList{"Acme", "Globex", "Hooli", "Ini'tech"}));
        for (const auto& [name, why] : {std::pair{QString(256, 'n'), "255"},
                                        {QString("Hoo\nli"), "control character"},
                                        {QString("Hoo\tli"), "control character"}}) {
            type(name, "4");
            button("cmdAdd")->click();
            QVERIFY2(env->prompts.last().text.contains(why), qPrintable(env->prompts.last().text));
            QCOMPARE(entries().size(), size_t(4));
            QCOMPARE(box("txtDesc")->text(), name);
        }
    }

    // Typed or pasted, what is not a number is cleared and named.
    void numberCheck_data() { bothLists(); }
    void numberCheck() {
        open();
        QLineEdit* number = box("txtNumber");
        for (const auto& [text, pasted] : {std::pair{"-", false}, {"2.5", true}}) {
            env->prompts.shown.clear();
            number->clear();
            pasted ? number->setText(text) : QTest::keyClicks(number, text);
            QCOMPARE(number->text(), "");
            QCOMPARE(env->prompts.texts(), QStringList{e().numericMessage});
            QCOMPARE(env->prompts.last().title, "Numeric Validation");
        }
        QTest::keyClicks(number, "0042");
        QCOMPARE(number->text(), "0042");
    }

    // Right after a load Delete names grid row 1; after the Number heading is
    // dragged onto the name column the question still reads name, then number.
    void deleting_data() { bothLists(); }
    void deleting() {
        const QString quoted = "O'Brien \"Bros\"";
        add({{1, "Zeta"}, {2, quoted}, {3, "Mid"}});
        open();
        env->prompts.answers = {MsgAnswer::Cancel};
        button("cmdDel")->click();
        QCOMPARE(env->prompts.last().text, "Delete Zeta 1" + e().questionSuffix);
        QCOMPARE(entries().size(), size_t(3));
        grid()->setFocus();
        QTest::keyClick(grid(), Qt::Key_Down);
        QCOMPARE(grid()->item(1, 2)->background().color(), QColor(255, 255, 192));
        grid()->horizontalHeader()->moveSection(2, 1);
        button("cmdDel")->click();
        QCOMPARE(env->prompts.last().text, "Delete " + quoted + " 2" + e().questionSuffix);
        QCOMPARE(entries(), (std::vector<store::CodeEntry>{{1, "Zeta"}, {3, "Mid"}}));
        QCOMPARE(grid()->horizontalHeader()->visualIndex(2), 2); // the reload puts it back
    }

    // A heading click sorts names in any case and numbers by value; with
    // no row clicked Delete takes grid row 1, whatever the sort put there.
    void headingClickSorts_data() { bothLists(); }
    void headingClickSorts() {
        add({{1, "Zeta"}, {2, "alpha"}, {10, "Mid"}});
        open();
        clickHeading(2);
        QCOMPARE(gridColumn(1), (QStringList{"alpha", "Mid", "Zeta"}));
        env->prompts.answers = {MsgAnswer::Cancel, MsgAnswer::Cancel};
        button("cmdDel")->click();
        QCOMPARE(env->prompts.last().text, "Delete alpha 2" + e().questionSuffix);
        // A clicked entry stays the one Delete names after the next sort
        const QRect mid = grid()->visualItemRect(grid()->item(1, 2));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, mid.center());
        clickHeading(1);
        QCOMPARE(gridColumn(2), (QStringList{"1", "2", "10"}));
        button("cmdDel")->click();
        QCOMPARE(env->prompts.last().text, "Delete Mid 10" + e().questionSuffix);
        for (int logical = 0; logical < 3; ++logical)
            QCOMPARE(grid()->horizontalHeader()->visualIndex(logical), logical);
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
            env->state.gDataBase->addCodeEntry(e().table, entry);
    }
    std::vector<store::CodeEntry> entries() { return env->state.gDataBase->codeEntries(e().table); }
    void open() {
        window = new frmCodeList(e().config);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    }
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
