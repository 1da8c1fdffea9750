#pragma once

#include <QString>

class QWidget;

// Opens one topic page of the help file ("TimeControl.htm") for a window.
class HelpOpener {
public:
    virtual ~HelpOpener() = default;
    virtual void open(QWidget* owner, const QString& topicPage) = 0;
};

// The help file's name and the address form of a topic inside it.
inline const QString kHelpFileName = QStringLiteral("Hourloom1.chm");
inline QString helpTopicAddress(const QString& topicPage) {
    return kHelpFileName + QStringLiteral("::/") + topicPage;
}
