#pragma once

#include "Records.h"

#include <QString>
#include <array>
#include <optional>

// What the five status-bar panels show for the latest recent record (or for
// none), and whether the last panel is centred.
struct StatusTexts {
    std::array<QString, 5> panels;
    bool lastCentred = false;
};

StatusTexts statusTextsFor(const std::optional<store::ActivityRecord>& latest);

// The panels' design labels, kept as their tooltips.
inline const std::array<QString, 5> kStatusPanelLabels{
    QStringLiteral("Last Client"), QStringLiteral("Client Number"),
    QStringLiteral("Work Description"), QStringLiteral("Work Code"),
    QStringLiteral("Time Allocated")};
