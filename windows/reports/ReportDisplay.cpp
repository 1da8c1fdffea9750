#include "ReportDisplay.h"

namespace {

const QString kCaptionStart = QStringLiteral(" <CAPTION <B>");

// "<Table ...> <CAPTION <B>company  </B> <BR> employee" on one line becomes a
// heading paragraph followed by the table start.
QString captionAsHeading(QString html) {
    const qsizetype caption = html.indexOf(kCaptionStart);
    if (caption < 0)
        return html;
    const qsizetype table = html.lastIndexOf(QStringLiteral("<Table"), caption);
    const qsizetype lineEnd = html.indexOf(QStringLiteral("\r\n"), caption);
    if (table < 0 || lineEnd < 0)
        return html;
    const QString tableTag = html.mid(table, caption - table);
    const qsizetype textStart = caption + kCaptionStart.size();
    const QString captionText = html.mid(textStart, lineEnd - textStart);
    const QString heading =
        QStringLiteral("<p align=center><B>") + captionText + QStringLiteral("</p>") + tableTag;
    return html.replace(table, lineEnd - table, heading);
}

} // namespace

QString displayedReportHtml(const QByteArray& pageBytes) {
    QString html = captionAsHeading(QString::fromUtf8(pageBytes));
    html.replace(QStringLiteral("Border=2px"),
                 QStringLiteral("border=1 cellspacing=0 cellpadding=3"));
    html.remove(QStringLiteral("<TR></TR>"));
    return html;
}
