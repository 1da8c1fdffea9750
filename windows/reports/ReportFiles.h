#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

// The page the report view shows while a report is built and when nothing
// was found; shipped with the program.
QUrl blankPageUrl();

// Where the report page is written: report.htm in the per-user data folder.
QString reportPagePath();

// Writes `bytes` to `path`, replacing the file only once every byte is
// written. Gives an empty text on success, otherwise why it failed.
QString writeWholeFile(const QString& path, const QByteArray& bytes);
