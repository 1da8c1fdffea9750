#include "ExportName.h"

#include <QDir>
#include <QFileInfo>

namespace {

// A name with a path separator would point into another folder.
QString fileSafe(const QString& employee) {
    QString name = employee;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    name.replace(QChar(0), QLatin1Char('_'));
    return name;
}

// Files named `stem` + anything + ".csv", compared without regard to case.
// Matched by hand rather than with a wildcard pattern, since the employee
// name may itself hold wildcard characters.
int countEarlierExports(const QString& folder, const QString& stem) {
    const QString suffix = QStringLiteral(".csv");
    int count = 0;
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        if (name.size() >= stem.size() + suffix.size() &&
            name.startsWith(stem, Qt::CaseInsensitive) &&
            name.endsWith(suffix, Qt::CaseInsensitive))
            ++count;
    }
    return count;
}

} // namespace

QString proposedExportPath(const QString& folder, const QString& employee) {
    const QString stem = fileSafe(employee);
    int n = countEarlierExports(folder, stem);
    if (n == 0)
        return folder + stem + QStringLiteral(".csv");
    for (;; ++n) {
        const QString candidate = folder + stem + QString::number(n) + QStringLiteral(".csv");
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

QString exportFolderOf(const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}
