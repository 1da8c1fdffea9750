#pragma once

#include <QDateTime>
#include <QString>

// The English (United States) date and time texts the program shows and
// stores in settings: 3/5/2026, 3:15:00 PM, 3/5/2026 3:15:00 PM.
QString usDateText(const QDate& date);
QString usTimeText(const QTime& time);
QString usDateTimeText(const QDateTime& moment);

// Reads a time of day such as "8:00:00 AM", "8:00 AM", "20:00" or "8 PM".
// Gives an invalid QTime for anything else.
QTime timeFromText(const QString& text);

// The moment's date at midnight.
QDateTime startOfDay(const QDateTime& moment);
// The date of `day` with the time of day of `time`, to the second.
QDateTime combine(const QDate& day, const QTime& time);
