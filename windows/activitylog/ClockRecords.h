#pragma once

#include "Records.h"

#include <QDateTime>
#include <QString>
#include <optional>

// What identifies the record selected in the day list: the six values its
// row shows. The employee is added by the operations below.
struct RecordKey {
    QDateTime beginTime;
    QDateTime endTime;
    qint32 clientNumber = 0;
    QString clientName;
    qint32 workCode = 0;
    QString workDescription;
};

// The six texts of a day-list row, as the window keeps them.
struct SelectionTexts {
    QString vClientName;
    QString vClientNumber;
    QString vWorkDescription;
    QString vWorkCode;
    QString vBeginTime;
    QString vEndTime;
};

// A list or grid text that holds a 32-bit whole number; throws store::DbError
// naming `what` when it does not.
qint32 wholeNumberOf(const QString& text, const QString& what);

// Reads the texts back into values; throws store::DbError naming the text
// that does not read as what its column holds.
RecordKey keyFromTexts(const SelectionTexts& texts);

// The employee's record that began last among those that ended from `from`
// to `to` (both included), if any.
std::optional<store::ActivityRecord> latestBeginningEndingBetween(store::Database& db,
                                                                  const QString& employee,
                                                                  const QDateTime& from,
                                                                  const QDateTime& to);

// Deletes one record of `employee` carrying exactly the six values of `key`
// (names compared exactly, letter case included): even when several stored
// records carry the same values, only one goes. Returns whether one was found.
// Runs inside a write transaction the caller holds.
bool deleteOneMatching(store::Database& db, const RecordKey& key, const QString& employee);

// The same in a write transaction of its own.
bool deleteSelectedRecord(store::Database& db, const RecordKey& key, const QString& employee);

// A correction: deletes the selected record and appends `replacement`
// (its Date set to today at midnight) as one unit, so a failing append
// leaves the old record in place.
void replaceRecord(store::Database& db, const RecordKey& key, const QString& employee,
                   store::ActivityRecord replacement, const QDateTime& now);
