#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <optional>

// Dates and times as people type them on the command line.

// "2026-03-05" or "3/5/2026"; nothing for any other text or an impossible day.
std::optional<QDate> dateFromArgument(const QString& text);

// "14:30" (24-hour) or "2:30 PM" ("2:30pm", "2:30 p.m." too); nothing otherwise.
std::optional<QTime> timeFromArgument(const QString& text);

// A time, or a date and a time ("2026-03-05 14:30", "3/5/2026 2:30 PM"); a
// time alone falls on `today`.
std::optional<QDateTime> momentFromArgument(const QString& text, const QDate& today);

// The same, or a usage error naming `what` and the accepted forms.
QDate requireDate(const QString& text, const QString& what);
QDateTime requireMoment(const QString& text, const QString& what, const QDate& today);
