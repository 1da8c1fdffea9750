#include "CliOutput.h"

#include "DayList.h"
#include "Functions.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>
#include <cmath>

QString terminalText(const QString& message) {
    return QString(message).replace(QChar(13), QChar(10));
}

QString tableText(const QStringList& headings, const std::vector<QStringList>& rows) {
    std::vector<qsizetype> widths(headings.size());
    const auto measure = [&](const QStringList& row) {
        for (qsizetype i = 0; i < row.size() && i < qsizetype(widths.size()); ++i)
            widths[i] = std::max(widths[i], row[i].size());
    };
    measure(headings);
    for (const QStringList& row : rows)
        measure(row);
    QString text;
    const auto line = [&](const QStringList& row) {
        QString out;
        for (qsizetype i = 0; i < row.size(); ++i)
            out += i + 1 < row.size() ? row[i].leftJustified(widths[i] + 2) : row[i];
        text += out + QLatin1Char('\n');
    };
    line(headings);
    for (const QStringList& row : rows)
        line(row);
    return text;
}

QString isoText(const QDateTime& moment) {
    return moment.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

QJsonObject recordJson(const store::ActivityRecord& record) {
    QJsonObject json{{QStringLiteral("date"), isoText(record.date)},
                     {QStringLiteral("beginTime"), isoText(record.beginTime)},
                     {QStringLiteral("endTime"), isoText(record.endTime)},
                     {QStringLiteral("clientNumber"), record.clientNumber},
                     {QStringLiteral("clientName"), record.clientName},
                     {QStringLiteral("workCode"), record.workCode},
                     {QStringLiteral("workDescription"), record.workDescription},
                     {QStringLiteral("employee"), record.employee},
                     {QStringLiteral("minutes"), DurationText(record.days(), 1).toLongLong()}};
    if (record.id != 0)
        json.insert(QStringLiteral("id"), record.id);
    return json;
}

QString recordLine(const store::ActivityRecord& record) {
    const auto cells = dayListCells(record);
    return QStringList(cells.begin(), cells.end()).join(QStringLiteral("  ")) +
           QStringLiteral("  ") + DurationText(record.days(), 0);
}

void writeJson(QTextStream& out, const QJsonValue& value) {
    const QJsonDocument document =
        value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
    out << QString::fromUtf8(document.toJson(QJsonDocument::Indented));
}
