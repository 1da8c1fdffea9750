#include "Records.h"

#include <sqlite3.h>

namespace store {

namespace {

constexpr const char* kColumns =
    "Date, BeginTime, EndTime, ClientNumber, ClientName, WorkCode, WorkDescription, Employee";

ActivityRecord readRecord(const Statement& row) {
    ActivityRecord r;
    r.date = row.dateTime(0);
    r.beginTime = row.dateTime(1);
    r.endTime = row.dateTime(2);
    r.clientNumber = static_cast<qint32>(row.int64(3));
    r.clientName = row.text(4);
    r.workCode = static_cast<qint32>(row.int64(5));
    r.workDescription = row.text(6);
    r.employee = row.text(7);
    return r;
}

// A failed step resets the statement and keeps its values, so a retry reads
// the whole result again from its first row.
std::vector<ActivityRecord> readAll(Statement& query) {
    return retryWhileBusy([&] {
        std::vector<ActivityRecord> rows;
        while (query.step())
            rows.push_back(readRecord(query));
        return rows;
    });
}

} // namespace

double ActivityRecord::days() const {
    return daysBetween(beginTime, endTime);
}

bool ActivityRecord::operator==(const ActivityRecord& o) const {
    return date == o.date && beginTime == o.beginTime && endTime == o.endTime &&
           clientNumber == o.clientNumber && clientName == o.clientName && workCode == o.workCode &&
           workDescription == o.workDescription && employee == o.employee;
}

double daysBetween(const QDateTime& from, const QDateTime& to) {
    // Wall-clock difference: a daylight-saving change does not stretch a span.
    const qint64 dayDiff = from.date().daysTo(to.date());
    const qint64 msDiff = to.time().msecsSinceStartOfDay() - from.time().msecsSinceStartOfDay();
    return static_cast<double>(dayDiff) + static_cast<double>(msDiff) / 86'400'000.0;
}

void requireStorableText(const QString& field, const QString& text) {
    if (text.isEmpty())
        throw DbError(SQLITE_CONSTRAINT,
                      QStringLiteral("%1 is empty; an empty text cannot be stored.").arg(field));
    if (text.size() > kMaxTextLength)
        throw DbError(SQLITE_CONSTRAINT,
                      QStringLiteral("%1 is longer than %2 characters and cannot be stored.")
                          .arg(field)
                          .arg(kMaxTextLength));
}

qint32 wholeNumberOf(const QString& text, const QString& what) {
    bool ok = false;
    const qint32 value = text.trimmed().toInt(&ok);
    if (!ok)
        throw DbError(SQLITE_MISMATCH,
                      QStringLiteral("The %1 \"%2\" is not a whole number.").arg(what, text));
    return value;
}

void insertRecord(Database& db, const ActivityRecord& r) {
    requireStorableText(QStringLiteral("The client name"), r.clientName);
    requireStorableText(QStringLiteral("The work description"), r.workDescription);
    requireStorableText(QStringLiteral("The employee name"), r.employee);
    Statement insert(db, "INSERT INTO tblTimeSheet (Date, BeginTime, EndTime, ClientNumber, "
                         "ClientName, WorkDescription, WorkCode, Employee) "
                         "VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
    insert.bind(1, r.date)
        .bind(2, r.beginTime)
        .bind(3, r.endTime)
        .bind(4, r.clientNumber)
        .bind(5, r.clientName)
        .bind(6, r.workDescription)
        .bind(7, r.workCode)
        .bind(8, r.employee);
    insert.run();
}

void appendRecord(Database& db, const ActivityRecord& record) {
    writeTransaction(db, [&] { insertRecord(db, record); });
}

void addControlRecord(Database& db, ActivityRecord record, const QDateTime& now) {
    record.date = now;
    appendRecord(db, record);
}

void addClockRecord(Database& db, ActivityRecord record, const QDateTime& now) {
    record.date = QDateTime(now.date(), QTime(0, 0));
    appendRecord(db, record);
}

std::vector<ActivityRecord> recentRecords(Database& db, const QString& employee,
                                          const QDateTime& from, RecentOrder order,
                                          const std::optional<QDateTime>& to, int limit) {
    QByteArray sql = QByteArray("SELECT ") + kColumns +
                     " FROM tblTimeSheet WHERE EndTime >= ?1 AND Employee = ?2";
    if (to)
        sql += " AND EndTime <= ?3";
    sql +=
        order == RecentOrder::BeginTimeDesc ? " ORDER BY BeginTime DESC" : " ORDER BY EndTime DESC";
    sql += " LIMIT ?4";
    Statement query(db, sql.constData());
    query.bind(1, from).bind(2, employee).bind(4, limit);
    if (to)
        query.bind(3, *to);
    return readAll(query);
}

std::vector<ActivityRecord> dayRecords(Database& db, const QString& employee, const QDate& day) {
    // The employee is named in both branches, and every value is bound on its
    // own: with shared parameters the planner folds the branches together and
    // reads every record of the employee instead of using the two indexes.
    Statement query(db, (QByteArray("SELECT ") + kColumns +
                         " FROM tblTimeSheet"
                         " WHERE (EndTime >= ? AND EndTime <= ? AND Employee = ?)"
                         " OR (BeginTime >= ? AND BeginTime <= ? AND Employee = ?)"
                         " ORDER BY BeginTime ASC")
                            .constData());
    const QDateTime from(day, QTime(0, 0));
    const QDateTime to(day, QTime(23, 59));
    query.bind(1, from).bind(2, to).bind(3, employee).bind(4, from).bind(5, to).bind(6, employee);
    return readAll(query);
}

void forEachRecord(Database& db, const std::function<void(const ActivityRecord&)>& visit) {
    // Only the first read can find the file busy: from then on the walk holds
    // its shared lock, so a retry never hands a record over twice.
    retryWhileBusy([&] {
        db.exec("BEGIN");
        try {
            Statement rows(
                db, (QByteArray("SELECT ") + kColumns + ", rowid FROM tblTimeSheet ORDER BY rowid")
                        .constData());
            while (rows.step()) {
                ActivityRecord record = readRecord(rows);
                record.id = rows.int64(8);
                visit(record);
            }
        } catch (...) {
            db.exec("ROLLBACK");
            throw;
        }
        db.exec("COMMIT");
    });
}

bool hasRecordEndingAtOrAfter(Database& db, const QString& employee, const QDateTime& moment) {
    Statement query(db, "SELECT 1 FROM tblTimeSheet WHERE EndTime >= ? AND Employee = ? LIMIT 1");
    query.bind(1, moment).bind(2, employee);
    return retryWhileBusy([&] { return query.step(); });
}

QDateTime recentCutoff(const QDateTime& now) {
    return now.addSecs(-5 * 3600);
}

bool deleteLastRecord(Database& db, const QString& employee, const QDateTime& now) {
    return writeTransaction(db, [&] {
        // rowid picks one row even when two records end at the same moment.
        Statement remove(db, "DELETE FROM tblTimeSheet WHERE rowid = ("
                             "SELECT rowid FROM tblTimeSheet WHERE EndTime >= ? AND Employee = ? "
                             "ORDER BY EndTime DESC LIMIT 1)");
        remove.bind(1, recentCutoff(now)).bind(2, employee);
        remove.run();
        return db.changes() > 0;
    });
}

} // namespace store
