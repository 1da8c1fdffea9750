#pragma once

#include "Store.h"

#include <QDateTime>
#include <QString>

namespace store {

// How the recording windows (and the command line after them) change the
// stored records, over whichever store is open.

// The Time Control window stamps Date with the moment of recording (to the
// second), the Activity Log window with today at midnight. Every other field
// is stored as given.
void addControlRecord(Store& store, ActivityRecord record, const QDateTime& now);
void addClockRecord(Store& store, ActivityRecord record, const QDateTime& now);

// An Activity Log correction: record `id` of `employee` is replaced by
// `replacement`, stamped as the Activity Log stamps, as one transaction.
void replaceClockRecord(Store& store, const QString& employee, RecordId id,
                        ActivityRecord replacement, const QDateTime& now);

// Undo Last Entry: deletes the employee's record with the latest EndTime if
// that ended within five hours before `now` (or ends later). Returns whether
// one went.
bool undoLastRecord(Store& store, const QString& employee, const QDateTime& now);

} // namespace store
