#pragma once

#include "ReportQuery.h"

#include <QByteArray>
#include <QString>
#include <vector>

// What the report page shows besides its rows.
struct ReportPageTexts {
    QString company;      // table caption, first part
    QString employee;     // table caption, after the company
    QString clientLabel;  // "Client" or "Project" in two column headings
    bool daily = false;   // a Date column first
    bool minutes = false; // totals as whole minutes instead of hours and minutes
};

// The bytes of report.htm: the head, the caption and header, one table row
// per sum and, when there is at least one row, the closing line. Lines end
// with CR LF; texts are UTF-8 and HTML-escaped, so a name can neither break
// the table nor run script in the page.
QByteArray reportPage(const ReportPageTexts& texts, const std::vector<ReportRow>& rows);

// & < > and " as character references; other text unchanged.
QString htmlEscaped(const QString& text);

// A total as the report and the export show it: whole minutes, or hours and minutes.
QString reportTotalText(double days, bool minutes);
