#pragma once

#include <QChar>
#include <QString>

// The report window's caption and the texts of its messages.
inline const QString kReportTitle = QStringLiteral("Hourloom Report");
inline const QString kHelpTopic = QStringLiteral("TimeSheetReport.htm");
inline const QString kCsvFilter = QStringLiteral("CSV Comma Delimited|*.CSV");

inline const QString kNoRecordsText =
    QStringLiteral("No records to export.") + QChar(13) + QStringLiteral("Export Canceled.");

inline const QString kNoPrinterText = QStringLiteral("No printer is installed.") + QChar(13) +
                                      QStringLiteral("Save the report as a PDF file instead?");
inline const QString kPrintFailedText =
    QStringLiteral("The report could not be printed.") + QChar(13) + QStringLiteral("Printer: ");
inline const QString kPdfFailedText =
    QStringLiteral("The PDF file could not be written.") + QChar(13) + QStringLiteral("File: ");
inline const QString kQueryFailedText =
    QStringLiteral("The report could not be read from the database.") + QChar(13);
inline const QString kPageFailedText =
    QStringLiteral("The report page could not be written.") + QChar(13) + QStringLiteral("File: ");
inline const QString kExportFailedText =
    QStringLiteral("The export file could not be written.") + QChar(13) + QStringLiteral("File: ");
