#include "Schema.h"

#include "Migration.h"

#include <QDir>
#include <QFileInfo>
#include <sqlite3.h>

namespace store {

namespace {

// Long fields hold 32-bit numbers; text fields are never empty and at most 255
// characters, and compare without regard to case as the old engine did.
constexpr const char* kClientTable = R"sql(
CREATE TABLE tblClient (
  ClientNumber INTEGER CONSTRAINT ClientNumber_is_32bit
    CHECK (ClientNumber BETWEEN -2147483648 AND 2147483647),
  ClientName TEXT COLLATE NOCASE CONSTRAINT ClientName_1_to_255
    CHECK (length(ClientName) BETWEEN 1 AND 255)
);
)sql";
constexpr const char* kWorkTable = R"sql(
CREATE TABLE tblWork (
  WorkCode INTEGER CONSTRAINT WorkCode_is_32bit
    CHECK (WorkCode BETWEEN -2147483648 AND 2147483647),
  WorkDescription TEXT COLLATE NOCASE CONSTRAINT WorkDescription_1_to_255
    CHECK (length(WorkDescription) BETWEEN 1 AND 255)
);
)sql";

// tblTimeSheet's fields after its name; @ stands for each date field's name.
constexpr const char* kTimeSheetFields = R"sql( (
  Date TEXT CONSTRAINT Date_is_date CHECK (@Date),
  BeginTime TEXT CONSTRAINT BeginTime_is_date CHECK (@BeginTime),
  EndTime TEXT CONSTRAINT EndTime_is_date CHECK (@EndTime),
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
)sql";

// A date field holds local wall-clock time in the one form the program reads
// back, "YYYY-MM-DD HH:MM:SS", from year 0001 on. Passing it through the
// engine's date arithmetic must give the same text again. As the engine
// always answers in that form, this also refuses every other form ("T"
// between, no seconds, fractions, a zone, a Julian day number) and the days
// and hours that do not exist ("2025-02-30", "24:00:00"), which the engine's
// date functions would otherwise read as some other moment. The report runs
// this check on every record it sums, so it stays this short.
constexpr const char* kDateCheck =
    "typeof(@) = 'text' AND length(@) = 19 AND @ >= '0001' AND datetime(@, '+0 seconds') IS @";

void requireOurTables(Database& db) {
    Statement tables(db, "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN "
                         "('tblClient', 'tblTimeSheet', 'tblWork')");
    tables.step();
    if (tables.int64(0) != 3)
        throw DbError(SQLITE_NOTADB,
                      QStringLiteral("Cannot open the database %1: the file is not an Hourloom "
                                     "database (its tables are missing).")
                          .arg(db.path()));
}

} // namespace

QByteArray storedDateCheck(const char* field) {
    return QByteArray(kDateCheck).replace('@', field);
}

QByteArray timeSheetTableSql(const char* table) {
    QByteArray sql = QByteArray("CREATE TABLE ") + table + kTimeSheetFields;
    for (const char* field : {"Date", "BeginTime", "EndTime"})
        sql.replace(QByteArray("@") + field, storedDateCheck(field));
    return sql;
}

void markCurrentLayout(Database& db) {
    const QByteArray sql = "PRAGMA user_version = " + QByteArray::number(kSchemaVersion);
    db.exec(sql.constData());
}

QByteArray databaseKey() {
    return QByteArrayLiteral("pk5071wvbe");
}

QString listedFileName(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || !info.isFile())
        return {};
    // The folder listing, not the path as typed, gives the real spelling. The
    // listing is searched by hand: a name filter would read "[", "*" or "?" in
    // the file name as wildcards.
    const QStringList listed = info.dir().entryList(QDir::Files | QDir::Hidden | QDir::System);
    if (listed.contains(info.fileName()))
        return info.fileName();
    // On a folder that ignores case (a mounted share) the typed path finds a
    // file spelled otherwise: report the spelling the folder holds.
    for (const QString& name : listed) {
        if (name.compare(info.fileName(), Qt::CaseInsensitive) == 0)
            return name;
    }
    return {};
}

bool databaseFound(const QString& path, const QString& name) {
    const QString listed = listedFileName(path);
    return !listed.isEmpty() && listed == name;
}

void createSchema(Database& db) {
    writeTransaction(db, [&] {
        // Another copy of the program may have created the same new file a
        // moment earlier; its tables are then already there.
        Statement existing(db, "SELECT count(*) FROM sqlite_master");
        existing.step();
        if (existing.int64(0) == 0) {
            // The tables in the order the file has always had them.
            db.exec(kClientTable);
            db.exec(timeSheetTableSql("tblTimeSheet").constData());
            db.exec(kWorkTable);
            db.exec(kTimeSheetIndexes);
            markCurrentLayout(db);
        }
    });
}

Database connectDataBase(const QString& path, const QString& name) {
    if (!databaseFound(path, name)) {
        bool madeHere = false;
        try {
            Database created(path, databaseKey(), Database::Mode::Create);
            madeHere = true;
            createSchema(created);
        } catch (...) {
            // Leave no half-made file behind for the next start to trip on,
            // but never touch a file this call did not make.
            if (madeHere)
                QFile::remove(path);
            throw;
        }
    }
    Database db(path, databaseKey());
    retryWhileBusy([&] { requireOurTables(db); });
    migrateSchema(db);
    return db;
}

} // namespace store
