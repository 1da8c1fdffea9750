#include "ReportSums.h"

#include "Records.h"
#include "Schema.h"

namespace store {

namespace {

// A span is summed as whole seconds so that totals are exact and a total of
// whole minutes never rounds to its neighbour; the wall-clock difference is
// what the rest of the program calls a record's length.
constexpr const char* kSeconds =
    "sum(CAST(round((julianday(EndTime) - julianday(BeginTime)) * 86400) AS INTEGER))";

// Beside each sum, how many of its records have a date the program cannot
// read: the engine's date functions would sum those as some other span or
// leave them out. Counted in the same pass, as a second one would cost as
// much as the report itself.
QByteArray sums() {
    return kSeconds + QByteArray(", sum(NOT (") + storedDateCheck("BeginTime") + " AND " +
           storedDateCheck("EndTime") + "))";
}

// Both bounds by BeginTime, so the report index serves the range.
constexpr const char* kRange = " FROM tblTimeSheet WHERE Employee = ?1"
                               " AND BeginTime >= ?2 AND BeginTime <= ?3";

QByteArray perItemSql() {
    return "SELECT " + sums() + ", ClientNumber, ClientName, WorkCode, WorkDescription" + kRange +
           " GROUP BY ClientNumber, ClientName, WorkCode, WorkDescription"
           " ORDER BY ClientName, WorkDescription, ClientNumber, WorkCode";
}

QByteArray dailySql() {
    // The stored text starts with the calendar day "YYYY-MM-DD".
    return "SELECT " + sums() +
           ", ClientNumber, ClientName, WorkCode, WorkDescription, substr(BeginTime, 1, 10)" +
           kRange +
           " GROUP BY substr(BeginTime, 1, 10), ClientNumber, ClientName, WorkCode, "
           "WorkDescription"
           " ORDER BY substr(BeginTime, 1, 10), ClientName, WorkDescription, ClientNumber, "
           "WorkCode";
}

constexpr const char* kReportIndex =
    "CREATE INDEX IF NOT EXISTS idxTimeSheetReport ON tblTimeSheet (Employee, BeginTime, "
    "EndTime, ClientNumber, ClientName, WorkCode, WorkDescription)";

ReportRow readRow(const Statement& query, bool daily) {
    ReportRow row;
    row.totalTime = static_cast<double>(query.int64(0)) / 86'400.0;
    row.clientNumber = static_cast<qint32>(query.int64(2));
    row.clientName = query.text(3);
    row.workCode = static_cast<qint32>(query.int64(4));
    row.workDescription = query.text(5);
    if (daily)
        row.day = QDate::fromString(query.text(6), Qt::ISODate);
    return row;
}

} // namespace

std::vector<ReportRow> reportRows(Database& db, const ReportCriteria& criteria) {
    const QDateTime from(criteria.from, QTime(0, 0));
    const QDateTime to(criteria.to.addDays(1), QTime(0, 0));
    const QByteArray sql = criteria.daily ? dailySql() : perItemSql();
    Statement query(db, sql.constData());
    query.bind(1, criteria.employee).bind(2, from).bind(3, to);
    bool unreadable = false;
    // Read again from the first row when another copy holds the file too long.
    std::vector<ReportRow> rows = retryWhileBusy([&] {
        std::vector<ReportRow> read;
        unreadable = false;
        while (query.step()) {
            read.push_back(readRow(query, criteria.daily));
            unreadable = unreadable || query.int64(1) > 0;
        }
        return read;
    });
    // No report with a wrong sum: the message names the record instead.
    if (unreadable)
        requireReadableRecords(db, criteria.employee, from, to);
    return rows;
}

void ensureReportIndex(Database& db) {
    // Looked up first, so that the usual open takes no write lock.
    Statement index(db, "SELECT 1 FROM sqlite_master WHERE type = 'index' AND "
                        "name = 'idxTimeSheetReport'");
    if (retryWhileBusy([&] { return index.step(); }))
        return;
    try {
        Transaction transaction(db);
        db.exec(kReportIndex);
        transaction.commit();
    } catch (const DbError&) {
        // Next time, then.
    }
}

} // namespace store
