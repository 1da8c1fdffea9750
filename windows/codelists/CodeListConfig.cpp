#include "CodeListConfig.h"

const CodeListConfig& clientListConfig() {
    static const CodeListConfig config{
        .table = store::CodeTable::Client,
        .objectName = QStringLiteral("frmClient"),
        .captionFromWording = true,
        .fixedCaption = QStringLiteral("Add Client"),
        .frameCaption = QStringLiteral("Add New Client"),
        .descLabel = QStringLiteral("Client Name"),
        .numberLabel = QStringLiteral("Client Number"),
        .addTip = QStringLiteral("Add Client"),
        .delTip = QStringLiteral("Delete Client"),
        .nameHeading = QStringLiteral("Client Name"),
        .emptyHeadingFromWording = true,
        .numberHeading = QStringLiteral("Number"),
        .deletePrefix = QStringLiteral("Delete "),
        .deleteSuffix = QStringLiteral(" from client list?"),
        .numericMessage = QStringLiteral("Client Number must be numeric."),
        // The labels are wider and the boxes start 120 twips further right
        // than designed, so "Client Number" shows whole at the default font.
        .label3 = QRect(120, 240, 1200, 375),
        .label1 = QRect(120, 600, 1320, 255),
        .txtDesc = QRect(1440, 240, 2415, 285),
        .txtNumber = QRect(1440, 600, 2415, 285),
    };
    return config;
}

const CodeListConfig& workListConfig() {
    static const CodeListConfig config{
        .table = store::CodeTable::Work,
        .objectName = QStringLiteral("frmWork"),
        .captionFromWording = false,
        .fixedCaption = QStringLiteral("Work Codes"),
        .frameCaption = QStringLiteral("Add New Work Code"),
        .descLabel = QStringLiteral("Work Description"),
        .numberLabel = QStringLiteral("Work Code"),
        .addTip = QStringLiteral("Add New Work Code"),
        .delTip = QStringLiteral("Delete Work Code"),
        .nameHeading = QStringLiteral("Description"),
        .emptyHeadingFromWording = false,
        .numberHeading = QStringLiteral("Code"),
        .deletePrefix = QStringLiteral("Delete "),
        .deleteSuffix = QStringLiteral(" from work codes?"),
        .numericMessage = QStringLiteral("Work code must be numeric."),
        // "Work Description" needs its label 105 twips wider and the boxes
        // 240 twips further right than designed at the default font.
        .label3 = QRect(120, 240, 1560, 375),
        .label1 = QRect(120, 600, 1215, 255),
        .txtDesc = QRect(1680, 240, 2175, 285),
        .txtNumber = QRect(1680, 600, 2175, 285),
    };
    return config;
}

QString codeListCaption(const CodeListConfig& config, const QString& clientLabel) {
    if (!config.captionFromWording)
        return config.fixedCaption;
    return QStringLiteral("Add ") + clientLabel + QStringLiteral(" Identification");
}

QString nameColumnHeading(const CodeListConfig& config, const QString& clientLabel,
                          bool tableEmpty) {
    if (tableEmpty && config.emptyHeadingFromWording)
        return clientLabel + QStringLiteral(" Name");
    return config.nameHeading;
}

QString deleteQuestion(const CodeListConfig& config, const QString& name, const QString& number) {
    // Joined, not formatted: a name holding "%1" must come out as typed.
    return config.deletePrefix + name + QLatin1Char(' ') + number + config.deleteSuffix;
}
