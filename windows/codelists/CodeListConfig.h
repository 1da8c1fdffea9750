#pragma once

#include "Store.h"

#include <QRect>
#include <QString>

// Everything in which the client list and the work-code list differ. One
// window implementation is built from either of these.
struct CodeListConfig {
    store::CodeTable table;
    QString objectName;      // "frmClient" / "frmWork"
    bool captionFromWording; // the client list names itself after the wording
    QString fixedCaption;    // used when captionFromWording is false
    QString frameCaption;
    QString descLabel;
    QString numberLabel;
    QString addTip;
    QString delTip;
    QString nameHeading;          // heading of the name column of a non-empty list
    bool emptyHeadingFromWording; // empty list: wording + " Name" instead
    QString numberHeading;
    QString deletePrefix; // "Delete " + name + " " + number + deleteSuffix
    QString deleteSuffix;
    QString numericMessage;
    // Geometry in twips (left, top, width, height); only these differ.
    QRect label3;
    QRect label1;
    QRect txtDesc;
    QRect txtNumber;
};

const CodeListConfig& clientListConfig();
const CodeListConfig& workListConfig();

inline const QString kNumericTitle = QStringLiteral("Numeric Validation");
inline const QString kDeleteTitle = QStringLiteral("Delete Notice");
inline const QString kCodeListHelpTopic = QStringLiteral("InformationInputs.htm");

// The window caption under the client word `clientLabel` ("Client" or "Project").
QString codeListCaption(const CodeListConfig& config, const QString& clientLabel);
// The heading of the name column.
QString nameColumnHeading(const CodeListConfig& config, const QString& clientLabel,
                          bool tableEmpty);
// The question asked before an entry is deleted.
QString deleteQuestion(const CodeListConfig& config, const QString& name, const QString& number);
