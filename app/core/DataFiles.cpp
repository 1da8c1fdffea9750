#include "DataFiles.h"

#include <QCoreApplication>
#include <QDir>

QString installedDataFolder() {
    const QString overridden = qEnvironmentVariable("HOURLOOM_DATA_DIR");
    if (!overridden.isEmpty())
        return QDir::cleanPath(overridden);
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../share/hourloom"));
}

QString installedDataFile(const QString& name) {
    return QDir(installedDataFolder()).filePath(name);
}
