#include "CodeListRules.h"

#include <algorithm>
#include <cmath>
#include <limits>

std::optional<qint32> parseCodeNumber(const QString& text) {
    if (text.isEmpty())
        return std::nullopt;
    qint64 value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
        if (value > std::numeric_limits<qint32>::max())
            return std::nullopt;
    }
    return static_cast<qint32>(value);
}

bool numberBoxAcceptable(const QString& text) {
    return text.isEmpty() || parseCodeNumber(text).has_value();
}

QString proposedNumber(std::optional<qint32> highest) {
    if (!highest)
        return QStringLiteral("1");
    if (*highest == std::numeric_limits<qint32>::max())
        return QString();
    return QString::number(*highest + 1);
}

std::array<int, 3> gridColumnWidths(int gridWidth) {
    const double half = (gridWidth - 400) / 2.0;
    // nearbyint rounds halves to even under the default rounding mode.
    return {400, static_cast<int>(std::nearbyint(half - 100)),
            static_cast<int>(std::nearbyint(half - 800))};
}

namespace {

std::optional<double> numericValue(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

bool genericLess(const QString& a, const QString& b) {
    const auto x = numericValue(a);
    const auto y = numericValue(b);
    if (x && y)
        return *x < *y;
    if (x || y)
        return x.has_value();
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

void sortRowsGeneric(std::vector<QStringList>& rows, int key) {
    std::stable_sort(rows.begin(), rows.end(), [key](const QStringList& a, const QStringList& b) {
        return genericLess(a.value(key), b.value(key));
    });
}
