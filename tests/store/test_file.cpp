// What only the database file has (what every store does is in test_contract.cpp):
// encryption, files that are not what they seem, older layouts, maintenance copies.
#include "ReportSums.h"
#include "StoreTest.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <sys/wait.h>
#include <unistd.h>

using namespace testing;

namespace {

void fill(store::Database& db, int records, int day = 1) {
    store::writeTransaction(db, [&](store::Transaction& transaction) {
        for (int i = 0; i < records; ++i)
            store::insertRecord(transaction, record("Pat", at(3, day, 8, 0).addSecs(60 * i),
                                                    at(3, day, 8, 1).addSecs(60 * i)));
    });
}

qint64 recordsIn(const QString& file) {
    store::Database db(file, store::databaseKey());
    return rowCount(db);
}

// A file as versions that kept no layout version made it, whose date fields
// took any text the engine's date functions read, holding `canonical`
// records in the stored form and then one per given {Date, BeginTime, EndTime}.
void writeLayout0File(const QString& path, int canonical, const QList<QStringList>& odd = {}) {
    store::Database db(path, store::databaseKey(), store::Database::Mode::Create);
    QByteArray timeSheet = store::timeSheetTableSql("tblTimeSheet");
    for (const char* field : {"Date", "BeginTime", "EndTime"})
        timeSheet.replace(store::storedDateCheck(field),
                          "julianday(" + QByteArray(field) + ") IS NOT NULL");
    db.exec("CREATE TABLE tblClient (ClientNumber INTEGER, ClientName TEXT COLLATE NOCASE);"
            "CREATE TABLE tblWork (WorkCode INTEGER, WorkDescription TEXT COLLATE NOCASE);");
    db.exec(timeSheet.constData());
    db.exec(store::kTimeSheetIndexes);
    fill(db, canonical);
    for (const QStringList& dates : odd)
        db.exec(QStringLiteral("INSERT INTO tblTimeSheet VALUES ('%1', '%2', '%3', 1, 'Acme', 2, "
                               "'Design', 'Pat')")
                    .arg(dates[0], dates[1], dates[2])
                    .toUtf8()
                    .constData());
}

} // namespace

class TestFile : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void freshFileIsEncryptedAndNeverMadeAnew() {
        const QString file = dir.filePath("Fresh.HL1");
        {
            store::Database db = store::connectDataBase(file, "Fresh.HL1");
            store::appendRecord(db, record("Pat", at(3, 2, 9), at(3, 2, 10), "Plaintext Client"));
        }
        const QByteArray bytes = fileBytes(file);
        QVERIFY(!bytes.startsWith("SQLite format 3") && !bytes.contains("Plaintext Client"));
        // A second connect makes nothing anew (three tables, two indexes), and
        // one that spells the name in another case is refused.
        store::Database again = store::connectDataBase(file, "Fresh.HL1");
        QCOMPARE(rowCount(again, "SELECT count(*) FROM sqlite_master"), 5);
        QVERIFY_THROWS_EXCEPTION(store::DbError, store::connectDataBase(file, "fresh.HL1"));
        QCOMPARE(rowCount(again), 1);
    }

    // Each is refused, naming the file and what is wrong, and left as it was.
    void unusableFilesAreRefusedAndLeftAsTheyWere() {
        const struct {
            const char* name;
            std::function<void(const QString&)> make;
            QStringList named;
        } rows[] = {
            {"Half",
             [](const QString& file) {
                 {
                     store::Database db = store::connectDataBase(file, "Half.HL1");
                     fill(db, 3000);
                 }
                 QFile::resize(file, QFileInfo(file).size() / 2);
             },
             {"damaged"}},
            {"Foreign",
             [](const QString& file) {
                 store::Database(file, "another password", store::Database::Mode::Create)
                     .exec("CREATE TABLE tblTimeSheet (x)");
             },
             {"not an Hourloom database, or it was made with another password"}},
            {"Unclear",
             [](const QString& file) {
                 writeLayout0File(
                     file, 3,
                     {{"now", "2025-03-12 10:30:00", "2025-03-12 11:00:00"},
                      {"2025-03-12", "10:30", "2025-03-12 11:00:00"},
                      {"2025-03-12", "2025-03-12 09:00:00", "2025-03-12 11:00:00+01:00"},
                      {"2025-03-12", "2025-03-12 10:30:00", "45728.4375"}});
             },
             {"\"Pat\" beginning \"10:30\"", "\"now\"", "+01:00", "45728.4375", "Acme", "Design",
              "4 record"}},
            {"Later",
             [](const QString& file) {
                 writeLayout0File(file, 1);
                 store::Database(file, store::databaseKey()).exec("PRAGMA user_version = 99");
             },
             {"later version"}},
        };
        for (const auto& row : rows) {
            const QString file = dir.filePath(QString(row.name) + ".HL1");
            row.make(file);
            const QByteArray before = fileBytes(file);
            const QString error = errorOf([&] {
                store::Database db = store::connectDataBase(file, QFileInfo(file).fileName());
                store::dayRecords(db, "Pat", QDate(2026, 3, 1));
            });
            for (const QString& named : row.named + QStringList{file})
                QVERIFY2(error.contains(named), qPrintable(row.name + (": " + error)));
            QVERIFY2(fileBytes(file) == before, row.name);
        }
    }

    // The check and the reader agree on every text: what one refuses the
    // other refuses too.
    void dateFieldsHoldExactlyWhatTheReaderReads_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("readable");
        QTest::newRow("the stored form") << "2025-03-12 10:30:00" << true;
        QTest::newRow("a leap day") << "2024-02-29 23:59:59" << true;
        QTest::newRow("no seconds") << "2025-03-12 10:30" << false;
        QTest::newRow("29 February 2025") << "2025-02-29 10:00:00" << false;
        QTest::newRow("wide digits") << QString::fromUtf8("２０25-03-12 10:30:00") << false;
        QTest::newRow("null") << QString() << false;
    }
    void dateFieldsHoldExactlyWhatTheReaderReads() {
        QFETCH(QString, text);
        QFETCH(bool, readable);
        store::Database db = store::connectDataBase(dir.filePath("Dates.HL1"), "Dates.HL1");
        db.exec("DELETE FROM tblTimeSheet");
        store::Statement insert(db, "INSERT INTO tblTimeSheet VALUES (?1, ?1, ?1, 1, 'A', 1, "
                                    "'W', 'ann')");
        if (text.isNull())
            insert.bindNull(1);
        else
            insert.bind(1, text);
        const QString error = errorOf([&] { insert.run(); });
        QVERIFY2(readable ? error.isEmpty() : error.contains("_is_date"), qPrintable(error));
        QCOMPARE(store::isStoredDateText(text), readable);
    }

    // Another tool can write past the schema's checks. A record whose dates
    // cannot be read is named, never shown or summed as a wrong span.
    void unreadableDatesAreNamed() {
        store::Database db = store::connectDataBase(dir.filePath("Odd.HL1"), "Odd.HL1");
        db.exec("PRAGMA ignore_check_constraints = ON");
        store::appendRecord(db, record("ann", at(3, 2, 12, 0), at(3, 2, 13, 0)));
        db.exec("INSERT INTO tblTimeSheet VALUES ('2026-03-02 15:00:00', '2026-03-02 10:30', "
                "'2026-03-02T11:00:00', 7, 'Acme', 3, 'Design', 'ann')");
        store::ReportCriteria report{QDate(2026, 3, 2), QDate(2026, 3, 2), false, "ann"};
        const QString perItem = errorOf([&] { store::reportRows(db, report); });
        report.daily = true;
        const QString daily = errorOf([&] { store::reportRows(db, report); });
        const QString latest = errorOf([&] {
            store::recentRecords(db, "ann", at(3, 2, 11, 0), store::RecentOrder::EndTimeDesc,
                                 std::nullopt, 1);
        });
        for (const QString& error : {latest, perItem, daily})
            QVERIFY2(error.contains("\"ann\" beginning \"2026-03-02 10:30\" (client \"Acme\", "
                                    "work \"Design\")"),
                     qPrintable(error));
    }

    void olderFileIsRewrittenOnceKeepingEveryRecord() {
        const QString file = dir.filePath("Older.HL1");
        writeLayout0File(file, 900,
                         {{"2025-03-12", "2025-03-12 10:30", "2025-03-12T12:00:00"},
                          {"2025-03-12 00:00:00", "2460747.0", "2025-03-12 12:30:59.999"}});
        // Two copies of the program start on it at once; each records.
        const pid_t child = ::fork();
        bool recorded = true;
        try {
            store::Database db = store::connectDataBase(file, "Older.HL1");
            fill(db, 1, 20);
        } catch (const store::DbError& error) {
            recorded = false;
            qWarning("%s", qPrintable(error.message()));
        }
        if (child == 0)
            ::_exit(recorded ? 0 : 1);
        int status = -1;
        QVERIFY(::waitpid(child, &status, 0) == child && status == 0 && recorded);
        store::Database db = store::connectDataBase(file, "Older.HL1");
        QCOMPARE(rowCount(db, "PRAGMA user_version"), store::kSchemaVersion);
        QCOMPARE(integrity(db), QStringLiteral("ok"));
        QCOMPARE(rowCount(db), 902 + 2);
        // The odd dates now read as the moments the engine took them for.
        QCOMPARE(rowCount(db,
                          "SELECT count(*) FROM tblTimeSheet WHERE Date = '2025-03-12 00:00:00' "
                          "AND (BeginTime = '2025-03-12 10:30:00' AND EndTime = '2025-03-12 "
                          "12:00:00' OR BeginTime = '2025-03-12 12:00:00' AND EndTime = "
                          "'2025-03-12 12:30:59')"),
                 2);
        // The copy kept beside it is the file as it was.
        store::Database copy(store::backupPath(file), store::databaseKey());
        QCOMPARE(rowCount(copy, "PRAGMA user_version"), 0);
        QCOMPARE(rowCount(copy), 902);
    }

    // Each purge or compaction first replaces the copy with the file as it was;
    // when the copy cannot be written, neither runs.
    void maintenanceKeepsTheFileAsItWasAndEachRunReplacesTheCopy() {
        store::Database db = store::connectDataBase(dir.filePath("Kept.HL1"), "Kept.HL1");
        fill(db, 5);
        fill(db, 2, 2);
        const QString copy = store::backupPath(db.path());
        QCOMPARE(store::purgeRecordsBefore(db, "Pat", at(3, 2, 0, 0), 5), 5);
        QCOMPARE(recordsIn(copy), 7);
        store::compactDatabase(db);
        QCOMPARE(recordsIn(copy), 2);
        QVERIFY(QDir().mkpath(copy + ".new/blocked"));
        QVERIFY(errorOf([&] {
                    store::purgeRecordsBefore(db, "Pat", at(3, 7, 0, 0), 2);
                }).contains(copy));
        QVERIFY(errorOf([&] { store::compactDatabase(db); }).contains(copy));
        QCOMPARE(rowCount(db), 2);
        QCOMPARE(recordsIn(copy), 2);
    }
};

QTEST_GUILESS_MAIN(TestFile)
#include "test_file.moc"
