// A copy of the program killed with SIGKILL in the middle of an append, a
// correction, a purge or a compaction: the file must open afterwards and
// hold exactly the records committed before the kill, plus the interrupted
// operation either whole or not at all.
#include "support_faultrun.h"

#include <QTemporaryDir>
#include <QTest>
#include <random>

namespace {

const char* const kKinds[] = {"append", "correct", "purge", "compact"};

} // namespace

class TestCrashKill : public QObject {
    Q_OBJECT

private slots:
    void killedOperationLeavesWholeCommits_data() {
        QTest::addColumn<int>("kind");
        for (int kind = 0; kind < 4; ++kind)
            QTest::newRow(kKinds[kind]) << kind;
    }

    void killedOperationLeavesWholeCommits() {
        if (!faultrun::available())
            QSKIP("libfiu is not installed");
        QFETCH(int, kind);
        const int runs = faultrun::runs("HOURLOOM_CRASH_RUNS", 30);
        int killed = 0;
        for (int seed = 1; seed <= runs; ++seed) {
            QTemporaryDir dir(faultrun::scratchFolder());
            const QString file = dir.filePath("Faults.HL1");
            const QString seedText = QString::number(seed);
            // Given the operation's number of file-system calls in this run
            const faultrun::Report probe =
                faultrun::run({"crash", file, seedText, QString::number(kind), "0"});
            QVERIFY2(probe.code == 0 && probe.last("ok"), probe.tail() + probe.errors);
            const long calls = probe.last("calls")->toLong();
            QVERIFY(calls > 0);
            // When the same run is killed at a seeded one of those calls
            std::mt19937 random(seed * 31u + static_cast<unsigned>(kind));
            const long killAt = std::uniform_int_distribution<long>(1, calls)(random);
            const faultrun::Report report = faultrun::run(
                {"crash", file, seedText, QString::number(kind), QString::number(killAt)});
            const QByteArray where = QByteArray(kKinds[kind]) + " seed " + seedText.toUtf8() +
                                     " call " + QByteArray::number(killAt) + '\n' + report.tail();
            QVERIFY2(report.status == QProcess::CrashExit, where.constData());
            ++killed;
            // Then the file opens whole, with the records before or after the operation
            const std::set<int> before = faultrun::ids(*report.last("before"));
            const std::set<int> after = faultrun::ids(*report.last("after"));
            store::Database db = store::connectDataBase(file, "Faults.HL1");
            QVERIFY2(faultrun::integrity(db) == QStringLiteral("ok"), where.constData());
            const std::set<int> stored = faultrun::storedIds(db);
            QVERIFY2(stored == before || stored == after,
                     (where + "\nstored " + faultrun::text(stored).toUtf8()).constData());
            // And a copy kept beside it is never a broken one
            if (QFile::exists(store::backupPath(file))) {
                store::Database copy(store::backupPath(file), store::databaseKey());
                QVERIFY2(faultrun::integrity(copy) == QStringLiteral("ok"), where.constData());
            }
        }
        qInfo("%s: %d runs killed mid-operation", kKinds[kind], killed);
    }
};

QTEST_GUILESS_MAIN(TestCrashKill)
#include "test_crash_kill.moc"
