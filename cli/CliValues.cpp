#include "CliValues.h"

#include "CliError.h"

#include <QRegularExpression>

std::optional<QDate> dateFromArgument(const QString& text) {
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})$"));
    static const QRegularExpression us(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})$"));
    QDate date;
    if (const auto m = iso.match(text.trimmed()); m.hasMatch())
        date = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    else if (const auto m = us.match(text.trimmed()); m.hasMatch())
        date = QDate(m.captured(3).toInt(), m.captured(1).toInt(), m.captured(2).toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<QTime> timeFromArgument(const QString& text) {
    static const QRegularExpression clock24(QStringLiteral("^(\\d{1,2}):(\\d{2})$"));
    static const QRegularExpression clock12(
        QStringLiteral("^(\\d{1,2}):(\\d{2}) ?([ap])\\.? ?m\\.?$"),
        QRegularExpression::CaseInsensitiveOption);
    const QString t = text.trimmed();
    if (const auto m = clock24.match(t); m.hasMatch()) {
        const QTime time(m.captured(1).toInt(), m.captured(2).toInt());
        return time.isValid() ? std::optional(time) : std::nullopt;
    }
    if (const auto m = clock12.match(t); m.hasMatch()) {
        const int hour = m.captured(1).toInt();
        const int minute = m.captured(2).toInt();
        if (hour < 1 || hour > 12 || minute > 59)
            return std::nullopt;
        const bool pm = m.captured(3).compare(QLatin1String("p"), Qt::CaseInsensitive) == 0;
        return QTime(hour % 12 + (pm ? 12 : 0), minute);
    }
    return std::nullopt;
}

std::optional<QDateTime> momentFromArgument(const QString& text, const QDate& today) {
    if (const auto time = timeFromArgument(text))
        return QDateTime(today, *time);
    const QString t = text.trimmed();
    const qsizetype space = t.indexOf(QLatin1Char(' '));
    if (space < 0)
        return std::nullopt;
    const auto date = dateFromArgument(t.left(space));
    const auto time = timeFromArgument(t.mid(space + 1));
    if (!date || !time)
        return std::nullopt;
    return QDateTime(*date, *time);
}

QDate requireDate(const QString& text, const QString& what) {
    if (const auto date = dateFromArgument(text))
        return *date;
    throw usage(QStringLiteral("%1 \"%2\" is not a date: write it as YYYY-MM-DD or M/D/YYYY.")
                    .arg(what, text));
}

QDateTime requireMoment(const QString& text, const QString& what, const QDate& today) {
    if (const auto moment = momentFromArgument(text, today))
        return *moment;
    throw usage(QStringLiteral("%1 \"%2\" is not a time: write it as HH:MM or h:mm AM/PM, "
                               "optionally after a date (YYYY-MM-DD or M/D/YYYY).")
                    .arg(what, text));
}
