#include "FileProbes.h"
#include "Maintenance.h"
#include "Records.h"
#include "Schema.h"
#include "SetupForms.h"
#include "TestEnvironment.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

namespace {

// `count` records of `employee`, one a day going back from `newest`.
void addDaily(store::Database& db, const QString& employee, const QDateTime& newest, int count) {
    store::writeTransaction(db, [&](store::Transaction& transaction) {
        for (int i = 0; i < count; ++i) {
            const QDateTime begin = newest.addDays(-i);
            store::insertRecord(transaction,
                                {begin, begin, begin.addSecs(1800), i + 1,
                                 QStringLiteral("Client %1").arg(i + 1), 7, "Design", employee});
        }
    });
}

// "count:every row" of the employee's (or everyone's) records in a fixed order.
QString rows(store::Database& db, const QString& employee = "%") {
    store::Statement all(db, "SELECT count(*) || ':' || ifnull(group_concat(r, ','), '') FROM "
                             "(SELECT Date || BeginTime || EndTime || ClientNumber || ClientName "
                             "|| WorkCode || WorkDescription || Employee AS r FROM tblTimeSheet "
                             "WHERE Employee LIKE ? ORDER BY BeginTime, Employee, ClientNumber)");
    all.bind(1, employee).step();
    return all.text(0);
}

int count(store::Database& db, const QString& employee = "%") {
    return rows(db, employee).section(':', 0, 0).toInt();
}

const QString kClose = "Database Not Found...      Close Program?/Critical/YesNo: Close "
                       "Program?\rDatabase was not opened.\r\rYes to EXIT\r\rNo to go back to "
                       "Hourloom program.\r - After selecting No either OPEN or CREATE a *.hl1 "
                       "database file.\r  - Use the button with open file folder icon.";
const QString kAsk = "Hourloom//OkCancel: Permenently delete %1 records from database?";
const QString kDeleted = "Hourloom//Ok: %1 records were deleted from database.  You may want "
                         "to compress database now.";

// One test's world: the services, a database unless told otherwise, the window.
struct World {
    TestEnvironment env;
    QPointer<QWidget> window;
    const QDateTime now = env.clockNow.now();

    explicit World(bool database = true) {
        env.windows.factories[Form::Setup] = [] { return createFrmSetup(); };
        if (database)
            env.openNewDatabase();
        env.state.gStartupDone = database;
    }
    void open() { window = env.windows.show(Form::Setup); }
    template <class T = QLineEdit> T* control(const char* name) const {
        return window->findChild<T*>(QLatin1String(name));
    }
    void set(const char* box, const QString& text) { control(box)->setText(text); }
    void click(const char* name, std::deque<MsgAnswer> answers = {}) {
        env.prompts.answers = answers;
        control<QAbstractButton>(name)->click();
    }
    QString setting(const SettingKey& key) const {
        return env.settingsStore->read(key.section, key.key, "<none>");
    }
    // Every message shown, as "title/icon/buttons: text".
    QStringList log() const {
        static const char* icons[] = {"", "Critical", "Question", "Exclamation", "Information"};
        static const char* buttons[] = {"Ok", "OkCancel", "YesNo"};
        QStringList out;
        for (const auto& s : env.prompts.shown)
            out << QString("%1/%2/%3: %4")
                       .arg(s.title, icons[int(s.icon)], buttons[int(s.buttons)], s.text);
        return out;
    }
    store::Database& db() { return env.db(); }
    QByteArray fileBytes() const { return ::fileBytes(env.path("Hourloom.HL1")); }
};

} // namespace

class TestFrmSetup : public QObject {
    Q_OBJECT
private slots:
    // Nothing is stored; a name no record could hold is named in a message.
    void acceptRefusesWhatCannotBeStored_data() {
        QTest::addColumn<QStringList>("frequencyAndEmployee");
        QTest::addColumn<QString>("message");
        QTest::newRow("frequency beyond 16 bits") << QStringList{"32768", "ann"} << "";
        QTest::newRow("employee with a line break")
            << QStringList{"15", "ann\nlee"} << "holds a control character";
    }
    void acceptRefusesWhatCannotBeStored() {
        QFETCH(QStringList, frequencyAndEmployee);
        QFETCH(QString, message);
        World w;
        w.open();
        w.set("txtComp", "Acme");
        w.set("txtFreq", frequencyAndEmployee[0]);
        w.set("txtEmp", frequencyAndEmployee[1]);
        w.click("cmdAdd");
        QVERIFY(w.window && w.window->isVisible());
        QCOMPARE(w.log().size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QVERIFY2(w.log()[0].startsWith("Hourloom/Critical/Ok: The settings were not saved.") &&
                         w.log()[0].contains("The employee name " + message),
                     qPrintable(w.log()[0]));
        QCOMPARE(w.setting(keys::Comp) + w.setting(keys::intMinTimer) + w.setting(keys::Emp),
                 "<none><none><none>");
    }

    // Yes creates, No opens; a cancelled dialog or a file that fails keeps
    // the database that was open.
    void databaseButton_data() {
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("failure");
        QTest::newRow("cancelled") << MsgAnswer::Yes << ""
                                   << "";
        QTest::newRow("create in a missing folder") << MsgAnswer::Yes << "nowhere/New"
                                                    << "Cannot";
        QTest::newRow("open a missing file") << MsgAnswer::No << "gone.HL1"
                                             << "does not exist";
        QTest::newRow("open another database") << MsgAnswer::No << "Team.HL1"
                                               << "";
    }
    void databaseButton() {
        QFETCH(MsgAnswer, answer);
        QFETCH(QString, chosen);
        QFETCH(QString, failure);
        World w;
        {
            store::Database team = store::connectDataBase(w.env.path("Team.HL1"), "Team.HL1");
            addDaily(team, "ann", w.now, 3);
        }
        w.open();
        if (!chosen.isEmpty())
            w.env.prompts.files = {w.env.path(chosen)};
        w.click("cmdDatabase", {answer});
        QCOMPARE(w.log().size(), failure.isEmpty() ? 1 : 2);
        if (!failure.isEmpty())
            QVERIFY2(w.log()[1].startsWith("Hourloom/Critical/Ok: ") &&
                         w.log()[1].contains(failure),
                     qPrintable(w.log()[1]));
        const QString good = w.env.path(chosen == "Team.HL1" ? chosen : "Hourloom.HL1");
        QCOMPARE(w.setting(keys::gDataBaseLoc) + w.env.state.gDataBaseLoc, good + good);
        QCOMPARE(w.db().path(), good);
        QCOMPARE(count(w.db()), chosen == "Team.HL1" ? 3 : 0);
        QVERIFY(!QFile::exists(w.env.path("gone.HL1")));
    }

    // A compaction that fails leaves the file as it was; one that runs keeps
    // every row, and a second connection (another copy of the program on a
    // shared file) keeps writing into the compacted file, not a lost one.
    void compaction() {
        World w;
        addDaily(w.db(), "ann", w.now, 2000);
        store::purgeRecordsBefore(w.db(), "ann", w.now.addDays(-50), 1950);
        const QString before = rows(w.db());
        const QByteArray bytes = w.fileBytes();
        w.open();
        {
            store::Statement reading(w.db(), "SELECT BeginTime FROM tblTimeSheet");
            reading.step(); // a statement left open makes the compaction fail
            w.click("cmdCompact", {MsgAnswer::Yes});
        }
        QVERIFY2(w.log().last().startsWith("Hourloom/Critical/Ok: The database was NOT compacted."),
                 qPrintable(w.log().last()));
        QVERIFY(w.fileBytes() == bytes && w.window->isEnabled());
        store::Database other = store::connectDataBase(w.env.path("Hourloom.HL1"), "Hourloom.HL1");
        w.click("cmdCompact", {MsgAnswer::Yes});
        QCOMPARE(w.log().last(),
                 "Hourloom//Ok: Database has now been compacted.  Hourloom is now ready for use");
        QVERIFY(w.fileBytes().size() < bytes.size());
        QCOMPARE(rows(w.db()), before);
        addDaily(other, "bob", w.now, 1);
        QCOMPARE(count(w.db(), "bob"), 1);
    }

    // 20 recent and 12 old records of Ann's, 5 old ones of Bob's.
    void purge_data() {
        QTest::addColumn<QString>("days");
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<int>("annLeft");
        const QString none = "Hourloom//Ok: No records found to delete";
        const MsgAnswer ok = MsgAnswer::Ok;
        QTest::newRow("90") << "90" << ok << QStringList{kAsk.arg(12), kDeleted.arg(12)} << 20;
        QTest::newRow("90, Cancel") << "90" << MsgAnswer::Cancel << QStringList{kAsk.arg(12)} << 32;
        QTest::newRow("abc") << "abc" << ok << QStringList{} << 32;
        QTest::newRow("beyond the first date") << "1e12" << ok << QStringList{none} << 32;
        QTest::newRow("beyond the last date")
            << "-1e12" << ok << QStringList{kAsk.arg(32), kDeleted.arg(32)} << 0;
    }
    void purge() {
        QFETCH(QString, days);
        QFETCH(MsgAnswer, answer);
        QFETCH(QStringList, log);
        QFETCH(int, annLeft);
        World w;
        w.env.settingsStore->setText(keys::Emp, "ann");
        addDaily(w.db(), "ann", w.now.addSecs(-3600), 20);
        addDaily(w.db(), "ann", w.now.addDays(-91), 12);
        addDaily(w.db(), "bob", w.now.addDays(-100), 5);
        w.open();
        w.set("txtDaysOld", days);
        w.click("cmdDelete", {answer});
        QCOMPARE(w.log(), log);
        QCOMPARE(count(w.db(), "ann"), annLeft);
        QCOMPARE(count(w.db(), "bob"), 5);
    }

    void withoutDatabase() {
        World w(false);
        w.open();
        w.click("cmdCompact");
        w.click("cmdDelete");
        QCOMPARE(w.log(), QStringList({"Hourloom/Critical/Ok: Database not found.\rCompacting "
                                       "halted.\r  - Open database using button with open file "
                                       "folder icon.\r - Also note that new databases do not need "
                                       "to be compacted.",
                                       "Hourloom/Critical/Ok: Database not found.\rDeleting "
                                       "halted.\r  - Open database using button with open file "
                                       "folder icon.\r - Also note that new databases do not need "
                                       "to have old records deleted."}));
        // Accept Changes saves (no employee as one blank), then asks whether
        // to close; Yes ends the program
        w.set("txtEmp", "");
        w.click("cmdAdd");
        QCOMPARE(w.setting(keys::Emp), " ");
        QCOMPARE(w.log().mid(2),
                 (QStringList{"Hourloom//Ok: Employee name or ID is needed", kClose}));
        QCOMPARE(w.env.windows.endProgramCalls, 1);
        QCOMPARE(w.env.windows.shownForms, std::vector<Form>{Form::Setup});
    }
};

QTEST_MAIN(TestFrmSetup)
#include "test_frmsetup.moc"
