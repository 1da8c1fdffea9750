// What only the database file has: its schema, key and key cache, files that
// are not what they seem, older layouts, and the copy kept before maintenance.
// What every store does is in test_contract.cpp.
#include "FileStore.h"
#include "KeyCache.h"
#include "ReportSums.h"
#include "StoreTest.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace testing;

namespace {

QStringList column(store::Database& db, const char* sql, int index = 0) {
    store::Statement query(db, sql);
    QStringList values;
    while (query.step())
        values << query.text(index);
    return values;
}

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
    store::Statement insert(db, "INSERT INTO tblTimeSheet VALUES (?, ?, ?, 1, 'Acme', 2, "
                                "'Design', 'Pat')");
    for (const QStringList& dates : odd) {
        insert.bind(1, dates[0]).bind(2, dates[1]).bind(3, dates[2]);
        insert.run();
        insert.reset();
    }
}

qint64 layoutVersion(store::Database& db) {
    return rowCount(db, "PRAGMA user_version");
}

int openFileCount() {
    return int(QDir("/proc/self/fd").entryList(QDir::AllEntries | QDir::System).size());
}

} // namespace

class TestFile : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QString filled(const QString& name, int records) {
        store::Database db = store::connectDataBase(dir.filePath(name), name);
        fill(db, records);
        return db.path();
    }

private slots:
    void freshFileHasTheThreeTablesAndIsEncrypted() {
        const QString file = dir.filePath("Fresh.HL1");
        {
            store::Database db = store::connectDataBase(file, "Fresh.HL1");
            QCOMPARE(column(db, "SELECT name FROM sqlite_master WHERE type = 'table' "
                                "ORDER BY rowid"),
                     QStringList({"tblClient", "tblTimeSheet", "tblWork"}));
            QCOMPARE(layoutVersion(db), store::kSchemaVersion);
            QCOMPARE(column(db, "PRAGMA table_info(tblClient)", 1),
                     QStringList({"ClientNumber", "ClientName"}));
            QCOMPARE(column(db, "PRAGMA table_info(tblTimeSheet)", 1),
                     QStringList({"Date", "BeginTime", "EndTime", "ClientNumber", "ClientName",
                                  "WorkCode", "WorkDescription", "Employee"}));
            QCOMPARE(column(db, "PRAGMA table_info(tblWork)", 1),
                     QStringList({"WorkCode", "WorkDescription"}));
            // What another tool could write, the fields refuse.
            for (const QByteArray& sql :
                 QByteArrayList{"INSERT INTO tblClient VALUES (1, '')",
                                "INSERT INTO tblWork VALUES (1, '" + QByteArray(256, 'w') + "')",
                                "INSERT INTO tblClient VALUES (2147483648, 'Big')",
                                "INSERT INTO tblWork VALUES ('12a', 'Odd')"})
                QVERIFY_THROWS_EXCEPTION(store::DbError, db.exec(sql.constData()));
            store::appendRecord(db, record("Pat", at(3, 2, 9), at(3, 2, 10), "Plaintext Client"));
        }
        const QByteArray bytes = readBytes(file);
        QVERIFY(!bytes.startsWith("SQLite format 3") && !bytes.contains("Plaintext Client"));
        // A second connect makes nothing anew: three tables, two indexes, one record.
        store::Database again = store::connectDataBase(file, "Fresh.HL1");
        QCOMPARE(rowCount(again, "SELECT count(*) FROM sqlite_master"), 5);
        QCOMPARE(rowCount(again), 1);
        // The name is found as spelled, never read as a pattern, and a file the
        // settings spell in another case is not made over.
        QVERIFY(writeBytes(dir.filePath("T [1] *.HL1"), "x"));
        QVERIFY(store::databaseFound(dir.filePath("T [1] *.HL1"), "T [1] *.HL1"));
        QVERIFY_THROWS_EXCEPTION(store::DbError, store::connectDataBase(file, "fresh.HL1"));
        QCOMPARE(rowCount(again), 1);
    }

    // Each is refused with a message naming the file and what is wrong, and
    // left as it was, with no handle kept open.
    void unusableFilesAreRefusedAndLeftAsTheyWere() {
        const auto plain = [](const QString& file) {
            sqlite3* handle = nullptr;
            sqlite3_open(file.toUtf8().constData(), &handle);
            sqlite3_exec(handle, "CREATE TABLE tblTimeSheet (x)", nullptr, nullptr, nullptr);
            sqlite3_close(handle);
        };
        const struct {
            const char* name;
            std::function<void(const QString&)> make;
            QStringList named;
        } rows[] = {
            {"Half",
             [&](const QString& file) {
                 filled("Half.HL1", 3000);
                 writeBytes(file, readBytes(file).left(QFileInfo(file).size() / 2));
             },
             {"damaged"}},
            {"Unencrypted", plain, {"not an Hourloom database"}},
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
            const QByteArray before = readBytes(file);
            const int handles = openFileCount();
            try {
                store::Database db = store::connectDataBase(file, QFileInfo(file).fileName());
                store::dayRecords(db, "Pat", QDate(2026, 3, 1));
                QFAIL(row.name);
            } catch (const store::DbError& error) {
                for (const QString& named : row.named + QStringList{file})
                    QVERIFY2(error.message().contains(named), qPrintable(error.message()));
            }
            QVERIFY2(openFileCount() == handles && readBytes(file) == before, row.name);
        }
    }

    // A key is kept per file; a wrong one kept for the file gives way to the
    // password, and another password opens nothing whatever is kept.
    void keptKeysOpenOnlyTheFileTheyBelongTo() {
        store::setKeyCacheFolder(dir.filePath("keys"));
        const QString files[] = {filled("Cached.HL1", 3), filled("Second.HL1", 1)};
        const auto keyOf = [](const QString& file) {
            return store::cachedRawKey(file, store::databaseKey()).value_or("x''");
        };
        const auto opensWith = [](const QString& file, const QByteArray& key) {
            sqlite3* handle = nullptr;
            sqlite3_open(file.toUtf8().constData(), &handle);
            sqlite3_key(handle, key.constData(), int(key.size()));
            const bool read = sqlite3_exec(handle, "SELECT count(*) FROM tblTimeSheet", nullptr,
                                           nullptr, nullptr) == SQLITE_OK;
            sqlite3_close(handle);
            return read;
        };
        QVERIFY(opensWith(files[0], keyOf(files[0])) && opensWith(files[1], keyOf(files[1])));
        QByteArray keys = readBytes(dir.filePath("keys/keys"));
        keys.replace(keyOf(files[0]).mid(2, 64), QByteArray(64, '0'));
        QVERIFY(writeBytes(dir.filePath("keys/keys"), keys));
        QVERIFY(!opensWith(files[0], keyOf(files[0])));
        QCOMPARE(recordsIn(files[0]), 3);
        QVERIFY(opensWith(files[0], keyOf(files[0])));
        QVERIFY_THROWS_EXCEPTION(store::DbError, store::Database(files[0], "another password"));
        store::setKeyCacheFolder({});
    }

    // The check and the reader agree on every text: what one refuses the
    // other refuses too.
    void dateFieldsHoldExactlyWhatTheReaderReads_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("readable");
        QTest::newRow("the stored form") << "2025-03-12 10:30:00" << true;
        QTest::newRow("a leap day") << "2024-02-29 23:59:59" << true;
        QTest::newRow("the first year") << "0001-01-01 00:00:00" << true;
        QTest::newRow("skipped in New York") << "2025-03-09 02:30:00" << true;
        QTest::newRow("no seconds") << "2025-03-12 10:30" << false;
        QTest::newRow("T between") << "2025-03-12T12:00:00" << false;
        QTest::newRow("Julian day") << "2460747.0" << false;
        QTest::newRow("29 February 2025") << "2025-02-29 10:00:00" << false;
        QTest::newRow("hour 24") << "2025-03-12 24:00:00" << false;
        QTest::newRow("year 0") << "0000-01-01 00:00:00" << false;
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
        bool stored = true;
        try {
            insert.run();
        } catch (const store::DbError& error) {
            stored = false;
            QVERIFY2(error.message().contains("_is_date"), qPrintable(error.message()));
        }
        QCOMPARE(stored, readable);
        QCOMPARE(store::isStoredDateText(text), readable);
    }

    // Another tool can write past the schema's checks. A record whose dates
    // cannot be read is named, never shown or summed as a wrong span.
    void unreadableDatesAreNamed_data() {
        QTest::addColumn<QString>("reader");
        for (const char* reader : {"latest", "report", "daily report"})
            QTest::newRow(reader) << QString(reader);
    }
    void unreadableDatesAreNamed() {
        QFETCH(QString, reader);
        store::Database db = store::connectDataBase(dir.filePath("Odd.HL1"), "Odd.HL1");
        db.exec("DELETE FROM tblTimeSheet; PRAGMA ignore_check_constraints = ON");
        store::appendRecord(db, record("ann", at(3, 2, 12, 0), at(3, 2, 13, 0)));
        db.exec("INSERT INTO tblTimeSheet VALUES ('2026-03-02 15:00:00', '2026-03-02 10:30', "
                "'2026-03-02T11:00:00', 7, 'Acme', 3, 'Design', 'ann')");
        try {
            if (reader == "latest")
                store::recentRecords(db, "ann", at(3, 2, 11, 0), store::RecentOrder::EndTimeDesc,
                                     std::nullopt, 1);
            else
                store::reportRows(
                    db, {QDate(2026, 3, 2), QDate(2026, 3, 2), reader == "daily report", "ann"});
            QFAIL("an unreadable record was read");
        } catch (const store::DbError& error) {
            QVERIFY2(
                error.message().contains(
                    "\"ann\" beginning \"2026-03-02 10:30\" (client \"Acme\", work \"Design\")"),
                qPrintable(error.message()));
        }
    }

    void olderFileIsRewrittenOnceKeepingEveryRecord() {
        const QString file = dir.filePath("Older.HL1");
        writeLayout0File(file, 900,
                         {{"2025-03-12", "2025-03-12 10:30", "2025-03-12T12:00:00"},
                          {"2025-03-12 00:00:00", "2460747.0", "2025-03-12 12:30:59.999"}});
        // Four copies of the program start on it at once; each records.
        std::vector<pid_t> children;
        for (int copy = 0; copy < 4; ++copy) {
            const pid_t child = copy < 3 ? ::fork() : 0;
            if (child != 0) {
                children.push_back(child);
                continue;
            }
            try {
                store::Database db = store::connectDataBase(file, "Older.HL1");
                fill(db, 1, 20);
            } catch (const store::DbError& error) {
                if (copy < 3)
                    ::_exit(1);
                QFAIL(qPrintable(error.message()));
            }
            if (copy < 3)
                ::_exit(0);
        }
        for (pid_t pid : children) {
            int status = -1;
            QCOMPARE(::waitpid(pid, &status, 0), pid);
            QCOMPARE(status, 0);
        }
        store::Database db = store::connectDataBase(file, "Older.HL1");
        QCOMPARE(layoutVersion(db), store::kSchemaVersion);
        QCOMPARE(integrity(db), QStringLiteral("ok"));
        QCOMPARE(rowCount(db), 902 + 4);
        QCOMPARE(rowCount(db, "SELECT count(*) FROM sqlite_master WHERE type = 'index'"), 2);
        // The odd dates now read as the moments the engine took them for.
        QCOMPARE(column(db, "SELECT Date || '|' || BeginTime || '|' || EndTime "
                            "FROM tblTimeSheet WHERE rowid > 900 AND rowid <= 902"),
                 (QStringList{"2025-03-12 00:00:00|2025-03-12 10:30:00|2025-03-12 12:00:00",
                              "2025-03-12 00:00:00|2025-03-12 12:00:00|2025-03-12 12:30:59"}));
        QVERIFY_THROWS_EXCEPTION(store::DbError,
                                 db.exec("UPDATE tblTimeSheet SET EndTime = '2025-03-12 12:31'"));
        // The copy kept beside it is the file as it was.
        store::Database copy(store::backupPath(file), store::databaseKey());
        QCOMPARE(layoutVersion(copy), 0);
        QCOMPARE(rowCount(copy), 902);
    }

    // A file on a share the user may only read opens and reads; a write is
    // refused naming the file.
    void readOnlyFileReadsButRefusesWritesNamingTheFile() {
        QTemporaryDir shared;
        QVERIFY(QFile::setPermissions(shared.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                         QFile::ExeOwner | QFile::ReadOther |
                                                         QFile::ExeOther));
        const QString file = shared.filePath("ReadOnly.HL1");
        fill(*std::make_unique<store::Database>(store::connectDataBase(file, "ReadOnly.HL1")), 4);
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadOther));
        // A forked copy gives up the superuser's right to ignore permissions.
        const pid_t child = ::fork();
        if (child == 0) {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                ::_exit(10);
            std::optional<store::FileStore> db;
            try {
                db.emplace(store::connectDataBase(file, "ReadOnly.HL1"));
                if (db->dayRecords("Pat", QDate(2026, 3, 1)).size() != 4)
                    ::_exit(11);
                db->appendRecord(record("Pat", at(3, 2, 8), at(3, 2, 9)));
                ::_exit(12);
            } catch (const store::DbError& error) {
                const QString text = error.message();
                ::_exit(!db                                                         ? 11
                        : text.contains(file) && text.contains("cannot be written") ? 0
                                                                                    : 13);
            }
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QCOMPARE(status, 0);
        QCOMPARE(recordsIn(file), 4);
    }

    // Each purge or compaction first replaces the copy with the file as it was;
    // when the copy cannot be written, neither runs.
    void maintenanceKeepsTheFileAsItWasAndEachRunReplacesTheCopy() {
        const QString file = filled("Kept.HL1", 5);
        const QString copy = store::backupPath(file);
        store::Database db(file, store::databaseKey());
        fill(db, 3, 2);
        fill(db, 2, 3);
        QCOMPARE(store::purgeRecordsBefore(db, "Pat", at(3, 2, 0, 0), 5), 5);
        QCOMPARE(recordsIn(copy), 10);
        QCOMPARE(store::purgeRecordsBefore(db, "Pat", at(3, 3, 0, 0), 3), 3);
        QCOMPARE(recordsIn(copy), 5);
        store::compactDatabase(db);
        QCOMPARE(recordsIn(copy), 2);
        QVERIFY(!QFile::exists(copy + ".new"));
        QVERIFY(QDir().mkpath(copy + ".new/blocked"));
        for (bool purge : {true, false}) {
            try {
                if (purge)
                    store::purgeRecordsBefore(db, "Pat", at(3, 7, 0, 0), 2);
                else
                    store::compactDatabase(db);
                QFAIL("maintenance ran without its copy");
            } catch (const store::DbError& error) {
                QVERIFY2(error.message().contains(copy), qPrintable(error.message()));
            }
        }
        QCOMPARE(rowCount(db), 2);
        QCOMPARE(recordsIn(copy), 2);
    }
};

QTEST_GUILESS_MAIN(TestFile)
#include "test_file.moc"
