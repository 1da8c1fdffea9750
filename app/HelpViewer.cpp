#include "HelpViewer.h"

#include "DataFiles.h"
#include "HelpWindow.h"
#include "Services.h"

QString helpFileUnreadableText(const QString& path) {
    const QChar CR(13);
    return QStringLiteral("The help file could not be opened:") + CR + path + CR +
           QStringLiteral("It is missing or damaged. Installing Hourloom again restores it.");
}

QString helpTopicMissingText(const QString& topicPage, const QString& path) {
    const QChar CR(13);
    return QStringLiteral("The help topic ") + topicPage +
           QStringLiteral(" is not in the help file:") + CR + path;
}

HelpViewer::~HelpViewer() {
    delete window_.data();
}

HelpWindow* HelpViewer::window() const {
    return window_;
}

void HelpViewer::open(QWidget* owner, const QString& topicPage) {
    // The address names the file and the page inside it.
    const QString address = helpTopicAddress(topicPage);
    const qsizetype split = address.indexOf(QStringLiteral("::"));
    const QString path = installedDataFile(address.left(split));
    const QString innerPath = address.mid(split + 2);

    std::optional<ChmFile> file = ChmFile::open(path);
    if (!file) {
        prompter().message(owner, helpFileUnreadableText(path), kAppTitle, MsgIcon::Exclamation,
                           MsgButtons::Ok);
        return;
    }
    const std::optional<QByteArray> page = file->read(innerPath);
    if (!page || page->isEmpty()) {
        prompter().message(owner, helpTopicMissingText(topicPage, path), kAppTitle,
                           MsgIcon::Exclamation, MsgButtons::Ok);
        return;
    }

    // The window belongs to the window that asked, so it stays above it
    // (the Time Control window keeps itself on top) and goes with it.
    if (window_ && window_->parentWidget() != owner)
        delete window_.data();
    if (!window_)
        window_ = new HelpWindow(owner);
    window_->showTopic(std::move(*file), innerPath);
    window_->show();
    window_->raise();
    window_->activateWindow();
}
