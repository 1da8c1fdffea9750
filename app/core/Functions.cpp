#include "Functions.h"

#include <cmath>

namespace {

// Nearest whole number, an exact half going to the even neighbour.
long long roundHalfEven(double value) { return static_cast<long long>(std::nearbyint(value)); }

const QChar CR(13);

} // namespace

QString DurationText(double days, int mode) {
    long long minutes = roundHalfEven(days * 24 * 60);
    if (mode == 1)
        return QString::number(minutes);
    long long hours = roundHalfEven(days * 24);
    if (hours * 60 >= minutes)
        hours -= 1;
    minutes -= hours * 60;
    if (minutes == 60) {
        hours += 1;
        minutes = 0;
    }
    return QString::number(hours) + QStringLiteral("HRs ") + QString::number(minutes) +
           QStringLiteral("Mins");
}

long long minutesFromText(const QString& text) {
    // Like the old Val(): leading blanks skipped, then an optional sign and digits.
    const QString t = text.trimmed();
    qsizetype end = 0;
    if (end < t.size() && (t[end] == QLatin1Char('-') || t[end] == QLatin1Char('+')))
        ++end;
    const qsizetype digitsFrom = end;
    while (end < t.size() && t[end].isDigit() && end - digitsFrom < 18)
        ++end;
    if (end == digitsFrom)
        return 0;
    return t.left(end).toLongLong();
}

CheckResult CheckSelection(const SelectionState& selection, const QString& minutesText,
                           const QString& clientLabel) {
    CheckResult result;
    const QString both = QStringLiteral(" Both ") + clientLabel +
                         QStringLiteral(" and work information need to be selected to record "
                                        "activity.");
    if (!selection.client1)
        result.ok = false;
    if (!selection.client2) {
        result.ok = false;
        result.message = clientLabel + QStringLiteral(" information was not selected.") + CR + both;
    }
    if (!selection.work1)
        result.ok = false;
    if (!selection.work2) {
        result.ok = false;
        if (result.message.size() < 3)
            result.message = QStringLiteral("Work Information was not selected. ") + CR + both;
    }
    if (minutesFromText(minutesText) < 1) {
        result.ok = false;
        result.message =
            QStringLiteral("Activity was not recorded.  Time selected to record is at 0.");
    }
    return result;
}
