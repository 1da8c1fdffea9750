#pragma once

#include <QTextBrowser>

// The report view: a browser whose report pages are adjusted for display as
// they load (see displayedReportHtml); every other page loads unchanged.
class ReportBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit ReportBrowser(QWidget* parent = nullptr);

    QVariant loadResource(int type, const QUrl& name) override;
};
