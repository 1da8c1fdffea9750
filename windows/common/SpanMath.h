#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <optional>

// The span of a recording window's four pickers, as plain values: the begin
// is a date plus a time of day, and so is the end.
struct SpanValues {
    QDate beginDate;
    QTime beginTime;
    QDate endDate;
    QTime endTime;
};

// Span in days (1/24 is an hour): (end date - begin date) + (end time - begin time).
double spanDays(const SpanValues& span);

// The span in whole minutes, halves going to the even neighbour (75, -3).
long long spanMinutes(const SpanValues& span);

// The earliest and latest dates the date pickers hold.
inline const QDate kFirstPickerDate{1601, 1, 1};
inline const QDate kLastPickerDate{9999, 12, 31};

// The moment `minutes` after `begin`, or nothing when `minutes` is not a
// finite number or the moment falls outside the pickers' range.
std::optional<QDateTime> endAfterMinutes(const QDateTime& begin, double minutes);

// The time of day shown to the minute, as a time picker set from "h:mm AP" holds it.
QTime toMinute(const QTime& time);
