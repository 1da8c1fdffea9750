#include "SystemInfo.h"

#include <QStandardPaths>

const QStringList& systemInfoTools() {
    static const QStringList tools{
        QStringLiteral("hardinfo2"),
        QStringLiteral("hardinfo"),
        QStringLiteral("kinfocenter"),
        QStringLiteral("gnome-system-monitor"),
        QStringLiteral("mate-system-monitor"),
        QStringLiteral("xfce4-taskmanager"),
        QStringLiteral("lxtask"),
    };
    return tools;
}

QString findSystemInfoTool(const QStringList& tools) {
    for (const QString& tool : tools) {
        const QString path = QStandardPaths::findExecutable(tool);
        if (!path.isEmpty())
            return path;
    }
    return {};
}
