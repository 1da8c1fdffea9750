#pragma once

#include "SpanMath.h"

#include <QDateTime>
#include <optional>

// Where the entry area's span starts for a day other than today: at the end
// of that day's latest-beginning record, else at the begin-of-work time, and
// it lasts the capture frequency. The begin date is always the shown day.
//
// With a record, an end time that passes midnight moves the end date to the
// next day. From the begin-of-work time there is no such step: the end stays
// on the shown day, and the span recalculation later resets a negative span.
// Times are whole minutes, as the pickers hold them.
SpanValues otherDayPrefill(const QDate& day, const std::optional<QDateTime>& latestEnd,
                           const QTime& beginOfWork, int captureMinutes);

// The begin-of-work time a setting text gives, or 8:00 AM when the text is
// no time of day.
QTime beginOfWorkTime(const QString& strBeginWork);
