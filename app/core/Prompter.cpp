#include "Prompter.h"

#include "BoxWait.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {

QMessageBox::Icon toQt(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QString joinedPath(const FileRequest& request) {
    if (request.proposedName.isEmpty())
        return request.directory;
    if (request.directory.isEmpty())
        return request.proposedName;
    return request.directory + QLatin1Char('/') + request.proposedName;
}

} // namespace

QString qtFileFilter(const QString& filter) {
    const qsizetype bar = filter.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return filter;
    const QString pattern = filter.mid(bar + 1).trimmed();
    // Offer both spellings of the extension: Linux file names are case-sensitive.
    QString patterns = pattern;
    if (pattern.toLower() != pattern)
        patterns += QLatin1Char(' ') + pattern.toLower();
    return filter.left(bar).trimmed() + QStringLiteral(" (") + patterns + QLatin1Char(')');
}

MsgAnswer DialogPrompter::message(QWidget* owner, const QString& text, const QString& title,
                                  MsgIcon icon, MsgButtons buttons) {
    QMessageBox box(toQt(icon), title, QString(text).replace(QChar(13), QChar(10)),
                    QMessageBox::NoButton, owner);
    switch (buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    }
    const BoxWait wait(owner);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return MsgAnswer::Ok;
    case QMessageBox::Cancel:
        return MsgAnswer::Cancel;
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    default:
        // Closed without a button (the program ending under it): never an agreement.
        return buttons == MsgButtons::OkCancel ? MsgAnswer::Cancel
               : buttons == MsgButtons::YesNo  ? MsgAnswer::No
                                               : MsgAnswer::Ok;
    }
}

std::optional<QString> DialogPrompter::openFileName(QWidget* owner, const FileRequest& request) {
    const BoxWait wait(owner);
    const QString path = QFileDialog::getOpenFileName(owner, request.title, joinedPath(request),
                                                      qtFileFilter(request.filter));
    return path.isEmpty() ? std::nullopt : std::optional(path);
}

std::optional<QString> DialogPrompter::saveFileName(QWidget* owner, const FileRequest& request) {
    const BoxWait wait(owner);
    // Choosing an existing file is an answer in itself (the database button
    // then opens it, an export replaces it): no second question.
    const QString path = QFileDialog::getSaveFileName(owner, request.title, joinedPath(request),
                                                      qtFileFilter(request.filter), nullptr,
                                                      QFileDialog::DontConfirmOverwrite);
    return path.isEmpty() ? std::nullopt : std::optional(path);
}
