#include "CodeListRules.h"
#include "TestEnvironment.h"
#include "frmCodeList.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace {

// What each list must say, written out here rather than taken from its configuration.
struct List {
    const CodeListConfig& config;
    store::CodeTable table;
    QString questionSuffix, numericMessage;
};
const List& list(int index) {
    static const List lists[] = {{clientListConfig(), store::CodeTable::Client,
                                  " from client list?", "Client Number must be numeric."},
                                 {workListConfig(), store::CodeTable::Work, " from work codes?",
                                  "Work code must be numeric."}};
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

    // A name no record can hold is refused with a message and kept for correction.
    void addingRefusesWhatNoRecordCanHold_data() { bothLists(); }
    void addingRefusesWhatNoRecordCanHold() {
        add({{1, "Acme"}});
        open();
        for (const auto& [name, why] : {std::pair{QString(256, 'n'), "255"},
                                        {QString("Hoo\nli"), "control character"},
                                        {QString("Hoo\tli"), "control character"}}) {
            box("txtDesc")->setText(name);
            box("txtNumber")->setText("4");
            button("cmdAdd")->click();
            QVERIFY2(env->prompts.last().text.contains(why), qPrintable(env->prompts.last().text));
            QCOMPARE(entries().size(), size_t(1));
            QCOMPARE(box("txtDesc")->text(), name);
        }
    }

    // In an empty list, what is not a number is cleared and named, and
    // Delete deletes nothing.
    void emptyList_data() { bothLists(); }
    void emptyList() {
        open();
        QLineEdit* number = box("txtNumber");
        QTest::keyClicks(number, "-");
        QCOMPARE(number->text(), "");
        QCOMPARE(env->prompts.texts(), QStringList{e().numericMessage});
        QCOMPARE(env->prompts.last().title, "Numeric Validation");
        button("cmdDel")->click();
        QCOMPARE(env->prompts.last().text, "Delete  " + e().questionSuffix);
        QCOMPARE(env->prompts.last().title, "Delete Notice");
        QVERIFY(entries().empty());
    }

    // Right after a load Delete names grid row 1; after the Number heading is
    // dragged onto the name column Delete still takes the name and number of
    // the marked entry.
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
        grid()->horizontalHeader()->moveSection(2, 1);
        button("cmdDel")->click();
        QCOMPARE(env->prompts.last().text, "Delete " + quoted + " 2" + e().questionSuffix);
        QCOMPARE(entries(), (std::vector<store::CodeEntry>{{1, "Zeta"}, {3, "Mid"}}));
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

    std::unique_ptr<TestEnvironment> env;
    QPointer<frmCodeList> window;
};

QTEST_MAIN(TestCodeListWindow)
#include "test_window.moc"
