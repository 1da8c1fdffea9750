#pragma once

#include "Store.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <vector>

// A message of the windows as a terminal shows it: their line separator
// (CR alone) becomes a line end.
QString terminalText(const QString& message);

// Rows under headings, each column as wide as its widest text, two spaces
// between columns, every line ended.
QString tableText(const QStringList& headings, const std::vector<QStringList>& rows);

// A moment as data: "2026-03-05T14:30:00".
QString isoText(const QDateTime& moment);

// A record as data: its stored fields, its length in minutes and, for a
// record read from the store, its key.
QJsonObject recordJson(const store::ActivityRecord& record);

// A record on one line, as the day list shows it, with its length.
QString recordLine(const store::ActivityRecord& record);

// Writes `value` as indented JSON and a line end.
void writeJson(QTextStream& out, const QJsonValue& value);
