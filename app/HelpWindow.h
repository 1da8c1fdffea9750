#pragma once

#include "ChmFile.h"

#include <QTextBrowser>
#include <QWidget>

// Shows the pages of one compiled help file; links between pages, style
// sheets and pictures are read from the same file.
class HelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit HelpBrowser(QWidget* parent = nullptr);
    void setHelpFile(ChmFile file);
    QVariant loadResource(int type, const QUrl& name) override;

private:
    void follow(const QUrl& link);
    std::optional<ChmFile> file_;
};

// The program's help window.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* owner);
    // Shows `innerPath` ("/TimeControl.htm") of `file`.
    void showTopic(ChmFile file, const QString& innerPath);
    HelpBrowser* browser() const { return wbHelp_; }

private:
    HelpBrowser* wbHelp_;
};

// The address scheme of pages inside the help file.
inline const QString kHelpScheme = QStringLiteral("chm");
