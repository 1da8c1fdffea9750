#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

// The number a code box holds: plain decimal digits (leading zeros allowed)
// within the 32-bit range of the number fields. Anything else (a sign, a
// fraction, an exponent, separators, spaces, other scripts' digits, a value
// beyond the range) is not a code number, so it is never stored altered.
std::optional<qint32> parseCodeNumber(const QString& text);

// The number check run on every change of the number box: an empty box passes.
bool numberBoxAcceptable(const QString& text);

// The number proposed for a new entry: the highest number plus one, 1 for an
// empty table, and an empty box when the highest number leaves no room above.
QString proposedNumber(std::optional<qint32> highest);

// Column widths of the list grid in twips for a grid `gridWidth` twips wide:
// the row-number column, the name column and the number column. Halves go to
// the even neighbour.
std::array<int, 3> gridColumnWidths(int gridWidth);

// The grid's generic ascending order: two numbers compare by value, numbers
// come before other texts, texts compare without regard to case.
bool genericLess(const QString& a, const QString& b);

// Sorts whole rows by column `key` in the generic ascending order; rows that
// compare equal keep their order.
void sortRowsGeneric(std::vector<QStringList>& rows, int key);
