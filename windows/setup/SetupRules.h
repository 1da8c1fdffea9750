#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

// Whether a text box holds a number (surrounding blanks allowed).
bool isNumericText(const QString& text);

// The capture frequency a text gives: a number rounded to whole minutes that
// fits the 16-bit setting; nothing for any other text.
std::optional<qint16> captureFrequency(const QString& text);

// The moment before which the purge deletes records: `days` days (fractions
// allowed, negative ones reach into the future) before `now`, same time of
// day. Nothing when the text is not a number. Absurdly large counts stop at
// the first or last moment the file can hold.
std::optional<QDateTime> purgeCutoff(const QDateTime& now, const QString& days);

// A database file name typed without extension gets ".HL1".
QString withDatabaseExtension(const QString& path);

// The three captions the Time Control window takes from the wording choice.
struct Wording {
    QString lblClient1;
    QString lblClient2;
    QString frame2;
};
Wording wordingFor(qint32 lLabel);
