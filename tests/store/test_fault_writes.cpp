// The file system fails at random (write, fsync, rename, unlink) while the
// store appends, corrects, purges and compacts. Whatever each operation
// reports must be the truth, and the file must stay whole.
#include "support_faultrun.h"

#include <QTemporaryDir>
#include <QTest>

class TestFaultWrites : public QObject {
    Q_OBJECT

private slots:
    void everyOperationTellsTheTruthUnderWriteFailures() {
        if (!faultrun::available())
            QSKIP("libfiu is not installed");
        const int runs = faultrun::runs("HOURLOOM_FAULT_RUNS", 100);
        int committed = 0;
        int refused = 0;
        for (int seed = 1; seed <= runs; ++seed) {
            QTemporaryDir dir(faultrun::scratchFolder());
            const QString file = dir.filePath("Faults.HL1");
            // Given a file of twelve records, when six seeded operations run
            // while 5 % of the file-system calls fail
            const faultrun::Report report = faultrun::run({"faults", file, QString::number(seed)});
            // Then the helper found the file whole and exact after each of them
            const QByteArray where =
                "seed " + QByteArray::number(seed) + ":\n" + report.tail() + '\n' + report.errors;
            QVERIFY2(report.status == QProcess::NormalExit && report.code == 0, where.constData());
            // And the file, opened afresh here, holds what the last report says
            std::set<int> expected, before, after;
            for (const QByteArray& line : report.lines) {
                if (line.startsWith("before "))
                    before = faultrun::ids(line.mid(7));
                else if (line.startsWith("after "))
                    after = faultrun::ids(line.mid(6));
                else if (line == "ok") {
                    expected = after;
                    ++committed;
                } else if (line.startsWith("error ")) {
                    expected = before;
                    ++refused;
                }
            }
            store::Database db = store::connectDataBase(file, "Faults.HL1");
            QCOMPARE(faultrun::integrity(db), QStringLiteral("ok"));
            QCOMPARE(faultrun::text(faultrun::storedIds(db)), faultrun::text(expected));
        }
        qInfo("%d runs: %d operations committed, %d refused by an injected failure", runs,
              committed, refused);
        // Faults were really injected, and the store still got work done.
        QVERIFY(refused > 0);
        QVERIFY(committed > 0);
    }
};

QTEST_GUILESS_MAIN(TestFaultWrites)
#include "test_fault_writes.moc"
