#include "SetupRules.h"

#include "Settings.h"

#include <QFileInfo>
#include <cmath>
#include <limits>

bool isNumericText(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value);
}

std::optional<qint16> captureFrequency(const QString& text) {
    const auto minutes = wholeNumberFromText(text, std::numeric_limits<qint16>::min(),
                                             std::numeric_limits<qint16>::max());
    if (!minutes)
        return std::nullopt;
    return static_cast<qint16>(*minutes);
}

std::optional<QDateTime> purgeCutoff(const QDateTime& now, const QString& days) {
    if (!isNumericText(days))
        return std::nullopt;
    const double count = days.trimmed().toDouble();
    // Stored dates are four-digit years: keep the cut-off inside them.
    const QDateTime first(QDate(1, 1, 1), QTime(0, 0));
    const QDateTime last(QDate(9999, 12, 31), QTime(23, 59, 59));
    constexpr double kSpanDays = 3'700'000.0; // more than the whole range
    if (count > kSpanDays)
        return first;
    if (count < -kSpanDays)
        return last;
    // Whole days move the calendar date and keep the wall-clock time of day.
    const double whole = std::trunc(count);
    const qint64 fractionMs = std::llround((count - whole) * 86'400'000.0);
    const QDateTime cutoff = now.addDays(-static_cast<qint64>(whole)).addMSecs(-fractionMs);
    if (!cutoff.isValid() || cutoff < first)
        return first;
    if (cutoff > last)
        return last;
    return cutoff;
}

QString withDatabaseExtension(const QString& path) {
    if (QFileInfo(path).suffix().isEmpty())
        return path + QStringLiteral(".HL1");
    return path;
}

Wording wordingFor(qint32 lLabel) {
    if (lLabel == 1)
        return {QStringLiteral("Client"), QStringLiteral("Number"),
                QStringLiteral("Client Information")};
    return {QStringLiteral("Project"), QStringLiteral("Number"),
            QStringLiteral("Project Information")};
}
