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

// Longest text a text field holds.
constexpr int kMaxTextLength = 255;

// Throws a DbError naming the field when `text` is empty or longer than the
// field allows, so nothing invalid reaches the engine.
void requireStorableText(const QString& field, const QString& text);

// A list or grid text that holds one of the 32-bit whole numbers a record
// stores; throws a DbError naming `what` when it does not.
qint32 wholeNumberOf(const QString& text, const QString& what);

// Appends one activity record in its own write transaction.
void appendRecord(Database& db, const ActivityRecord& record);

// Appends inside a transaction the caller already holds.
void insertRecord(Database& db, const ActivityRecord& record);

// The two ways a recording window appends: the Time Control window stamps
// Date with the moment of recording (to the second), the Activity Log window
// with today at midnight. Every other field is stored as given.
void addControlRecord(Database& db, ActivityRecord record, const QDateTime& now);
void addClockRecord(Database& db, ActivityRecord record, const QDateTime& now);

// The employee's records with EndTime >= `from` (and, when given,
// EndTime <= `to`), newest first by the chosen time. The employee is matched
// without regard to case.
std::vector<ActivityRecord> recentRecords(Database& db, const QString& employee,
                                          const QDateTime& from, RecentOrder order,
                                          const std::optional<QDateTime>& to = std::nullopt,
                                          int limit = -1);

// The employee's records of one day for the Activity Log's day list: those
// that end, or begin, between midnight and 11:59 PM of `day`, by BeginTime
// ascending.
std::vector<ActivityRecord> dayRecords(Database& db, const QString& employee, const QDate& day);

// Hands every record of the file to `visit`, by key, in one read transaction
// so that the walk sees one consistent state while others write.
void forEachRecord(Database& db, const std::function<void(const ActivityRecord&)>& visit);

// Whether the employee has any record ending at or after `moment`.
bool hasRecordEndingAtOrAfter(Database& db, const QString& employee, const QDateTime& moment);

// Undo: deletes the employee's record with the latest EndTime, if that ended
// within five hours before `now`. Returns whether a record was deleted.
bool deleteLastRecord(Database& db, const QString& employee, const QDateTime& now);

// How far back undo and the recent-records query of the Time Control window reach.
QDateTime recentCutoff(const QDateTime& now);

} // namespace store
