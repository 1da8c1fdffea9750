#pragma once

#include <QList>
#include <QPrinterInfo>

class QTextDocument;
class QWidget;

// Prints `document` on the default printer without a print dialog. When
// `printers` is empty (no printer is installed) it says so and offers to save
// a PDF instead. Every failure is reported; nothing reports success falsely.
void printWithoutDialog(QWidget* owner, const QTextDocument& document,
                        const QList<QPrinterInfo>& printers);

// Prints `document` into a PDF file; false when the file was not written.
bool printToPdf(const QTextDocument& document, const QString& path);
