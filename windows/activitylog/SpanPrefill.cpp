#include "SpanPrefill.h"

#include "DateText.h"

SpanValues otherDayPrefill(const QDate& day, const std::optional<QDateTime>& latestEnd,
                           const QTime& beginOfWork, int captureMinutes) {
    SpanValues span{day, {}, day, {}};
    const qint64 length = static_cast<qint64>(captureMinutes) * 60;
    if (latestEnd) {
        span.beginTime = toMinute(latestEnd->time());
        span.endTime = toMinute(span.beginTime.addSecs(length));
        if (span.endTime < span.beginTime)
            span.endDate = day.addDays(1);
    } else {
        span.beginTime = toMinute(beginOfWork);
        span.endTime = toMinute(span.beginTime.addSecs(length));
    }
    return span;
}

QTime beginOfWorkTime(const QString& strBeginWork) {
    const QTime time = timeFromText(strBeginWork);
    return time.isValid() ? time : QTime(8, 0);
}
