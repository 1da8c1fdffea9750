#pragma once

#include "Database.h"

#include <QDate>
#include <QString>
#include <utility>
#include <vector>

// What a report sums: the employee's records that begin within a range of
// days, either per client and work code or per day, client and work code.
struct ReportCriteria {
    QDate from; // first day
    QDate to;   // last day, inclusive
    bool daily = false;
    QString employee;
};

// One sum of the report.
struct ReportRow {
    double totalTime = 0; // days (1/24 is an hour)
    QDate day;            // daily reports only
    qint32 clientNumber = 0;
    QString clientName;
    qint32 workCode = 0;
    QString workDescription;

    bool operator==(const ReportRow&) const = default;
};

// The sums, ordered by client name and work description (daily: by day
// first). A record belongs to the range by its BeginTime alone, from 00:00 of
// the first day up to and including 00:00 of the day after the last day; a
// record is summed whole under the day it began. Names compare without regard
// to case, as the code lists and the employee name do everywhere.
std::vector<ReportRow> reportRows(store::Database& db, const ReportCriteria& criteria);

// The range a new report starts with: the Sunday-to-Saturday week before the
// week of `today`.
std::pair<QDate, QDate> defaultReportRange(const QDate& today);
