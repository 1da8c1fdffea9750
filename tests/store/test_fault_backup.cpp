// The copy kept beside the database before a purge or a compaction: it holds
// the file as it was, each run replaces it, and when it cannot be written
// nothing is purged or compacted.
#include "RecordFactory.h"
#include "support_faultrun.h"

#include "Backup.h"
#include "Maintenance.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace testing;

namespace {

void fill(store::Database& db, int records, int day) {
    for (int i = 0; i < records; ++i)
        store::appendRecord(db, record("Pat", at(2026, 1, day, 8, i), at(2026, 1, day, 9, i)));
}

qint64 recordsIn(const QString& file) {
    store::Database copy(file, store::databaseKey());
    return rowCount(copy);
}

} // namespace

class TestFaultBackup : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void purgeKeepsTheFileAsItWasAndEachRunReplacesTheCopy() {
        const QString file = dir.filePath("Purge.HL1");
        store::Database db = store::connectDataBase(file, "Purge.HL1");
        fill(db, 5, 1);
        fill(db, 3, 2);
        fill(db, 2, 3);
        // When the records of the first day are purged
        QCOMPARE(store::purgeRecordsBefore(db, "Pat", at(2026, 1, 2, 0, 0), 5), 5);
        // Then the copy holds all ten records and the file five
        QCOMPARE(recordsIn(store::backupPath(file)), 10);
        QCOMPARE(rowCount(db), 5);
        // When the second day is purged too, the copy is the file before that purge
        QCOMPARE(store::purgeRecordsBefore(db, "Pat", at(2026, 1, 3, 0, 0), 3), 3);
        QCOMPARE(recordsIn(store::backupPath(file)), 5);
        QVERIFY(!QFile::exists(store::backupPath(file) + ".new"));
    }

    void compactionKeepsACopyThatRestoresByRenaming() {
        const QString file = dir.filePath("Compact.HL1");
        {
            store::Database db = store::connectDataBase(file, "Compact.HL1");
            fill(db, 7, 4);
            store::compactDatabase(db);
            QCOMPARE(recordsIn(store::backupPath(file)), 7);
            store::Statement wipe(db, "DELETE FROM tblTimeSheet");
            wipe.run();
        }
        // Restoring is copying the copy over the file
        QVERIFY(QFile::remove(file));
        QVERIFY(QFile::copy(store::backupPath(file), file));
        store::Database restored = store::connectDataBase(file, "Compact.HL1");
        QCOMPARE(rowCount(restored), 7);
        QCOMPARE(faultrun::integrity(restored), QStringLiteral("ok"));
    }

    void noCopyMeansNothingPurgedOrCompacted() {
        const QString file = dir.filePath("Blocked.HL1");
        store::Database db = store::connectDataBase(file, "Blocked.HL1");
        fill(db, 4, 5);
        store::compactDatabase(db); // a first, good copy
        fill(db, 2, 6);
        // Given a side file the copy cannot be written to
        QVERIFY(QDir().mkpath(store::backupPath(file) + ".new/blocked"));
        // When purging and compacting, each fails naming the copy
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                if (attempt == 0)
                    store::purgeRecordsBefore(db, "Pat", at(2026, 1, 6, 0, 0), 4);
                else
                    store::compactDatabase(db);
                QFAIL("maintenance ran without its copy");
            } catch (const store::DbError& error) {
                QVERIFY2(error.message().contains(store::backupPath(file)),
                         qPrintable(error.message()));
            }
        }
        // Then nothing was deleted, and the previous copy is still whole
        QCOMPARE(rowCount(db), 6);
        QCOMPARE(recordsIn(store::backupPath(file)), 4);
    }
};

QTEST_GUILESS_MAIN(TestFaultBackup)
#include "test_fault_backup.moc"
