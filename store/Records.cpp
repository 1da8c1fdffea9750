#include "Records.h"

#include "Schema.h"

#include <QTimeZone>
#include <algorithm>
#include <sqlite3.h>

namespace store {

namespace {

// A date the program cannot read would show as a negative or huge span, or
// drop out of a list unseen; such a record is named instead. The schema keeps
// them out, but another tool can still write one.
void requireReadableDates(const Statement& row) {
    static const char* const fields[] = {"Date", "BeginTime", "EndTime"};
    for (int column = 0; column < 3; ++column) {
        if (!isStoredDateText(row.text(column)))
            throw DbError(
                SQLITE_MISMATCH,
                QStringLiteral("The record of %1 cannot be read: its %2 \"%3\" is not "
                               "a date in the form YYYY-MM-DD HH:MM:SS.")
                    .arg(storedRecordName(row), QLatin1String(fields[column]), row.text(column)));
    }
}

// Read after kRecordColumns by every query that gives whole records.
constexpr const char* kKeyColumn = ", rowid";

ActivityRecord readRecord(const Statement& row) {
    requireReadableDates(row);
    ActivityRecord r;
    r.date = row.dateTime(0);
    r.beginTime = row.dateTime(1);
    r.endTime = row.dateTime(2);
    r.clientNumber = static_cast<qint32>(row.int64(3));
    r.clientName = row.text(4);
    r.workCode = static_cast<qint32>(row.int64(5));
    r.workDescription = row.text(6);
    r.employee = row.text(7);
    r.id = row.int64(8);
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

// Control characters (a line break, a tab, DEL, ...) and the Unicode line and
// paragraph separators break a caption or a file name built from the text.
bool breaksALine(QChar c) {
    const QChar::Category category = c.category();
    return category == QChar::Other_Control || category == QChar::Separator_Line ||
           category == QChar::Separator_Paragraph;
}

} // namespace

QString storedRecordName(const Statement& row) {
    return QStringLiteral("\"%1\" beginning \"%2\" (client \"%3\", work \"%4\")")
        .arg(row.text(7), row.text(1), row.text(4), row.text(6));
}

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
    if (std::any_of(text.begin(), text.end(), breaksALine))
        throw DbError(SQLITE_CONSTRAINT,
                      QStringLiteral("%1 holds a control character (such as a line break or a "
                                     "tab) and cannot be stored.")
                          .arg(field));
}

qint32 wholeNumberOf(const QString& text, const QString& what) {
    bool ok = false;
    const qint32 value = text.trimmed().toInt(&ok);
    if (!ok)
        throw DbError(SQLITE_MISMATCH,
                      QStringLiteral("The %1 \"%2\" is not a whole number.").arg(what, text));
    return value;
}

void insertRecord(Transaction& transaction, const ActivityRecord& r) {
    Database& db = transaction.database();
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
    writeTransaction(db, [&](Transaction& transaction) { insertRecord(transaction, record); });
}

std::vector<ActivityRecord> recentRecords(Database& db, const QString& employee,
                                          const QDateTime& from, RecentOrder order,
                                          const std::optional<QDateTime>& to, int limit) {
    QByteArray sql = QByteArray("SELECT ") + kRecordColumns + kKeyColumn +
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
    Statement query(db, (QByteArray("SELECT ") + kRecordColumns + kKeyColumn +
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

void requireReadableRecords(Database& db, const QString& employee, const QDateTime& from,
                            const QDateTime& to) {
    const QByteArray sql = QByteArray("SELECT ") + kRecordColumns +
                           " FROM tblTimeSheet WHERE Employee = ?1"
                           " AND BeginTime >= ?2 AND BeginTime <= ?3 AND NOT (" +
                           storedDateCheck("Date") + " AND " + storedDateCheck("BeginTime") +
                           " AND " + storedDateCheck("EndTime") + ") LIMIT 1";
    Statement query(db, sql.constData());
    query.bind(1, employee).bind(2, from).bind(3, to);
    if (retryWhileBusy([&] { return query.step(); }))
        requireReadableDates(query);
}

void forEachRecord(Database& db, const std::function<void(const ActivityRecord&)>& visit) {
    // Only the first read can find the file busy: from then on the walk holds
    // its shared lock, so a retry never hands a record over twice.
    retryWhileBusy([&] {
        db.exec("BEGIN");
        try {
            Statement rows(db, (QByteArray("SELECT ") + kRecordColumns + kKeyColumn +
                                " FROM tblTimeSheet ORDER BY rowid")
                                   .constData());
            while (rows.step()) {
                visit(readRecord(rows));
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
    // Five hours of wall-clock time, as every span is measured: on the nights
    // the clocks change, five elapsed hours would reach four or six back.
    const QDateTime wall = QDateTime(now.date(), now.time(), QTimeZone::utc()).addSecs(-5 * 3600);
    QDateTime cutoff(wall.date(), wall.time());
    // No record holds a time the clocks skip when they go forward, so the
    // first minute after the skipped span reaches the same records.
    for (int minute = 1; !cutoff.isValid() && minute <= 24 * 60; ++minute) {
        const QDateTime later = wall.addSecs(60 * minute - wall.time().second());
        cutoff = QDateTime(later.date(), later.time());
    }
    return cutoff;
}

bool deleteLastRecord(Database& db, const QString& employee, const QDateTime& now) {
    return deleteLatestEndingSince(db, employee, recentCutoff(now));
}

bool deleteLatestEndingSince(Database& db, const QString& employee, const QDateTime& cutoff) {
    return writeTransaction(db, [&] {
        // rowid picks one row even when two records end at the same moment.
        Statement remove(db, "DELETE FROM tblTimeSheet WHERE rowid = ("
                             "SELECT rowid FROM tblTimeSheet WHERE EndTime >= ? AND Employee = ? "
                             "ORDER BY EndTime DESC LIMIT 1)");
        remove.bind(1, cutoff).bind(2, employee);
        remove.run();
        return db.changes() > 0;
    });
}

} // namespace store
