#pragma once

#include "HelpOpener.h"

#include <QPointer>

class HelpWindow;

// Shows help topics in the program's own help window, read from the
// compiled help file installed with the program. A missing or damaged file,
// or a topic the file does not hold, is told to the user.
class HelpViewer : public HelpOpener {
public:
    ~HelpViewer() override;
    void open(QWidget* owner, const QString& topicPage) override;

    // The help window on screen, if any.
    HelpWindow* window() const;

private:
    QPointer<HelpWindow> window_;
};

QString helpFileUnreadableText(const QString& path);
QString helpTopicMissingText(const QString& topicPage, const QString& path);
