#pragma once

#include "HelpOpener.h"

// Shows help topics in the program's own help window.
class HelpViewer : public HelpOpener {
public:
    void open(QWidget* owner, const QString& topicPage) override;
};
