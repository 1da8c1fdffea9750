// Who may see and change what is decided by the server: each test connects
// as an employee's own login and tries, in hand-written SQL, what the program
// never sends.
#include "ServerTest.h"

using namespace servertest;
using store::server::Connection;
using store::server::PgStore;

namespace {

const QString kInsertAs =
    QStringLiteral("INSERT INTO tblTimeSheet (Date, BeginTime, EndTime, ClientNumber, ClientName, "
                   "WorkCode, WorkDescription, Employee) VALUES ('2026-03-02 10:00', "
                   "'2026-03-02 09:00', '2026-03-02 10:00', 1, 'Acme', 2, 'Design', %1)");

// Bob's record as the administrator sees it, to show that nothing touched it.
QString bobsRecord(Connection& admin) {
    return firstCell(admin, "SELECT string_agg(ClientName || '/' || Employee, ',') "
                            "FROM tblTimeSheet WHERE Employee = 'Bob'");
}

} // namespace

class TestSecurity : public QObject {
    Q_OBJECT
    QString url;
    std::unique_ptr<Connection> admin;

    QString as(const QString& login) { return urlFor(QStringLiteral("security"), login); }

private slots:
    void initTestCase() {
        url = freshDatabase(QStringLiteral("security"));
        // Laying the tables down again changes nothing and breaks nothing.
        store::server::serverInit(url);
        store::server::addEmployee(url, "alice", "Alice", false);
        store::server::addEmployee(url, "bob", "Bob", false);
        store::server::addEmployee(url, "carol", "Carol", true);
        admin = std::make_unique<Connection>(url);
        // Roles outlive a database: the login may be there from an earlier run.
        admin->execScript("DO $$ BEGIN CREATE ROLE mallory LOGIN; "
                          "EXCEPTION WHEN duplicate_object THEN NULL; END $$");
        QCOMPARE(firstCell(*admin, "SELECT count(*) FROM hourloom_schema"), QString("1"));
    }

    void init() {
        admin->exec("TRUNCATE tblTimeSheet");
        for (const char* name : {"'Alice'", "'Bob'", "'Carol'"})
            admin->exec(kInsertAs.arg(QLatin1String(name)).toUtf8());
    }

    void employeeReachesOnlyOwnRecords_data() {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("outcome");  // first cell, rows changed, or "refused"
        QTest::addColumn<int>("aliceRecords"); // afterwards, as the administrator counts
        const auto row = [](const char* name, const char* login, const QString& sql,
                            const char* outcome, int aliceRecords = 1) {
            QTest::newRow(name) << login << sql << outcome << aliceRecords;
        };
        row("reads only her own", "alice", "SELECT string_agg(Employee, ',') FROM tblTimeSheet",
            "Alice");
        row("reads nothing of Bob's", "alice",
            "SELECT count(*) FROM tblTimeSheet WHERE Employee = 'Bob'", "0");
        row("cannot correct Bob's", "alice",
            "UPDATE tblTimeSheet SET ClientName = 'Hacked' WHERE Employee = 'Bob'", "0");
        row("cannot delete Bob's", "alice", "DELETE FROM tblTimeSheet WHERE Employee = 'bob'", "0");
        row("cannot record in Bob's name", "alice", kInsertAs.arg("'Bob'"), "refused");
        row("cannot hand her record to Bob", "alice", "UPDATE tblTimeSheet SET Employee = 'Bob'",
            "refused");
        row("records without a name as herself", "alice", kInsertAs.arg("NULL"), "1", 2);
        row("name in another case is hers", "alice", kInsertAs.arg("'ALICE'"), "1", 2);
        row("cannot rename herself", "alice",
            "UPDATE hourloom_login SET Employee = 'Bob' WHERE Login = 'alice'", "refused");
        row("cannot lift the security", "alice",
            "ALTER TABLE tblTimeSheet DISABLE ROW LEVEL SECURITY", "refused");
        row("cannot drop the trigger", "alice",
            "DROP TRIGGER hourloom_stamp_employee ON tblTimeSheet", "refused");
        row("a login that is no employee reads nothing", "mallory",
            "SELECT count(*) FROM tblTimeSheet", "refused");
        row("lead reads everyone's", "carol", "SELECT count(*) FROM tblTimeSheet", "3");
        row("lead cannot correct Bob's", "carol",
            "UPDATE tblTimeSheet SET ClientName = 'Hacked' WHERE Employee = 'Bob'", "0");
        row("lead cannot record in Bob's name", "carol", kInsertAs.arg("'Bob'"), "refused");
        row("lead purges anyone's", "carol", "DELETE FROM tblTimeSheet WHERE Employee = 'Alice'",
            "1", 0);
    }
    void employeeReachesOnlyOwnRecords() {
        QFETCH(QString, login);
        QFETCH(QString, sql);
        QFETCH(QString, outcome);
        QFETCH(int, aliceRecords);
        const QString bobBefore = bobsRecord(*admin);
        Connection employee(as(login));
        QString seen;
        try {
            const store::server::Result result = employee.exec(sql.toUtf8());
            seen =
                sql.startsWith("SELECT") ? result.text(0, 0) : QString::number(result.affected());
        } catch (const store::DbError& error) {
            seen = QStringLiteral("refused");
            QVERIFY2(error.message().contains("security.") || error.message().contains(u"refused"),
                     qPrintable(error.message()));
        }
        QCOMPARE(seen, outcome);
        QCOMPARE(bobsRecord(*admin), bobBefore);
        QCOMPARE(firstCell(*admin, "SELECT count(*) FROM tblTimeSheet WHERE Employee = 'Alice'"),
                 QString::number(aliceRecords));
        // Every record of hers carries her name exactly as the server knows it.
        QCOMPARE(firstCell(*admin, "SELECT count(*) FROM tblTimeSheet WHERE Employee::text = "
                                   "'Alice'"),
                 QString::number(aliceRecords));
    }

    void ownTablesInFrontOfTheServersDoNotWork() {
        // A temporary table of the same name found first would map her to Bob.
        Connection alice(as("alice"));
        alice.execScript("CREATE TEMP TABLE hourloom_login (Login name, Employee text); "
                         "INSERT INTO hourloom_login VALUES ('alice', 'Bob'); "
                         "SET search_path = pg_temp, public");
        QCOMPARE(firstCell(alice, "SELECT count(*) FROM tblTimeSheet WHERE Employee = 'Bob'"),
                 QString("0"));
        QCOMPARE(firstCell(alice, "SELECT string_agg(Employee, ',') FROM tblTimeSheet"),
                 QString("Alice"));
    }

    void storeKnowsWhoIsConnected() {
        PgStore alice(as("alice"));
        QCOMPARE(alice.employeeName(), QString("Alice"));
        QVERIFY(!alice.isAdministrator());
        PgStore owner(url);
        QCOMPARE(owner.employeeName(), QString());
        QVERIFY(owner.isAdministrator());
        QVERIFY(owner.check().problems.isEmpty());
        // Compaction belongs to the administrator; an employee is told why not.
        QVERIFY_THROWS_EXCEPTION(store::DbError, alice.compact());
        try {
            alice.compact();
        } catch (const store::DbError& error) {
            QVERIFY2(error.message().contains("maintains itself"), qPrintable(error.message()));
        }
        owner.compact();
    }

    void addingAnEmployeeAgainUpdatesTheLeadRole() {
        store::server::addEmployee(url, "dave", "Dave", true);
        store::server::addEmployee(url, "dave", "Dave", false);
        Connection dave(as("dave"));
        QCOMPARE(firstCell(dave, "SELECT count(*) FROM tblTimeSheet"), QString("0"));
        // One name belongs to one login.
        QVERIFY_THROWS_EXCEPTION(store::DbError,
                                 store::server::addEmployee(url, "erin", "ALICE", false));
        QVERIFY_THROWS_EXCEPTION(store::DbError, store::server::addEmployee(url, "", "X", false));
    }

    void cleanupTestCase() { admin.reset(); }
};

HL_SERVER_TEST_MAIN(TestSecurity)
#include "test_security.moc"
