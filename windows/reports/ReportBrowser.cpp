#include "ReportBrowser.h"

#include "ReportDisplay.h"

#include <QFile>
#include <QTextCursor>
#include <QTextFrame>
#include <QTextTable>

namespace {

QString cellText(const QTextTableCell& cell) {
    QTextCursor cursor = cell.firstCursorPosition();
    cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return cursor.selectedText().simplified();
}

} // namespace

QString readableText(const QTextDocument& document) {
    QStringList lines;
    for (auto it = document.rootFrame()->begin(); !it.atEnd(); ++it) {
        auto* table = qobject_cast<QTextTable*>(it.currentFrame());
        if (!table) {
            const QString line = it.currentBlock().text().simplified();
            if (!line.isEmpty())
                lines << line;
            continue;
        }
        for (int row = 0; row < table->rows(); ++row) {
            QStringList cells;
            for (int column = 0; column < table->columns(); ++column)
                cells << cellText(table->cellAt(row, column));
            if (!cells.join(QString()).isEmpty())
                lines << cells.join(QLatin1Char('\t'));
        }
    }
    return lines.join(QLatin1Char('\n'));
}

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

void ReportBrowser::doSetSource(const QUrl& name, QTextDocument::ResourceType type) {
    QTextBrowser::doSetSource(name, type);
    setAccessibleDescription(readableText(*document()));
}
