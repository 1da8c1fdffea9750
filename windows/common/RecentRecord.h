#pragma once

#include "Store.h"

#include <QDateTime>
#include <optional>

// The employee's latest recent record as the Time Control window (and the
// command line's track and status) reads it: the one ending last among those
// that ended within five hours before `now`, or end later.
std::optional<store::ActivityRecord> latestRecent(store::Store& store, const QString& employee,
                                                  const QDateTime& now);

// Where today's span starts: at the end of the latest recent record, else an
// hour before now; to the minute, as the pickers hold it.
QDateTime todayBegin(const QDateTime& now, const std::optional<QDateTime>& latestEnd);
