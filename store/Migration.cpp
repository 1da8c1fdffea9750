#include "Migration.h"

#include "Backup.h"
#include "Records.h"
#include "Schema.h"

#include <QStringList>
#include <sqlite3.h>

namespace store {

namespace {

int layoutVersion(Database& db) {
    Statement version(db, "PRAGMA user_version");
    version.step();
    return static_cast<int>(version.int64(0));
}

// A date in the stored form, from any form the engine's date functions read.
QByteArray rewrittenDate(const char* field) {
    return QByteArray("datetime(") + field + ", '+0 seconds')";
}

// Earlier files held any text the engine's date functions read. Such a
// text is rewritten in the stored form only where it means one wall-clock
// moment: a day with or without a time (a "T" or a blank between them,
// seconds and fractions optional) or a Julian day number, the engine's own
// reading of a number. Relative words ("now"), a time without a day and
// times with a zone offset are not guessed at.
QByteArray rewritable(const char* field) {
    const QByteArray f(field);
    // Most dates are already in the stored form; that is checked first.
    return "(" + storedDateCheck(field) + " OR (typeof(" + f + ") = 'text' AND ((" + f +
           " GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]*' AND substr(" + f +
           ", 11) NOT GLOB '*[^0-9:. T]*') OR (" + f + " GLOB '[0-9]*' AND " + f +
           " NOT GLOB '*[^0-9.]*')) AND " + storedDateCheck(rewrittenDate(field)) + "))";
}

constexpr int kNamedInMessage = 5;

// Refuses the step, naming the records whose dates cannot be rewritten.
void requireRewritableDates(Database& db) {
    const QByteArray sql = QByteArray("SELECT ") + kRecordColumns +
                           " FROM tblTimeSheet WHERE NOT (" + rewritable("Date") + " AND " +
                           rewritable("BeginTime") + " AND " + rewritable("EndTime") +
                           ") ORDER BY rowid";
    Statement unreadable(db, sql.constData());
    QStringList named;
    int count = 0;
    while (unreadable.step()) {
        if (++count <= kNamedInMessage)
            named << QStringLiteral("%1: Date \"%2\", BeginTime \"%3\", EndTime \"%4\"")
                         .arg(storedRecordName(unreadable), unreadable.text(0), unreadable.text(1),
                              unreadable.text(2));
    }
    if (count == 0)
        return;
    if (count > kNamedInMessage)
        named << QStringLiteral("and %1 more").arg(count - kNamedInMessage);
    throw DbError(SQLITE_CONSTRAINT,
                  QStringLiteral("The database %1 was left as it was: this version of Hourloom "
                                 "keeps dates as YYYY-MM-DD HH:MM:SS, and %2 record(s) hold "
                                 "dates it cannot rewrite so: %3. Correct or delete them, then "
                                 "open the file again.")
                      .arg(db.path())
                      .arg(count)
                      .arg(named.join(QStringLiteral("; "))));
}

// Version 0 to 1: tblTimeSheet's date fields accept only the stored form.
// The engine cannot change a check in place, so the table is built anew
// beside the old one, filled in the old order, and takes its place.
void keepDatesInTheStoredForm(Database& db) {
    requireRewritableDates(db);
    db.exec(timeSheetTableSql("tblTimeSheetNew").constData());
    const QByteArray copy = QByteArray("INSERT INTO tblTimeSheetNew (rowid, ") + kRecordColumns +
                            ") SELECT rowid, " + rewrittenDate("Date") + ", " +
                            rewrittenDate("BeginTime") + ", " + rewrittenDate("EndTime") +
                            ", ClientNumber, ClientName, WorkCode, WorkDescription, Employee"
                            " FROM tblTimeSheet ORDER BY rowid";
    db.exec(copy.constData());
    db.exec("DROP TABLE tblTimeSheet");
    db.exec("ALTER TABLE tblTimeSheetNew RENAME TO tblTimeSheet");
    db.exec(kTimeSheetIndexes);
}

using Step = void (*)(Database&);
// Step n brings a file from version n to version n + 1.
constexpr Step kSteps[kSchemaVersion] = {keepDatesInTheStoredForm};

} // namespace

void migrateSchema(Database& db) {
    const int found = retryWhileBusy([&] { return layoutVersion(db); });
    if (found == kSchemaVersion)
        return;
    if (found > kSchemaVersion)
        throw DbError(SQLITE_CANTOPEN,
                      QStringLiteral("Cannot open the database %1: it was made by a later "
                                     "version of Hourloom (file layout %2; this version reads "
                                     "layout %3).")
                          .arg(db.path())
                          .arg(found)
                          .arg(kSchemaVersion));
    writeTransaction(db, [&] {
        // Another copy of the program may have finished the work meanwhile.
        const int version = layoutVersion(db);
        if (version >= kSchemaVersion)
            return;
        // The engine copies nothing through a connection that is writing. A
        // second connection reads the file as it still is, while this one's
        // lock keeps every other copy of the program out of this work.
        Database reader(db.path(), databaseKey());
        backupDatabase(reader);
        for (int step = version; step < kSchemaVersion; ++step)
            kSteps[step](db);
        markCurrentLayout(db);
    });
}

} // namespace store
