// A server under strain: many employees writing at once, and a server that
// goes away or stops answering. Every record arrives exactly once, every
// failure is reported by the action that met it, nothing is half written,
// and the next action works again. This test restarts its own cluster.
#include "ServerTest.h"

#include <QElapsedTimer>
#include <QProcess>
#include <csignal>
#include <thread>

using namespace servertest;
using store::server::Connection;
using store::server::PgStore;

namespace {

const QDate kDay(2026, 3, 2);

store::ActivityRecord record(int hour, const QString& client = "Acme") {
    const QDateTime begin(kDay, QTime(hour, 0));
    return {begin.addSecs(3600), begin, begin.addSecs(3600), 7, client, 3, "Design", QString()};
}

QString failureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const store::DbError& error) {
        return error.message();
    }
    return QString();
}

} // namespace

class TestFaults : public QObject {
    Q_OBJECT
    QString url;
    QString alice;

private slots:
    void initTestCase() {
        url = freshDatabase("faults");
        store::server::addEmployee(url, "alice", "Alice", false);
        alice = urlFor("faults", "alice");
    }
    void init() { Connection(url).exec("TRUNCATE tblTimeSheet"); }

    // Fifty employees append 200 records each, every one on its own connection.
    void fiftyWritersLoseNothing() {
        constexpr int kWriters = 50, kAppends = 200;
        for (int writer = 1; writer <= kWriters; ++writer)
            store::server::addEmployee(url, QString("writer%1").arg(writer),
                                       QString("Writer %1").arg(writer), false);
        std::vector<std::thread> writers;
        std::atomic<int> failed = 0;
        for (int writer = 1; writer <= kWriters; ++writer)
            writers.emplace_back([&, writer] {
                try {
                    PgStore server(urlFor("faults", QString("writer%1").arg(writer)));
                    for (int n = 0; n < kAppends; ++n) {
                        const int id = writer * 100000 + n; // found exactly once below
                        const QDateTime begin = QDateTime(kDay, QTime(8, 0)).addSecs(60LL * n);
                        server.appendRecord({begin.addSecs(30), begin, begin.addSecs(30), id,
                                             QString("Client %1").arg(id), id,
                                             QString("Work %1").arg(id), QString()});
                    }
                } catch (const store::DbError&) {
                    ++failed;
                }
            });
        for (std::thread& writer : writers)
            writer.join();
        QCOMPARE(failed.load(), 0);
        // Each record is present once, whole, and under the name of the login that wrote it.
        Connection admin(url);
        QCOMPARE(firstCell(admin, "SELECT count(*) || ' ' || count(DISTINCT ClientNumber) FILTER "
                                  "(WHERE ClientName = 'Client ' || ClientNumber AND "
                                  "WorkDescription = 'Work ' || ClientNumber AND Employee = "
                                  "'Writer ' || (ClientNumber / 100000) AND ClientNumber % 100000 "
                                  "< 200) FROM tblTimeSheet"),
                 QString("%1 %1").arg(kWriters * kAppends));
    }

    // A connection killed while a correction waits between deleting the old
    // record and adding the new one (the administrator holds the record key's
    // sequence) keeps the old record. A restart of the server is reported by
    // the next action alone; the one after it connects again.
    void lostConnectionsKeepTheOldRecordAndAreReportedOnce() {
        PgStore store(alice);
        store.appendRecord(record(9));
        const store::RecordId id = store.dayRecords("Alice", kDay).front().id;
        Connection admin(url);
        admin.exec("BEGIN");
        admin.exec("ALTER SEQUENCE tbltimesheet_recordid_seq CACHE 1");
        QString message;
        std::thread correction([&] {
            message = failureOf([&] { store.replaceRecord("Alice", id, record(9, "Beta")); });
        });
        QString waiting;
        for (int look = 0; look < 100000 && waiting.isEmpty(); ++look)
            waiting = firstCell(admin, "SELECT pid FROM pg_stat_activity WHERE usename = 'alice' "
                                       "AND wait_event_type = 'Lock'");
        QVERIFY(!waiting.isEmpty());
        admin.exec("SELECT pg_terminate_backend(" + waiting.toLatin1() + ")");
        correction.join();
        admin.exec("ROLLBACK");
        QVERIFY2(message.contains("was lost"), qPrintable(message));
        const auto day = store.dayRecords("Alice", kDay);
        QCOMPARE(day.size(), size_t(1));
        QCOMPARE(day.front().clientName + QString::number(day.front().id),
                 "Acme" + QString::number(id));

        QCOMPARE(
            QProcess::execute("sh", {qEnvironmentVariable("HOURLOOM_TEST_PG_SCRIPT"), "restart",
                                     qEnvironmentVariable("HOURLOOM_TEST_PG_STATE")}),
            0);
        message = failureOf([&] { store.appendRecord(record(10)); });
        QVERIFY2(message.contains("connection to the database faults on server this computer was "
                                  "lost"),
                 qPrintable(message));
        QCOMPARE(store.dayRecords("Alice", kDay).size(), size_t(1));
    }

    void waitsOnTheServerAreBounded_data() {
        QTest::addColumn<bool>("frozen");
        QTest::addColumn<QString>("said");
        QTest::newRow("table locked") << false << "did not finish within 5 seconds";
        // A frozen server process answers nothing, not even its own timeout.
        QTest::newRow("server process frozen") << true << "did not answer";
    }
    void waitsOnTheServerAreBounded() {
        QFETCH(bool, frozen);
        QFETCH(QString, said);
        PgStore store(alice);
        Connection admin(url);
        const int backend =
            firstCell(admin, "SELECT pid FROM pg_stat_activity WHERE usename = 'alice'").toInt();
        QVERIFY(backend > 0);
        admin.exec("BEGIN");
        if (frozen)
            QCOMPARE(::kill(backend, SIGSTOP), 0);
        else
            admin.exec("LOCK TABLE tblTimeSheet IN ACCESS EXCLUSIVE MODE");
        QElapsedTimer took;
        took.start();
        const QString message = failureOf([&] { store.dayRecords("Alice", kDay); });
        const qint64 waited = took.elapsed();
        if (frozen)
            ::kill(backend, SIGCONT);
        admin.exec("ROLLBACK");
        QVERIFY2(message.contains(said), qPrintable(message));
        QVERIFY(waited < (store::server::kStatementSeconds + 3) * 1000);
        QCOMPARE(store.dayRecords("Alice", kDay).size(), size_t(0));
    }
};

HL_SERVER_TEST_MAIN(TestFaults)
#include "test_faults.moc"
