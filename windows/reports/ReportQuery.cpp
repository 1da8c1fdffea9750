#include "ReportQuery.h"

std::pair<QDate, QDate> defaultReportRange(const QDate& today) {
    // Days since the Sunday that began this week (Qt counts Monday 1 .. Sunday 7).
    const int sinceSunday = today.dayOfWeek() % 7;
    const QDate from = today.addDays(-sinceSunday - 7);
    return {from, from.addDays(6)};
}
