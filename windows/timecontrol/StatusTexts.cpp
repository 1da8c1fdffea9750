#include "StatusTexts.h"

#include "Functions.h"

StatusTexts statusTextsFor(const std::optional<store::ActivityRecord>& latest) {
    StatusTexts texts;
    if (!latest) {
        texts.panels = {QStringLiteral("Brightmere LLC Product. "), QStringLiteral("Hourloom "),
                        QStringLiteral("  "), QStringLiteral("  "), QStringLiteral("About Time")};
        texts.lastCentred = true;
        return texts;
    }
    const QChar blank(u' ');
    texts.panels = {latest->clientName + blank, QString::number(latest->clientNumber) + blank,
                    latest->workDescription + blank, QString::number(latest->workCode) + blank,
                    DurationText(latest->days(), 0)};
    return texts;
}
