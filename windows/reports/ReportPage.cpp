#include "ReportPage.h"

#include "DateText.h"
#include "Functions.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The page keeps the browser's context menu and right clicks away from the table.
const char* const kScript[] = {
    "if (window.Event) ",
    "document.captureEvents(Event.MOUSEUP); ",
    "function nocontextmenu()  ",
    "{",
    "event.cancelBubble = true",
    "event.returnValue = false;",
    "return false;",
    "}",
    "function norightclick(e)   ",
    "{",
    "if (window.Event)  ",
    "{",
    "if (e.which == 2 || e.which == 3)",
    "return false;",
    "}",
    "else",
    "if (event.button == 2 || event.button == 3)",
    "{",
    "event.cancelBubble = true",
    "event.returnValue = false;",
    "return false;",
    "}  ",
    "}",
    "document.oncontextmenu = nocontextmenu;",
    "document.onmousedown = norightclick;",
};

class PageText {
public:
    void line(const QString& text = {}) { text_ += text + kCrLf; }
    void line(const char* text) { line(QString::fromLatin1(text)); }
    QByteArray bytes() const { return text_.toUtf8(); }

private:
    QString text_;
};

QString captionText(const ReportPageTexts& t) {
    return QStringLiteral("<Table width=100% Align=Center Border=2px > <CAPTION <B>") +
           htmlEscaped(t.company) + QStringLiteral("  </B> <BR> ") + htmlEscaped(t.employee);
}

QString headerText(const ReportPageTexts& t) {
    const QString label = htmlEscaped(t.clientLabel);
    QString header = t.daily ? QStringLiteral("<TR></TR> <TR> <TH>Date</TH> <TH Align=Center>")
                             : QStringLiteral("<TR></TR><TR> <TH>");
    header += label + QStringLiteral(" Number</TH> ");
    header += QStringLiteral("<TH Align=Center>") + label + QStringLiteral(" Name</TH> ");
    header += QStringLiteral("<TH Align=Center>Work Code</TH> ");
    header += QStringLiteral("<TH Align=Center>Work Description</TH> ");
    header += QStringLiteral("<TH Align=Center>Total Time</TH> </TR>");
    return header;
}

} // namespace

QString htmlEscaped(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QStringLiteral("&amp;");
            break;
        case '<':
            out += QStringLiteral("&lt;");
            break;
        case '>':
            out += QStringLiteral("&gt;");
            break;
        case '"':
            out += QStringLiteral("&quot;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString reportTotalText(double days, bool minutes) {
    return DurationText(days, minutes ? 1 : 0);
}

QByteArray reportPage(const ReportPageTexts& texts, const std::vector<ReportRow>& rows) {
    PageText page;
    page.line("<HTML> <html>");
    page.line("<head>");
    // The page is written in UTF-8; a browser must not guess another code page.
    page.line("<meta charset=\"utf-8\">");
    page.line();
    page.line("<script language= \"JavaScript1.2\"> ");
    for (const char* script : kScript)
        page.line(script);
    page.line("</script>");
    page.line();
    page.line();
    page.line("<Title> Hourloom </Title> ");
    page.line();
    page.line();
    page.line("</HEAD>");
    page.line();
    page.line(captionText(texts) + kCrLf);
    page.line(headerText(texts) + kCrLf);
    if (rows.empty())
        return page.bytes(); // nothing found: the page is never shown
    for (const ReportRow& row : rows) {
        page.line("<TR>");
        if (texts.daily)
            page.line(QStringLiteral("<TD>") + usDateText(row.day) + QStringLiteral("</TD>"));
        page.line(QStringLiteral("<TD> ") + QString::number(row.clientNumber) +
                  QStringLiteral("</TD> <TD>") + htmlEscaped(row.clientName) +
                  QStringLiteral("</TD> <TD>") + QString::number(row.workCode) +
                  QStringLiteral("</TD> <TD>") + htmlEscaped(row.workDescription) +
                  QStringLiteral("</TD> "));
        page.line(QStringLiteral("<TD>") + reportTotalText(row.totalTime, texts.minutes) +
                  QStringLiteral("</TD>\r") + kCrLf);
        page.line("</TR>");
    }
    page.line("</Table> </Body> </html>");
    return page.bytes();
}
