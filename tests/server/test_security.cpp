// Who may see and change what is decided by the server: each row connects as
// an employee's own login and tries, in hand-written SQL, what the program
// never sends.
#include "ServerTest.h"

#include <sqlite3.h>

using namespace servertest;
using store::server::Connection;

const QString kInsertAs =
    QStringLiteral("INSERT INTO tblTimeSheet (Date, BeginTime, EndTime, ClientNumber, ClientName, "
                   "WorkCode, WorkDescription, Employee) VALUES ('2026-03-02 10:00', "
                   "'2026-03-02 09:00', '2026-03-02 10:00', 1, 'Acme', 2, 'Design', %1)");

class TestSecurity : public QObject {
    Q_OBJECT
    std::unique_ptr<Connection> admin;

    QString cell(const char* sql) { return firstCell(*admin, sql); }

private slots:
    void initTestCase() {
        const QString url = freshDatabase("security");
        // Laying the tables down again must leave the policies whole.
        store::server::serverInit(url);
        store::server::addEmployee(url, "alice", "Alice", false);
        store::server::addEmployee(url, "bob", "Bob", false);
        store::server::addEmployee(url, "carol", "Carol", true);
        store::server::addEmployee(url, "dave", "Dave", true);
        store::server::addEmployee(url, "dave", "Dave", false); // a lead no more
        // One name belongs to one login, whatever its case.
        QVERIFY_THROWS_EXCEPTION(store::DbError,
                                 store::server::addEmployee(url, "erin", "ALICE", false));
        admin = std::make_unique<Connection>(url);
        // Roles outlive a database: the login may be there from an earlier run.
        admin->execScript("DO $$ BEGIN CREATE ROLE mallory LOGIN; "
                          "EXCEPTION WHEN duplicate_object THEN NULL; END $$");
    }

    void loginReachesOnlyWhatItMay_data() {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("sql");      // statements before the last prepare the session
        QTest::addColumn<QString>("outcome");  // first cell, rows changed, or "refused"
        QTest::addColumn<int>("aliceRecords"); // afterwards, as the administrator counts
        const auto row = [](const char* name, const char* login, const QString& sql,
                            const char* outcome, int aliceRecords = 1) {
            QTest::newRow(name) << login << sql << outcome << aliceRecords;
        };
        row("reads only her own", "alice", "SELECT string_agg(Employee, ',') FROM tblTimeSheet",
            "Alice");
        row("cannot correct Bob's", "alice",
            "UPDATE tblTimeSheet SET ClientName = 'Hacked' WHERE Employee = 'Bob'", "0");
        // Without a WHERE, only the delete policies stand between her and Bob's.
        row("deletes only her own", "alice", "DELETE FROM tblTimeSheet", "1", 0);
        row("cannot record in Bob's name", "alice", kInsertAs.arg("'Bob'"), "refused");
        row("cannot hand her record to Bob", "alice", "UPDATE tblTimeSheet SET Employee = 'Bob'",
            "refused");
        row("records without a name as herself", "alice", kInsertAs.arg("NULL"), "1", 2);
        row("name in another case is hers", "alice", kInsertAs.arg("'ALICE'"), "1", 2);
        row("cannot rename herself", "alice",
            "UPDATE hourloom_login SET Employee = 'Bob' WHERE Login = 'alice'", "refused");
        row("cannot lift the security", "alice",
            "ALTER TABLE tblTimeSheet DISABLE ROW LEVEL SECURITY", "refused");
        // A table of her own found before the server's would map her to Bob.
        row("own table in front of the server's does not work", "alice",
            "CREATE TEMP TABLE hourloom_login (Login name, Employee text); "
            "INSERT INTO hourloom_login VALUES ('alice', 'Bob'); "
            "SET search_path = pg_temp, public; "
            "SELECT string_agg(Employee, ',') FROM tblTimeSheet",
            "Alice");
        row("a login that is no employee reads nothing", "mallory",
            "SELECT count(*) FROM tblTimeSheet", "refused");
        row("lead reads everyone's", "carol", "SELECT count(*) FROM tblTimeSheet", "3");
        row("lead cannot correct Bob's", "carol",
            "UPDATE tblTimeSheet SET ClientName = 'Hacked' WHERE Employee = 'Bob'", "0");
        row("lead purges anyone's", "carol", "DELETE FROM tblTimeSheet WHERE Employee = 'Alice'",
            "1", 0);
        row("a lead made employee again reads only his own", "dave",
            "SELECT count(*) FROM tblTimeSheet", "0");
    }
    void loginReachesOnlyWhatItMay() {
        QFETCH(QString, login);
        QFETCH(QString, sql);
        QFETCH(QString, outcome);
        QFETCH(int, aliceRecords);
        admin->exec("TRUNCATE tblTimeSheet");
        for (const char* name : {"'Alice'", "'Bob'", "'Carol'"})
            admin->exec(kInsertAs.arg(QLatin1String(name)).toUtf8());
        Connection employee(urlFor("security", login));
        const qsizetype last = sql.lastIndexOf("; ");
        if (last > 0)
            employee.execScript(sql.left(last).toUtf8());
        QString seen;
        try {
            const auto result = employee.exec(sql.mid(last < 0 ? 0 : last + 2).toUtf8());
            seen = result.rows() > 0 ? result.text(0, 0) : QString::number(result.affected());
        } catch (const store::DbError& error) {
            QVERIFY2(error.primaryCode() == SQLITE_AUTH, qPrintable(error.message()));
            seen = "refused";
        }
        QCOMPARE(seen, outcome);
        QCOMPARE(
            cell("SELECT string_agg(ClientName, ',') FROM tblTimeSheet WHERE Employee = 'Bob'"),
            "Acme");
        // Every record of hers carries her name exactly as the server knows it.
        QCOMPARE(cell("SELECT count(*) FROM tblTimeSheet WHERE Employee::text = 'Alice'"),
                 QString::number(aliceRecords));
    }
};

HL_SERVER_TEST_MAIN(TestSecurity, QCoreApplication)
#include "test_security.moc"
