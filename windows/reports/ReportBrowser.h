#pragma once

#include <QTextBrowser>

// The report view: a browser whose report pages are adjusted for display as
// they load (see displayedReportHtml); every other page loads unchanged.
// Each page it shows is also its accessible description, as plain text, so a
// screen reader can read the report.
class ReportBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit ReportBrowser(QWidget* parent = nullptr);

    QVariant loadResource(int type, const QUrl& name) override;

protected:
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override;
};

// The document as lines of text: a paragraph per line, a table row per line
// with its cells separated by tabs; empty lines left out.
QString readableText(const QTextDocument& document);
