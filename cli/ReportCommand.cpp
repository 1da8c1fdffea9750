// report: the Report window's sums, written by the window's own page and CSV
// writers, so a page or an export is byte for byte what the window writes.
#include "CliError.h"
#include "CliOutput.h"
#include "CliValues.h"
#include "Commands.h"
#include "DateText.h"
#include "ReportCsv.h"
#include "ReportFiles.h"
#include "ReportPage.h"
#include "ReportQuery.h"
#include "ReportTexts.h"

#include <QJsonArray>
#include <cstdio>

namespace {

enum class Format { Text, Html, Csv, Json };

Format formatOf(CliContext& context) {
    if (context.json())
        return Format::Json;
    const QString name = context.value(QStringLiteral("format"));
    if (name.isEmpty() || name == QLatin1String("text"))
        return Format::Text;
    if (name == QLatin1String("html"))
        return Format::Html;
    if (name == QLatin1String("csv"))
        return Format::Csv;
    if (name == QLatin1String("json"))
        return Format::Json;
    throw usage(QStringLiteral("Unknown format \"%1\": use text, html, csv or json.").arg(name));
}

QByteArray textTable(const std::vector<ReportRow>& rows, const ReportPageTexts& texts) {
    QStringList headings;
    if (texts.daily)
        headings << QStringLiteral("Date");
    headings << texts.clientLabel + QStringLiteral(" Number")
             << texts.clientLabel + QStringLiteral(" Name") << QStringLiteral("Work Code")
             << QStringLiteral("Work Description") << QStringLiteral("Total Time");
    std::vector<QStringList> lines;
    for (const ReportRow& row : rows) {
        QStringList cells;
        if (texts.daily)
            cells << usDateText(row.day);
        cells << QString::number(row.clientNumber) << row.clientName
              << QString::number(row.workCode) << row.workDescription
              << reportTotalText(row.totalTime, texts.minutes);
        lines.push_back(cells);
    }
    return tableText(headings, lines).toUtf8();
}

QByteArray jsonRows(const std::vector<ReportRow>& rows, const ReportPageTexts& texts) {
    QJsonArray out;
    for (const ReportRow& row : rows) {
        QJsonObject json{
            {QStringLiteral("clientNumber"), row.clientNumber},
            {QStringLiteral("clientName"), row.clientName},
            {QStringLiteral("workCode"), row.workCode},
            {QStringLiteral("workDescription"), row.workDescription},
            {QStringLiteral("totalTime"), reportTotalText(row.totalTime, texts.minutes)},
            {QStringLiteral("minutes"), reportTotalText(row.totalTime, true).toLongLong()}};
        if (texts.daily)
            json.insert(QStringLiteral("date"), row.day.toString(Qt::ISODate));
        out.append(json);
    }
    QString text;
    QTextStream stream(&text);
    writeJson(stream, out);
    stream.flush();
    return text.toUtf8();
}

} // namespace

int runReport(CliContext& context) {
    const Format format = formatOf(context);
    auto [from, to] = defaultReportRange(context.now().date());
    if (context.isSet(QStringLiteral("from")))
        from = requireDate(context.value(QStringLiteral("from")), QStringLiteral("--from"));
    if (context.isSet(QStringLiteral("to")))
        to = requireDate(context.value(QStringLiteral("to")), QStringLiteral("--to"));

    ReportPageTexts texts;
    texts.company = context.settings().text(keys::Comp);
    texts.employee = context.employee();
    texts.clientLabel = context.clientLabel();
    texts.daily = context.isSet(QStringLiteral("daily"));
    texts.minutes = context.isSet(QStringLiteral("mins"));
    const std::vector<ReportRow> rows =
        context.store().reportRows(ReportCriteria{from, to, texts.daily, texts.employee});

    QByteArray bytes;
    switch (format) {
    case Format::Text:
        bytes = textTable(rows, texts);
        break;
    case Format::Html:
        bytes = reportPage(texts, rows);
        break;
    case Format::Csv:
        // As the window's export: no file for no records.
        if (rows.empty())
            throw refused(terminalText(kNoRecordsText));
        bytes = reportCsv(rows, texts.daily, texts.minutes, texts.clientLabel, texts.employee);
        break;
    case Format::Json:
        bytes = jsonRows(rows, texts);
        break;
    }

    if (!context.isSet(QStringLiteral("output"))) {
        context.out.flush();
        std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
        return kDone;
    }
    const QString path = context.value(QStringLiteral("output"));
    const QString failure = writeWholeFile(path, bytes);
    if (!failure.isEmpty())
        throw fileError(terminalText(kExportFailedText) + path + QLatin1Char('\n') + failure);
    return kDone;
}
