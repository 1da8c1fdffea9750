#include "Appends.h"

#include "Records.h"

namespace store {

namespace {

QDateTime midnightOf(const QDateTime& now) {
    return QDateTime(now.date(), QTime(0, 0));
}

} // namespace

void addControlRecord(Store& store, ActivityRecord record, const QDateTime& now) {
    record.date = now;
    store.appendRecord(record);
}

void addClockRecord(Store& store, ActivityRecord record, const QDateTime& now) {
    record.date = midnightOf(now);
    store.appendRecord(record);
}

void replaceClockRecord(Store& store, const QString& employee, RecordId id,
                        ActivityRecord replacement, const QDateTime& now) {
    replacement.date = midnightOf(now);
    store.replaceRecord(employee, id, replacement);
}

bool undoLastRecord(Store& store, const QString& employee, const QDateTime& now) {
    return store.deleteLatestEndingSince(employee, recentCutoff(now));
}

} // namespace store
