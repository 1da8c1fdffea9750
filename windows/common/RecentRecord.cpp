#include "RecentRecord.h"

#include "Records.h"
#include "SpanMath.h"

std::optional<store::ActivityRecord> latestRecent(store::Store& store, const QString& employee,
                                                  const QDateTime& now) {
    std::vector<store::ActivityRecord> recent = store.recentRecords(
        employee, store::recentCutoff(now), store::RecentOrder::EndTimeDesc, std::nullopt, 1);
    if (recent.empty())
        return std::nullopt;
    return recent.front();
}

QDateTime todayBegin(const QDateTime& now, const std::optional<QDateTime>& latestEnd) {
    if (latestEnd)
        return QDateTime(latestEnd->date(), toMinute(latestEnd->time()));
    const QDateTime hourAgo = now.addSecs(-3600);
    return QDateTime(hourAgo.date(), toMinute(hourAgo.time()));
}
