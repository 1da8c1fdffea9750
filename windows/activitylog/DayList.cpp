#include "DayList.h"

#include "DateText.h"

#include <QLocale>
#include <cmath>

const std::array<QString, kDayListColumns>& dayListHeaders() {
    static const std::array<QString, kDayListColumns> headers{QStringLiteral("Client"),
                                                              QStringLiteral("Client #"),
                                                              QStringLiteral("Work"),
                                                              QStringLiteral("Work #"),
                                                              QStringLiteral("Begin Date/Time"),
                                                              QStringLiteral("End Date/Time")};
    return headers;
}

std::array<int, kDayListColumns> dayListColumnWidths(int gridTwips) {
    const double sixth = gridTwips / 6.0;
    const std::array<double, kDayListColumns> widths{sixth - 200, sixth - 500, sixth,
                                                     sixth - 350, sixth + 460, sixth + 460};
    std::array<int, kDayListColumns> rounded{};
    for (int i = 0; i < kDayListColumns; ++i)
        rounded[i] = static_cast<int>(std::nearbyint(widths[i]));
    return rounded;
}

int dayListFontSize(int column) {
    return column < 2 ? 7 : 8;
}

std::array<QString, kDayListColumns> dayListCells(const store::ActivityRecord& record) {
    return {record.clientName,
            QString::number(record.clientNumber),
            record.workDescription,
            QString::number(record.workCode),
            gridDateTimeText(record.beginTime),
            gridDateTimeText(record.endTime)};
}

QString gridDateTimeText(const QDateTime& moment) {
    return usDateTimeText(moment);
}

std::optional<QDateTime> dateTimeFromGridText(const QString& text) {
    static const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QDateTime moment = us.toDateTime(text.trimmed(), QStringLiteral("M/d/yyyy h:mm:ss AP"));
    if (!moment.isValid())
        return std::nullopt;
    return moment;
}
