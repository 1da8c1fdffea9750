#include "ClockRecords.h"

std::optional<store::ActivityRecord> latestBeginningEndingBetween(store::Store& store,
                                                                  const QString& employee,
                                                                  const QDateTime& from,
                                                                  const QDateTime& to) {
    std::vector<store::ActivityRecord> rows =
        store.recentRecords(employee, from, store::RecentOrder::BeginTimeDesc, to, 1);
    if (rows.empty())
        return std::nullopt;
    return rows.front();
}
