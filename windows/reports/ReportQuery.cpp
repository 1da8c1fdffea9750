#include "ReportQuery.h"

#include "Records.h"
#include "Schema.h"

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
    return kSeconds + QByteArray(", sum(NOT (") + store::storedDateCheck("BeginTime") + " AND " +
           store::storedDateCheck("EndTime") + "))";
}

// Both bounds by BeginTime, so the (Employee, BeginTime) index serves the range.
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

} // namespace

std::vector<ReportRow> reportRows(store::Database& db, const ReportCriteria& criteria) {
    const QDateTime from(criteria.from, QTime(0, 0));
    const QDateTime to(criteria.to.addDays(1), QTime(0, 0));
    const QByteArray sql = criteria.daily ? dailySql() : perItemSql();
    store::Statement query(db, sql.constData());
    query.bind(1, criteria.employee).bind(2, from).bind(3, to);
    std::vector<ReportRow> rows;
    bool unreadable = false;
    while (query.step()) {
        ReportRow row;
        row.totalTime = static_cast<double>(query.int64(0)) / 86'400.0;
        unreadable = unreadable || query.int64(1) > 0;
        row.clientNumber = static_cast<qint32>(query.int64(2));
        row.clientName = query.text(3);
        row.workCode = static_cast<qint32>(query.int64(4));
        row.workDescription = query.text(5);
        if (criteria.daily)
            row.day = QDate::fromString(query.text(6), Qt::ISODate);
        rows.push_back(std::move(row));
    }
    // No report with a wrong sum: the message names the record instead.
    if (unreadable)
        store::requireReadableRecords(db, criteria.employee, from, to);
    return rows;
}

std::pair<QDate, QDate> defaultReportRange(const QDate& today) {
    // Days since the Sunday that began this week (Qt counts Monday 1 .. Sunday 7).
    const int sinceSunday = today.dayOfWeek() % 7;
    const QDate from = today.addDays(-sinceSunday - 7);
    return {from, from.addDays(6)};
}
