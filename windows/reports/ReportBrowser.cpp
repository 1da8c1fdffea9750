#include "ReportBrowser.h"

#include "ReportDisplay.h"

#include <QFile>

ReportBrowser::ReportBrowser(QWidget* parent)
    : QTextBrowser(parent) {
    setOpenLinks(false); // the report has no links; nothing should navigate away
}

QVariant ReportBrowser::loadResource(int type, const QUrl& name) {
    if (type == QTextDocument::HtmlResource && name.isLocalFile() &&
        name.fileName().compare(QStringLiteral("report.htm"), Qt::CaseInsensitive) == 0) {
        QFile file(name.toLocalFile());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return displayedReportHtml(file.readAll());
    }
    return QTextBrowser::loadResource(type, name);
}
