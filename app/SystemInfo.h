#pragma once

#include <QString>
#include <QStringList>

// System-information tools of the common Linux desktops, best first.
const QStringList& systemInfoTools();

// The full path of the first of `tools` found on PATH, or empty text.
QString findSystemInfoTool(const QStringList& tools = systemInfoTools());

// Shown when no tool is found or it cannot be started.
inline const QString kSystemInfoUnavailable =
    QStringLiteral("System Information Is Unavailable At This Time");
