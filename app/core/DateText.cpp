#include "DateText.h"

#include <QLocale>

namespace {

const QLocale& us() {
    static const QLocale locale(QLocale::English, QLocale::UnitedStates);
    return locale;
}

} // namespace

QString usDateText(const QDate& date) { return us().toString(date, QStringLiteral("M/d/yyyy")); }

QString usTimeText(const QTime& time) { return us().toString(time, QStringLiteral("h:mm:ss AP")); }

QString usDateTimeText(const QDateTime& moment) {
    return usDateText(moment.date()) + QLatin1Char(' ') + usTimeText(moment.time());
}

QTime timeFromText(const QString& text) {
    const QString t = text.trimmed().toUpper();
    static const QStringList formats = {
        QStringLiteral("h:mm:ss AP"), QStringLiteral("h:mm AP"), QStringLiteral("h AP"),
        QStringLiteral("h:mm:ssAP"),  QStringLiteral("h:mmAP"),  QStringLiteral("hAP"),
        QStringLiteral("H:mm:ss"),    QStringLiteral("H:mm"),
    };
    for (const QString& format : formats) {
        const QTime time = us().toTime(t, format);
        if (time.isValid())
            return time;
    }
    return {};
}

QDateTime startOfDay(const QDateTime& moment) { return QDateTime(moment.date(), QTime(0, 0)); }

QDateTime combine(const QDate& day, const QTime& time) {
    const QTime whole(time.hour(), time.minute(), time.second());
    return QDateTime(day, whole);
}
