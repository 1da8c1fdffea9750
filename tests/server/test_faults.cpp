// What a server that goes away does to the program: every failure is
// reported by the action that met it, nothing is half written, and the next
// action works again. This test restarts its own cluster.
#include "ServerTest.h"

#include <QElapsedTimer>
#include <QProcess>
#include <csignal>
#include <thread>
#include <unistd.h>

using namespace servertest;
using store::server::Connection;
using store::server::PgStore;

namespace {

store::ActivityRecord record(int hour, const QString& client = "Acme") {
    const QDateTime begin(QDate(2026, 3, 2), QTime(hour, 0));
    return {begin.addSecs(3600), begin, begin.addSecs(3600), 7, client, 3, "Design", QString()};
}

void restartServer() {
    QCOMPARE(QProcess::execute("sh", {qEnvironmentVariable("HOURLOOM_TEST_PG_SCRIPT"), "restart",
                                      qEnvironmentVariable("HOURLOOM_TEST_PG_STATE")}),
             0);
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

    qint64 aliceRecords() {
        return firstCell(*std::make_unique<Connection>(url),
                         "SELECT count(*) FROM tblTimeSheet WHERE Employee = 'Alice'")
            .toLongLong();
    }

private slots:
    void initTestCase() {
        url = freshDatabase(QStringLiteral("faults"));
        store::server::addEmployee(url, "alice", "Alice", false);
        alice = urlFor(QStringLiteral("faults"), QStringLiteral("alice"));
    }
    void init() { Connection(url).exec("TRUNCATE tblTimeSheet"); }

    void restartMidSessionIsReportedOnceThenWorks() {
        PgStore store(alice);
        store.appendRecord(record(9));
        restartServer();
        const QString message = failureOf([&] { store.appendRecord(record(10)); });
        qInfo("after a restart: %s", qPrintable(message));
        QVERIFY2(message.contains("connection to the database faults on server this computer was "
                                  "lost"),
                 qPrintable(message));
        QCOMPARE(aliceRecords(), 1);
        store.appendRecord(record(11));
        QCOMPARE(store.dayRecords("Alice", QDate(2026, 3, 2)).size(), size_t(2));
    }

    void connectionDroppedInsideACorrectionKeepsTheOldRecord() {
        PgStore store(alice);
        store.appendRecord(record(9));
        const store::RecordId id = store.dayRecords("Alice", QDate(2026, 3, 2)).front().id;

        // The administrator holds the record key's sequence, so the correction
        // deletes the old record and then waits to insert the new one.
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

        const auto day = PgStore(alice).dayRecords("Alice", QDate(2026, 3, 2));
        QCOMPARE(day.size(), size_t(1));
        QCOMPARE(day.front().clientName, QString("Acme"));
        QCOMPARE(day.front().id, id);
    }

    void statementKeptWaitingGivesUpWithinSeconds() {
        Connection admin(url);
        admin.exec("BEGIN");
        admin.exec("LOCK TABLE tblTimeSheet IN ACCESS EXCLUSIVE MODE");
        PgStore store(alice);
        QElapsedTimer took;
        took.start();
        const QString message = failureOf([&] { store.dayRecords("Alice", QDate(2026, 3, 2)); });
        qInfo("%s after %lld ms", qPrintable(message), took.elapsed());
        QVERIFY2(message.contains("did not finish within 5 seconds"), qPrintable(message));
        QVERIFY(took.elapsed() < (store::server::kStatementSeconds + 2) * 1000);
        admin.exec("ROLLBACK");
        QCOMPARE(store.dayRecords("Alice", QDate(2026, 3, 2)).size(), size_t(0));
    }

    void serverThatStopsAnsweringIsGivenUpWithinSeconds() {
        PgStore store(alice);
        Connection admin(url);
        const QString backend =
            firstCell(admin, "SELECT pid FROM pg_stat_activity WHERE usename = 'alice'");
        QVERIFY(!backend.isEmpty());
        // A frozen server process answers nothing, not even its own timeout.
        QCOMPARE(::kill(backend.toInt(), SIGSTOP), 0);
        QElapsedTimer took;
        took.start();
        const QString message = failureOf([&] { store.dayRecords("Alice", QDate(2026, 3, 2)); });
        const qint64 waited = took.elapsed();
        ::kill(backend.toInt(), SIGCONT);
        qInfo("%s after %lld ms", qPrintable(message), waited);
        QVERIFY2(message.contains("did not answer"), qPrintable(message));
        QVERIFY(waited < (store::server::kStatementSeconds + 3) * 1000);
        QCOMPARE(store.dayRecords("Alice", QDate(2026, 3, 2)).size(), size_t(0));
    }

    void unreachableServerIsNamedWithinSeconds_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("named");
        QTest::newRow("no server there") << "postgresql:///faults?host=/nonexistent&user=alice"
                                         << "database faults on server "
                                            "this computer";
        QTest::newRow("server never answers") << "silent"
                                              << "database faults on server 127.0.0.1";
    }
    void unreachableServerIsNamedWithinSeconds() {
        QFETCH(QString, address);
        QFETCH(QString, named);
        SilentServer silent;
        if (address == "silent")
            address =
                QStringLiteral("postgresql://127.0.0.1:%1/faults?user=alice").arg(silent.port);
        QElapsedTimer took;
        took.start();
        const QString message = failureOf([&] { PgStore store(address); });
        qInfo("%s after %lld ms", qPrintable(message), took.elapsed());
        QVERIFY2(message.startsWith("Cannot connect to the " + named), qPrintable(message));
        QVERIFY2(took.elapsed() < (store::server::kConnectSeconds + 2) * 1000,
                 qPrintable(QString::number(took.elapsed())));
    }
};

HL_SERVER_TEST_MAIN(TestFaults)
#include "test_faults.moc"
