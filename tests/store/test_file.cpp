// What only the database file has: its schema, key and key cache, files that
// are not what they seem, older layouts, and the copy kept before maintenance.
// What every store does is in test_contract.cpp.
#include "KeyCache.h"
#include "ReportSums.h"
#include "StoreTest.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
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
            store::insertRecord(transaction, record("Pat", at(2026, 3, day, 8, 0).addSecs(60 * i),
                                                    at(2026, 3, day, 8, 1).addSecs(60 * i)));
    });
}

qint64 recordsIn(const QString& file) {
    store::Database db(file, store::databaseKey());
    return rowCount(db);
}

// tblTimeSheet as the files made before the layout version was kept: any
// text the engine's date functions read passed as a date.
constexpr const char* kLayout0TimeSheet = R"sql(
CREATE TABLE tblClient (ClientNumber INTEGER, ClientName TEXT COLLATE NOCASE);
CREATE TABLE tblWork (WorkCode INTEGER, WorkDescription TEXT COLLATE NOCASE);
CREATE TABLE tblTimeSheet (
  Date TEXT CONSTRAINT Date_is_date CHECK (julianday(Date) IS NOT NULL),
  BeginTime TEXT CONSTRAINT BeginTime_is_date CHECK (julianday(BeginTime) IS NOT NULL),
  EndTime TEXT CONSTRAINT EndTime_is_date CHECK (julianday(EndTime) IS NOT NULL),
  ClientNumber INTEGER CONSTRAINT ClientNumber_is_32bit
    CHECK (ClientNumber BETWEEN -2147483648 AND 2147483647),
  ClientName TEXT COLLATE NOCASE CONSTRAINT ClientName_1_to_255
    CHECK (length(ClientName) BETWEEN 1 AND 255),
  WorkCode INTEGER CONSTRAINT WorkCode_is_32bit
    CHECK (WorkCode BETWEEN -2147483648 AND 2147483647),
  WorkDescription TEXT COLLATE NOCASE CONSTRAINT WorkDescription_1_to_255
    CHECK (length(WorkDescription) BETWEEN 1 AND 255),
  Employee TEXT COLLATE NOCASE CONSTRAINT Employee_1_to_255
    CHECK (length(Employee) BETWEEN 1 AND 255)
);
CREATE INDEX idxTimeSheetEmployeeEnd ON tblTimeSheet (Employee, EndTime);
CREATE INDEX idxTimeSheetEmployeeBegin ON tblTimeSheet (Employee, BeginTime);
)sql";

// A file of that layout holding `canonical` records in the stored form and
// then one record per given {Date, BeginTime, EndTime}.
void writeLayout0File(const QString& path, int canonical, const QList<QStringList>& odd = {}) {
    store::Database db(path, store::databaseKey(), store::Database::Mode::Create);
    db.exec(kLayout0TimeSheet);
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

    // Empty when opening and reading `name` fails with a message naming the
    // file and `reason`, leaves no handle open and the file as it was.
    QString refusal(const QString& name, const QString& reason) {
        const QString file = dir.filePath(name);
        const QByteArray before = readBytes(file);
        const int handles = openFileCount();
        QString message = "opened";
        try {
            store::Database db = store::connectDataBase(file, name);
            store::dayRecords(db, "Pat", QDate(2026, 3, 1));
        } catch (const store::DbError& error) {
            message = error.message();
        }
        if (openFileCount() != handles || readBytes(file) != before)
            return "left a handle open or changed the file";
        return message.contains(file) && message.contains(reason) ? QString() : message;
    }

private slots:
    void freshFileHasTheThreeTablesAndIsEncrypted() {
        const QString file = dir.filePath("Fresh.HL1");
        {
            store::Database db = store::connectDataBase(file, "Fresh.HL1");
            // The tables in the order they are made, the layout of this version
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
            store::appendRecord(
                db, record("Pat", at(2026, 3, 2, 9, 0), at(2026, 3, 2, 10, 0), "Plaintext Client"));
        }
        const QByteArray bytes = readBytes(file);
        QVERIFY(!bytes.startsWith("SQLite format 3") && !bytes.contains("Plaintext Client"));
        // A second connect creates nothing anew: three tables, two indexes, one record
        store::Database again = store::connectDataBase(file, "Fresh.HL1");
        QCOMPARE(rowCount(again, "SELECT count(*) FROM sqlite_master"), 5);
        QCOMPARE(rowCount(again), 1);
    }

    void badFilesAreRefusedNamingFileAndFault() {
        const QString truncated = filled("Half.HL1", 3000);
        QVERIFY(writeBytes(truncated, readBytes(truncated).left(QFileInfo(truncated).size() / 2)));
        QCOMPARE(refusal("Half.HL1", "damaged"), QString());
        QByteArray noise(64 * 1024, Qt::Uninitialized);
        QRandomGenerator(42).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
        QVERIFY(writeBytes(dir.filePath("Noise.HL1"), noise));
        QCOMPARE(refusal("Noise.HL1", "not an Hourloom database"), QString());
        QVERIFY(writeBytes(dir.filePath("Notes.HL1"), QByteArray("some notes\n").repeated(300)));
        QCOMPARE(refusal("Notes.HL1", "not an Hourloom database"), QString());
        QVERIFY(writeBytes(dir.filePath("Empty.HL1"), {}));
        QCOMPARE(refusal("Empty.HL1", ""), QString());
        sqlite3* plain = nullptr;
        sqlite3_open(dir.filePath("Plain.HL1").toUtf8().constData(), &plain);
        sqlite3_exec(plain, "CREATE TABLE tblTimeSheet (Employee TEXT)", nullptr, nullptr, nullptr);
        sqlite3_close(plain);
        QCOMPARE(refusal("Plain.HL1", "not an Hourloom database"), QString());
        {
            store::Database other(dir.filePath("Other.HL1"), "another password",
                                  store::Database::Mode::Create);
            store::createSchema(other);
        }
        QCOMPARE(refusal("Other.HL1", "another password"), QString());
    }

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
        QCOMPARE(recordsIn(files[0]), 3);
        QCOMPARE(recordsIn(files[1]), 1);
        QVERIFY(opensWith(files[0], keyOf(files[0])) && opensWith(files[1], keyOf(files[1])));
        // A wrong key kept for the file: the password still opens it and the
        // right key takes its place.
        QByteArray keys = readBytes(dir.filePath("keys/keys"));
        keys.replace(keyOf(files[0]).mid(2, 64), QByteArray(64, '0'));
        QVERIFY(writeBytes(dir.filePath("keys/keys"), keys));
        QVERIFY(!opensWith(files[0], keyOf(files[0])));
        QCOMPARE(recordsIn(files[0]), 3);
        QVERIFY(opensWith(files[0], keyOf(files[0])));
        // Another password is refused, whatever the cache holds.
        QVERIFY_THROWS_EXCEPTION(store::DbError, store::Database(files[0], "another password"));
        store::setKeyCacheFolder({});
    }

    // Main's look for the file is tested with it; here a name that reads as a
    // pattern, and a real database whose name the settings spell in another case.
    void connectFindsTheNameExactlyAndCreatesNothingWhereItMustNot() {
        QVERIFY(writeBytes(dir.filePath("T [1] *.HL1"), "x"));
        QVERIFY(store::databaseFound(dir.filePath("T [1] *.HL1"), "T [1] *.HL1"));
        QVERIFY_THROWS_EXCEPTION(
            store::DbError, store::connectDataBase("/no-such-mount/Hourloom.HL1", "Hourloom.HL1"));
        const QString file = filled("Cased.HL1", 1);
        QVERIFY_THROWS_EXCEPTION(store::DbError, store::connectDataBase(file, "cased.HL1"));
        QCOMPARE(recordsIn(file), 1);
    }

    void schemaRefusesWhatTheFieldsCannotHold() {
        store::Database db = store::connectDataBase(dir.filePath("Checks.HL1"), "Checks.HL1");
        const QByteArray refused[] = {
            "INSERT INTO tblClient VALUES (1, '')",
            "INSERT INTO tblWork VALUES (1, '" + QByteArray(256, 'w') + "')",
            "INSERT INTO tblClient VALUES (2147483648, 'Big')",
            "INSERT INTO tblWork VALUES ('12a', 'Odd')",
            "INSERT INTO tblTimeSheet VALUES ('2026-03-02 09:00:00', '2026-03-02 09:00:00', "
            "'soon', 1, 'A', 1, 'W', 'ann')",
        };
        for (const QByteArray& sql : refused)
            QVERIFY_THROWS_EXCEPTION(store::DbError, db.exec(sql.constData()));
        QCOMPARE(rowCount(db, "SELECT (SELECT count(*) FROM tblClient) + (SELECT count(*) FROM "
                              "tblWork) + (SELECT count(*) FROM tblTimeSheet)"),
                 0);
    }

    // The check and the reader agree on every text: what one refuses the
    // other refuses too.
    void dateFieldsHoldExactlyWhatTheReaderReads_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("readable");
        QTest::newRow("the stored form") << "2025-03-12 10:30:00" << true;
        QTest::newRow("a leap day") << "2024-02-29 23:59:59" << true;
        QTest::newRow("the first year") << "0001-01-01 00:00:00" << true;
        QTest::newRow("the last moment") << "9999-12-31 23:59:59" << true;
        QTest::newRow("skipped in New York") << "2025-03-09 02:30:00" << true;
        QTest::newRow("no seconds") << "2025-03-12 10:30" << false;
        QTest::newRow("T between") << "2025-03-12T12:00:00" << false;
        QTest::newRow("Julian day") << "2460747.0" << false;
        QTest::newRow("fraction") << "2025-03-12 10:30:00.500" << false;
        QTest::newRow("zone") << "2025-03-12 10:30:00Z" << false;
        QTest::newRow("blank first") << " 2025-03-12 10:30:00" << false;
        QTest::newRow("29 February 2025") << "2025-02-29 10:00:00" << false;
        QTest::newRow("hour 24") << "2025-03-12 24:00:00" << false;
        QTest::newRow("year 0") << "0000-01-01 00:00:00" << false;
        QTest::newRow("year -999") << "-999-02-05 22:30:00" << false;
        QTest::newRow("month 13") << "2025-13-01 10:00:00" << false;
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
        QTest::addColumn<QStringList>("dates"); // Date, BeginTime, EndTime
        QTest::addColumn<QString>("reader");
        const auto row = [](const char* name, const QStringList& dates, const char* reader) {
            QTest::newRow(name) << dates << reader;
        };
        row("latest, Julian day", {"2026-03-02 15:00:00", "2026-03-02 14:00:00", "2460747.0"},
            "latest");
        row("latest, day alone", {"2026-03-02", "2026-03-02 14:00:00", "2026-03-02 15:00:00"},
            "latest");
        row("day list, no seconds",
            {"2026-03-02 15:00:00", "2026-03-02 10:30", "2026-03-02 11:00:00"}, "day");
        row("day list, T between",
            {"2026-03-02 15:00:00", "2026-03-02 09:00:00", "2026-03-02T10:00:00"}, "day");
        row("report, no seconds",
            {"2026-03-02 11:00:00", "2026-03-02 10:30", "2026-03-02 11:00:00"}, "report");
        row("daily report, T between",
            {"2026-03-02 15:00:00", "2026-03-02 09:00:00", "2026-03-02T10:00:00"}, "daily");
    }
    void unreadableDatesAreNamed() {
        QFETCH(QStringList, dates);
        QFETCH(QString, reader);
        store::Database db = store::connectDataBase(dir.filePath("Odd.HL1"), "Odd.HL1");
        db.exec("DELETE FROM tblTimeSheet; PRAGMA ignore_check_constraints = ON");
        store::appendRecord(db, record("ann", at(2026, 3, 2, 12, 0), at(2026, 3, 2, 13, 0)));
        store::Statement insert(db, "INSERT INTO tblTimeSheet VALUES (?, ?, ?, 7, 'Acme', 3, "
                                    "'Design', 'ann')");
        insert.bind(1, dates[0]).bind(2, dates[1]).bind(3, dates[2]).run();
        try {
            if (reader == "latest")
                store::recentRecords(db, "ann", at(2026, 3, 2, 11, 0),
                                     store::RecentOrder::EndTimeDesc, std::nullopt, 1);
            else if (reader == "day")
                store::dayRecords(db, "ann", QDate(2026, 3, 2));
            else
                store::reportRows(db,
                                  {QDate(2026, 3, 2), QDate(2026, 3, 2), reader == "daily", "ann"});
            QFAIL("an unreadable record was read");
        } catch (const store::DbError& error) {
            const QString unreadable = *std::find_if(
                dates.begin(), dates.end(), [](auto& d) { return !store::isStoredDateText(d); });
            for (const QString& named :
                 {QString("\"ann\" beginning \"%1\" (client \"Acme\", work \"Design\")")
                      .arg(dates[1]),
                  unreadable})
                QVERIFY2(error.message().contains(named), qPrintable(error.message()));
        }
    }

    void olderFileIsRewrittenOnceKeepingEveryRecord() {
        const QString file = dir.filePath("Older.HL1");
        writeLayout0File(file, 900,
                         {{"2025-03-12", "2025-03-12 10:30", "2025-03-12T12:00:00"},
                          {"2025-03-12 00:00:00", "2460747.0", "2025-03-12 12:30:59.999"}});
        // Four copies of the program start on it at once; each records
        const auto openAndRecord = [&] {
            store::Database db = store::connectDataBase(file, "Older.HL1");
            fill(db, 1, 20);
        };
        std::vector<pid_t> children;
        for (int i = 0; i < 3; ++i) {
            children.push_back(::fork());
            if (children.back() == 0) {
                try {
                    openAndRecord();
                    ::_exit(0);
                } catch (const store::DbError&) {
                    ::_exit(1);
                }
            }
        }
        try {
            openAndRecord();
        } catch (const store::DbError& error) {
            QFAIL(qPrintable(error.message()));
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
        // The odd dates now read as the moments the engine took them for
        const auto rewritten = column(db, "SELECT Date || '|' || BeginTime || '|' || EndTime "
                                          "FROM tblTimeSheet WHERE rowid > 900 AND rowid <= 902");
        QCOMPARE(rewritten, (QStringList{"2025-03-12 00:00:00|2025-03-12 10:30:00|2025-03-12 "
                                         "12:00:00",
                                         "2025-03-12 00:00:00|2025-03-12 12:00:00|2025-03-12 "
                                         "12:30:59"}));
        QCOMPARE(store::dayRecords(db, "Pat", QDate(2025, 3, 12)).size(), 2u);
        QCOMPARE(store::dayRecords(db, "Pat", QDate(2026, 3, 1)).size(), 900u);
        QVERIFY_THROWS_EXCEPTION(store::DbError,
                                 db.exec("UPDATE tblTimeSheet SET EndTime = '2025-03-12 12:31'"));
        // The copy kept beside it is the file as it was
        store::Database copy(store::backupPath(file), store::databaseKey());
        QCOMPARE(layoutVersion(copy), 0);
        QCOMPARE(rowCount(copy), 902);
    }

    void olderFileWithDatesOfNoClearMeaningIsLeftAsItWas() {
        const QString file = dir.filePath("Unclear.HL1");
        writeLayout0File(file, 3,
                         {{"now", "2025-03-12 10:30:00", "2025-03-12 11:00:00"},
                          {"2025-03-12", "10:30", "2025-03-12 11:00:00"},
                          {"2025-03-12", "2025-03-12 09:00:00", "2025-03-12 11:00:00+01:00"},
                          {"2025-03-12", "2025-03-12 10:30:00", "45728.4375"}});
        try {
            store::connectDataBase(file, "Unclear.HL1");
            QFAIL("a date was guessed at");
        } catch (const store::DbError& error) {
            for (const char* named : {"Unclear.HL1", "\"Pat\" beginning \"10:30\"", "\"now\"",
                                      "+01:00", "45728.4375", "Acme", "Design", "4 record"})
                QVERIFY2(error.message().contains(named), qPrintable(error.message()));
        }
        store::Database db(file, store::databaseKey());
        QCOMPARE(layoutVersion(db), 0);
        QCOMPARE(rowCount(db), 7);
        // A file from a later version is not opened
        db.exec("PRAGMA user_version = 99");
        QVERIFY_THROWS_EXCEPTION(store::DbError, store::connectDataBase(file, "Unclear.HL1"));
    }

    void readOnlyFileReadsButRefusesWritesNamingTheFile() {
        QTemporaryDir shared;
        QVERIFY(QFile::setPermissions(shared.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                         QFile::ExeOwner | QFile::ReadOther |
                                                         QFile::ExeOther));
        const QString file = shared.filePath("ReadOnly.HL1");
        fill(*std::make_unique<store::Database>(store::connectDataBase(file, "ReadOnly.HL1")), 4);
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadOther));
        // A forked copy gives up the superuser's right to ignore permissions
        const pid_t child = ::fork();
        if (child == 0) {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                ::_exit(10);
            try {
                store::Database db = store::connectDataBase(file, "ReadOnly.HL1");
                if (store::dayRecords(db, "Pat", QDate(2026, 3, 1)).size() != 4)
                    ::_exit(11);
                fill(db, 1, 2);
                ::_exit(12);
            } catch (const store::DbError& error) {
                const QString text = error.message();
                ::_exit(text.contains(file) && text.contains("cannot be written") ? 0 : 13);
            }
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QCOMPARE(status, 0);
        QCOMPARE(recordsIn(file), 4);
    }

    void maintenanceKeepsTheFileAsItWasAndEachRunReplacesTheCopy() {
        const QString file = filled("Kept.HL1", 5);
        const QString copy = store::backupPath(file);
        store::Database db(file, store::databaseKey());
        fill(db, 3, 2);
        fill(db, 2, 3);
        QCOMPARE(store::purgeRecordsBefore(db, "Pat", at(2026, 3, 2, 0, 0), 5), 5);
        QCOMPARE(recordsIn(copy), 10);
        QCOMPARE(store::purgeRecordsBefore(db, "Pat", at(2026, 3, 3, 0, 0), 3), 3);
        QCOMPARE(recordsIn(copy), 5);
        store::compactDatabase(db);
        QCOMPARE(recordsIn(copy), 2);
        QVERIFY(!QFile::exists(copy + ".new"));
        // Restoring is copying the copy over the file
        db.exec("DELETE FROM tblTimeSheet");
        QVERIFY(QFile::remove(file) && QFile::copy(copy, file));
        db = store::Database(file, store::databaseKey());
        QCOMPARE(rowCount(db), 2);
        // When the side file the copy is first written to cannot be written,
        // neither a purge nor a compaction runs
        fill(db, 2, 6);
        QVERIFY(QDir().mkpath(copy + ".new/blocked"));
        for (bool purge : {true, false}) {
            try {
                if (purge)
                    store::purgeRecordsBefore(db, "Pat", at(2026, 3, 7, 0, 0), 4);
                else
                    store::compactDatabase(db);
                QFAIL("maintenance ran without its copy");
            } catch (const store::DbError& error) {
                QVERIFY2(error.message().contains(copy), qPrintable(error.message()));
            }
        }
        QCOMPARE(rowCount(db), 4);
        QCOMPARE(recordsIn(copy), 2);
    }
};

QTEST_GUILESS_MAIN(TestFile)
#include "test_file.moc"
