#pragma once

#include "Store.h"

#include <QDateTime>
#include <QString>
#include <optional>

// The six texts of a day-list row, as the window keeps them for the entry
// area. The record itself is found by its key, never by these texts.
struct SelectionTexts {
    QString vClientName;
    QString vClientNumber;
    QString vWorkDescription;
    QString vWorkCode;
    QString vBeginTime;
    QString vEndTime;
};

// The employee's record that began last among those that ended from `from`
// to `to` (both included), if any.
std::optional<store::ActivityRecord> latestBeginningEndingBetween(store::Store& store,
                                                                  const QString& employee,
                                                                  const QDateTime& from,
                                                                  const QDateTime& to);
