#include "ReportFiles.h"

#include "Settings.h"

#include <QSaveFile>

QUrl blankPageUrl() {
    return QUrl(QStringLiteral("qrc:/reports/blank.htm"));
}

QString reportPagePath() {
    return Settings::dataFolder() + QStringLiteral("/report.htm");
}

QString writeWholeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    // Some folders (a network share, for one) refuse the rename that makes
    // the save atomic; writing in place is still checked byte for byte.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return why;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}
