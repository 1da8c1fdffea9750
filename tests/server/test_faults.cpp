// A server that goes away or stops answering: every failure is reported by
// the action that met it, nothing is half written, and the next action works
// again. This test restarts its own cluster.
#include "FileProbes.h"
#include "ServerTest.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <csignal>
#include <thread>

using namespace servertest;
using namespace store::server;

namespace {

const QDate kDay(2026, 3, 2);

// Alice's hour from 9:00 on kDay, for `client`.
store::ActivityRecord record(const QString& client = "Acme") {
    const QDateTime begin(kDay, QTime(9, 0));
    return {begin.addSecs(3600), begin, begin.addSecs(3600), 7, client, 3, "Design", {}};
}

} // namespace

class TestFaults : public QObject {
    Q_OBJECT
    QString url;

private slots:
    void initTestCase() {
        url = freshDatabase("faults");
        addEmployee(url, "alice", "Alice", false);
    }
    void init() { Connection(url).exec("TRUNCATE tblTimeSheet"); }

    // A connection killed while a correction waits between deleting the old
    // record and adding the new one (the administrator holds the record key's
    // sequence) keeps the old record. A restart of the server is reported by
    // the next action alone; the one after it connects again.
    void lostConnectionsKeepTheOldRecordAndAreReportedOnce() {
        PgStore store(urlFor("faults", "alice"));
        store.appendRecord(record());
        const store::RecordId id = store.dayRecords("Alice", kDay).front().id;
        Connection admin(url);
        admin.execScript("BEGIN; ALTER SEQUENCE tbltimesheet_recordid_seq CACHE 1");
        QString message;
        std::thread correction(
            [&] { message = errorOf([&] { store.replaceRecord("Alice", id, record("Beta")); }); });
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
        QCOMPARE(day.front().clientName, "Acme");

        QCOMPARE(
            QProcess::execute("sh", {qEnvironmentVariable("HOURLOOM_TEST_PG_SCRIPT"), "restart",
                                     qEnvironmentVariable("HOURLOOM_TEST_PG_STATE")}),
            0);
        message = errorOf([&] { store.appendRecord(record()); });
        QVERIFY2(message.contains("database faults on server this computer was lost"),
                 qPrintable(message));
        QCOMPARE(store.dayRecords("Alice", kDay).size(), size_t(1));
    }

    // A server that never answers a connection, a locked table, a frozen
    // server process that answers nothing, not even its own timeout: each wait
    // gives up in time, and leaves nothing behind.
    void waitsOnTheServerAreBounded() {
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        const QString hung = QString("postgresql://127.0.0.1:%1/team").arg(silent.serverPort());
        QElapsedTimer took;
        took.start();
        const QString unanswered = errorOf([&] { PgStore{hung}; });
        QVERIFY2(unanswered.contains("timeout expired"), qPrintable(unanswered));
        QVERIFY(took.elapsed() < (kConnectSeconds + 3) * 1000);
        for (const bool frozen : {false, true}) {
            PgStore store(urlFor("faults", "alice"));
            Connection admin(url);
            const int backend =
                firstCell(admin, "SELECT pid FROM pg_stat_activity WHERE usename = 'alice'")
                    .toInt();
            QVERIFY(backend > 0);
            admin.exec("BEGIN");
            if (frozen)
                QCOMPARE(::kill(backend, SIGSTOP), 0);
            else
                admin.exec("LOCK TABLE tblTimeSheet IN ACCESS EXCLUSIVE MODE");
            took.restart();
            const QString message = errorOf([&] { store.dayRecords("Alice", kDay); });
            const qint64 waited = took.elapsed();
            if (frozen)
                ::kill(backend, SIGCONT);
            admin.exec("ROLLBACK");
            QVERIFY2(
                message.contains(frozen ? "did not answer" : "did not finish within 5 seconds"),
                qPrintable(message));
            QVERIFY(waited < (kStatementSeconds + 3) * 1000);
            QCOMPARE(store.dayRecords("Alice", kDay).size(), size_t(0));
        }
    }
};

HL_SERVER_TEST_MAIN(TestFaults, QCoreApplication)
#include "test_faults.moc"
