#include "Maintenance.h"
#include "Schema.h"
#include "SetupFixtures.h"

#include <QTemporaryDir>
#include <QTest>

using namespace fixtures;

namespace {
const QDateTime kNow(QDate(2026, 3, 11), QTime(15, 0));
const QString kAnn = QStringLiteral("ann");
const QString kBob = QStringLiteral("bob");
} // namespace

class TestMaintenance : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString file() const { return dir.filePath("Hourloom.HL1"); }
    store::Database open() { return store::connectDataBase(file(), "Hourloom.HL1"); }

private slots:
    void init() { QFile::remove(file()); }

    void purgeAtTheCutoffKeepsRecordsBeginningExactlyThen() {
        store::Database db = open();
        const QDateTime cutoff = kNow.addDays(-90);
        store::appendRecord(db, record(kAnn, cutoff));
        store::appendRecord(db, record(kAnn, cutoff.addSecs(-1)));
        QCOMPARE(store::countRecordsBefore(db, kAnn, cutoff), 1);
    }

    void purgeDeletesNothingWhenTheCountChangedMeanwhile() {
        // Given Ann agreed to delete 3 records, and another copy of the
        // program then back-dates a fourth
        store::Database db = open();
        store::Database other = open();
        const QDateTime cutoff = kNow.addDays(-90);
        addDaily(db, kAnn, cutoff.addDays(-1), 3);
        const int agreed = store::countRecordsBefore(db, kAnn, cutoff);
        store::appendRecord(other, record(kAnn, cutoff.addDays(-30)));

        // When the purge runs, it deletes nothing and reports that
        QCOMPARE(store::purgeRecordsBefore(db, kAnn, cutoff, agreed), std::nullopt);
        QCOMPARE(rowCountOf(db, kAnn), 4);
    }

    void anotherConnectionKeepsWorkingAfterCompaction() {
        // Given two copies of the program with the file open
        store::Database mine = open();
        store::Database theirs = open();
        addDaily(mine, kAnn, kNow, 500);
        const QDateTime cutoff = kNow.addDays(-10);
        store::purgeRecordsBefore(mine, kAnn, cutoff,
                                  store::countRecordsBefore(mine, kAnn, cutoff));
        QCOMPARE(rowCount(theirs), 11);

        // When one compacts
        store::compactDatabase(mine);

        // Then the other reads the same rows, and both can write and see the writes
        QCOMPARE(rowCount(theirs), 11);
        QCOMPARE(rowsDigest(theirs), rowsDigest(mine));
        store::appendRecord(theirs, record(kBob, kNow));
        store::appendRecord(mine, record(kAnn, kNow.addSecs(60)));
        QCOMPARE(rowCount(mine), 13);
        QCOMPARE(rowCount(theirs), 13);
        QCOMPARE(rowCountOf(mine, kBob), 1);
    }
};

QTEST_GUILESS_MAIN(TestMaintenance)
#include "test_maintenance.moc"
