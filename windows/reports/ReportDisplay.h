#pragma once

#include <QByteArray>
#include <QString>

// The report page as the built-in view can draw it. The file stays as
// written, for real browsers; only what is displayed and printed here is
// adjusted: the table gets a border the view understands, the empty first
// row is dropped, and the caption (which the view does not know) becomes a
// centred heading above the table.
QString displayedReportHtml(const QByteArray& pageBytes);
