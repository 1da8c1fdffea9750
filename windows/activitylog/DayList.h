#pragma once

#include "Records.h"

#include <QDateTime>
#include <QString>
#include <array>
#include <optional>

// What the day list shows: six columns, their headers, widths and cell font
// sizes, and the texts of one record's cells.
inline constexpr int kDayListColumns = 6;

// Column headers, left to right.
const std::array<QString, kDayListColumns>& dayListHeaders();

// Column widths in twips for a grid `gridTwips` wide (halves to the even neighbour).
std::array<int, kDayListColumns> dayListColumnWidths(int gridTwips);

// Font size (points) of a cell in `column`.
int dayListFontSize(int column);

// The cells of one record: client name, client number, work, work code,
// begin and end.
std::array<QString, kDayListColumns> dayListCells(const store::ActivityRecord& record);

// A date-time as the grid writes it ("3/4/2026 11:30:00 PM"), and back. The
// text keeps the seconds, so reading it gives exactly the stored value.
QString gridDateTimeText(const QDateTime& moment);
std::optional<QDateTime> dateTimeFromGridText(const QString& text);
