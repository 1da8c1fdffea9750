#pragma once

#include "ActivityRecord.h"
#include "Database.h"
#include "Store.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace store {

// The fields of tblTimeSheet in their table order, for a query's column list.
inline constexpr const char* kRecordColumns =
    "Date, BeginTime, EndTime, ClientNumber, ClientName, WorkCode, WorkDescription, Employee";

// How a message names the record in the current row of `row`, a query of
// kRecordColumns: its employee, begin, client and work texts as stored.
QString storedRecordName(const Statement& row);

// Longest text a text field holds.
constexpr int kMaxTextLength = 255;

// Throws a DbError naming the field when `text` is empty, longer than the
// field allows or holds a control character (a line break, a tab, ...), so
// nothing invalid reaches the engine.
void requireStorableText(const QString& field, const QString& text);

// A list or grid text that holds one of the 32-bit whole numbers a record
// stores; throws a DbError naming `what` when it does not.
qint32 wholeNumberOf(const QString& text, const QString& what);

// Appends one activity record in its own write transaction.
void appendRecord(Database& db, const ActivityRecord& record);

// Appends inside a transaction the caller already holds.
void insertRecord(Transaction& transaction, const ActivityRecord& record);

// The employee's records with EndTime >= `from` (and, when given,
// EndTime <= `to`), newest first by the chosen time. The employee is matched
// without regard to case. Like every reader here, throws a DbError naming a
// record whose dates cannot be read.
std::vector<ActivityRecord> recentRecords(Database& db, const QString& employee,
                                          const QDateTime& from, RecentOrder order,
                                          const std::optional<QDateTime>& to = std::nullopt,
                                          int limit = -1);

// The employee's records of one day for the Activity Log's day list: those
// that end, or begin, between midnight and 11:59 PM of `day`, by BeginTime
// ascending.
std::vector<ActivityRecord> dayRecords(Database& db, const QString& employee, const QDate& day);

// Throws a DbError naming the first of the employee's records that begin
// between `from` and `to` (both included) and whose dates cannot be read.
void requireReadableRecords(Database& db, const QString& employee, const QDateTime& from,
                            const QDateTime& to);

// Hands every record of the file to `visit`, by key, in one read transaction
// so that the walk sees one consistent state while others write.
void forEachRecord(Database& db, const std::function<void(const ActivityRecord&)>& visit);

// Whether the employee has any record ending at or after `moment`.
bool hasRecordEndingAtOrAfter(Database& db, const QString& employee, const QDateTime& moment);

// Undo: deletes the employee's record with the latest EndTime, if that ended
// within five hours before `now`. Returns whether a record was deleted.
bool deleteLastRecord(Database& db, const QString& employee, const QDateTime& now);

// Deletes the employee's record with the latest EndTime when that is at or
// after `cutoff`. Returns whether one went.
bool deleteLatestEndingSince(Database& db, const QString& employee, const QDateTime& cutoff);

// How far back undo and the recent-records query of the Time Control window
// reach: five hours of wall-clock time before `now`.
QDateTime recentCutoff(const QDateTime& now);

} // namespace store
