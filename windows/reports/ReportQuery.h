#pragma once

#include "Store.h"

#include <QDate>
#include <utility>

// What a report sums and the sums themselves come from the store
// (Store::reportRows); the report window and the command line share them.
using ReportCriteria = store::ReportCriteria;
using ReportRow = store::ReportRow;

// The range a new report starts with: the Sunday-to-Saturday week before the
// week of `today`.
std::pair<QDate, QDate> defaultReportRange(const QDate& today);
