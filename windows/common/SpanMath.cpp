#include "SpanMath.h"

#include <cmath>

namespace {

constexpr qint64 kMsPerDay = 86'400'000;

qint64 spanMs(const SpanValues& span) {
    const qint64 days = span.beginDate.daysTo(span.endDate);
    const qint64 ms = span.endTime.msecsSinceStartOfDay() - span.beginTime.msecsSinceStartOfDay();
    return days * kMsPerDay + ms;
}

} // namespace

double spanDays(const SpanValues& span) {
    return static_cast<double>(spanMs(span)) / static_cast<double>(kMsPerDay);
}

long long spanMinutes(const SpanValues& span) {
    // From whole milliseconds, so a half minute is exactly 0.5 and rounds to even.
    return static_cast<long long>(std::nearbyint(static_cast<double>(spanMs(span)) / 60'000.0));
}

std::optional<QDateTime> endAfterMinutes(const QDateTime& begin, double minutes) {
    if (!std::isfinite(minutes) || !begin.isValid())
        return std::nullopt;
    // Bound the offset before converting, so no overflow can happen; 10,000
    // years is more than the pickers' whole range.
    constexpr double kMaxMinutes = 10'000.0 * 366 * 1440;
    if (std::fabs(minutes) > kMaxMinutes)
        return std::nullopt;
    const qint64 ms = static_cast<qint64>(std::llround(minutes * 60'000.0));
    const qint64 dayPart = ms / kMsPerDay;
    const qint64 msPart = ms % kMsPerDay;
    // Wall-clock arithmetic on date and time of day, as the pickers hold them.
    QDate date = begin.date().addDays(dayPart);
    qint64 timeMs = begin.time().msecsSinceStartOfDay() + msPart;
    if (timeMs < 0) {
        timeMs += kMsPerDay;
        date = date.addDays(-1);
    } else if (timeMs >= kMsPerDay) {
        timeMs -= kMsPerDay;
        date = date.addDays(1);
    }
    if (!date.isValid() || date < kFirstPickerDate || date > kLastPickerDate)
        return std::nullopt;
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(static_cast<int>(timeMs)));
}

QTime toMinute(const QTime& time) {
    return QTime(time.hour(), time.minute());
}
