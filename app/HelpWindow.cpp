#include "HelpWindow.h"

#include "ProgramIcon.h"

#include <QDesktopServices>
#include <QVBoxLayout>

HelpBrowser::HelpBrowser(QWidget* parent)
    : QTextBrowser(parent) {
    // Links are followed here so that pages come from the help file and
    // nothing is handed to an outside program by accident.
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &HelpBrowser::follow);
}

void HelpBrowser::setHelpFile(ChmFile file) {
    file_ = std::move(file);
}

void HelpBrowser::follow(const QUrl& link) {
    const QUrl target = source().resolved(link);
    if (target.scheme() == kHelpScheme)
        setSource(target);
    else if (target.scheme() == QLatin1String("http") || target.scheme() == QLatin1String("https"))
        QDesktopServices::openUrl(target);
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
    const QUrl url = source().resolved(name);
    if (url.scheme() != kHelpScheme || !file_)
        return QTextBrowser::loadResource(type, name);
    if (std::optional<QByteArray> bytes = file_->read(url.path()))
        return *bytes;
    return {};
}

HelpWindow::HelpWindow(QWidget* owner)
    : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Hourloom Help"));
    setWindowIcon(programIcon());
    setAttribute(Qt::WA_DeleteOnClose);
    wbHelp_ = new HelpBrowser(this);
    wbHelp_->setObjectName(QStringLiteral("wbHelp"));
    wbHelp_->setAccessibleName(QStringLiteral("Hourloom Help"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(wbHelp_);
    resize(640, 520);
}

void HelpWindow::showTopic(ChmFile file, const QString& innerPath) {
    wbHelp_->setHelpFile(std::move(file));
    QUrl url;
    url.setScheme(kHelpScheme);
    url.setPath(innerPath);
    wbHelp_->setSource(url, QTextDocument::HtmlResource);
}
