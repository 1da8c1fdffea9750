#pragma once

#include "ReportQuery.h"

#include <QByteArray>
#include <QString>
#include <vector>

// The bytes of a CSV export of the report's sums: a header line and one line
// per sum, CR LF line ends, UTF-8. Text fields are quoted with any double
// quote inside doubled, so each line reads back into its fields. Daily
// exports show totals as `minutes` asks; per-item exports always in hours and
// minutes.
QByteArray reportCsv(const std::vector<ReportRow>& rows, bool daily, bool minutes,
                     const QString& clientLabel, const QString& employee);

// A text field: between double quotes, inner quotes doubled.
QString csvQuoted(const QString& text);
