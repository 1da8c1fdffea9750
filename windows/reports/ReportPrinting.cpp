#include "ReportPrinting.h"

#include "ReportTexts.h"
#include "Services.h"

#include <QFileInfo>
#include <QPrinter>
#include <QTextDocument>

namespace {

void offerPdf(QWidget* owner, const QTextDocument& document) {
    if (prompter().message(owner, kNoPrinterText, kReportTitle, MsgIcon::Question,
                           MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    const FileRequest request{QStringLiteral("Save as PDF"), Settings::dataFolder(),
                              QStringLiteral("report.pdf"), QStringLiteral("PDF Document|*.pdf")};
    std::optional<QString> path = prompter().saveFileName(owner, request);
    if (!path)
        return;
    if (QFileInfo(*path).suffix().isEmpty())
        *path += QStringLiteral(".pdf");
    if (!printToPdf(document, *path))
        prompter().message(owner, kPdfFailedText + *path, kReportTitle, MsgIcon::Critical,
                           MsgButtons::Ok);
}

} // namespace

bool printToPdf(const QTextDocument& document, const QString& path) {
    QFile::remove(path); // so an old file cannot pass for the new one
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    document.print(&printer);
    return printer.printerState() != QPrinter::Error && QFileInfo(path).size() > 0;
}

void printWithoutDialog(QWidget* owner, const QTextDocument& document,
                        const QList<QPrinterInfo>& printers) {
    if (printers.isEmpty()) {
        offerPdf(owner, document);
        return;
    }
    QPrinterInfo target = QPrinterInfo::defaultPrinter();
    if (target.isNull())
        target = printers.first();
    QPrinter printer(target, QPrinter::HighResolution);
    document.print(&printer);
    if (printer.printerState() == QPrinter::Error)
        prompter().message(owner, kPrintFailedText + target.printerName(), kReportTitle,
                           MsgIcon::Critical, MsgButtons::Ok);
}
