#include "ReportCsv.h"

#include "ReportPage.h"

#include <QStringList>

QString csvQuoted(const QString& text) {
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

QByteArray reportCsv(const std::vector<ReportRow>& rows, bool daily, bool minutes,
                     const QString& clientLabel, const QString& employee) {
    QStringList header;
    if (daily)
        header << csvQuoted(QStringLiteral("Date")) << csvQuoted(clientLabel + " Number")
               << csvQuoted(clientLabel + " Name");
    else // the per-item heading has always been written as one word
        header << csvQuoted(clientLabel + " Number") << csvQuoted(clientLabel + "Name");
    header << csvQuoted(QStringLiteral("Work Code"))
           << csvQuoted(QStringLiteral("Work Description"))
           << csvQuoted(QStringLiteral("Total Time")) << csvQuoted(QStringLiteral("Employee"));

    QString text = header.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    for (const ReportRow& row : rows) {
        QStringList fields;
        if (daily)
            fields << csvQuoted(row.day.toString(QStringLiteral("MM/dd/yyyy")));
        fields << QString::number(row.clientNumber) << csvQuoted(row.clientName)
               << QString::number(row.workCode) << csvQuoted(row.workDescription)
               << csvQuoted(reportTotalText(row.totalTime, daily && minutes))
               << csvQuoted(employee);
        text += fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}
