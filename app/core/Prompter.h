#pragma once

#include <QString>
#include <optional>

class QWidget;

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgButtons { Ok, OkCancel, YesNo };
enum class MsgAnswer { Ok, Cancel, Yes, No };

// The title of message boxes that carry the program's name.
inline const QString kAppTitle = QStringLiteral("Hourloom");

// One file dialog: `filter` is in the "Label|*.EXT" form the program's texts use.
struct FileRequest {
    QString title;
    QString directory;
    QString proposedName;
    QString filter;
};

// Message boxes and file dialogs. Texts keep their CR (character 13) line
// separators; only the real dialog turns them into line breaks.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual MsgAnswer message(QWidget* owner, const QString& text, const QString& title,
                              MsgIcon icon, MsgButtons buttons) = 0;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> openFileName(QWidget* owner, const FileRequest& request) = 0;
    virtual std::optional<QString> saveFileName(QWidget* owner, const FileRequest& request) = 0;
};

// The real dialogs.
class DialogPrompter : public Prompter {
public:
    MsgAnswer message(QWidget* owner, const QString& text, const QString& title, MsgIcon icon,
                      MsgButtons buttons) override;
    std::optional<QString> openFileName(QWidget* owner, const FileRequest& request) override;
    std::optional<QString> saveFileName(QWidget* owner, const FileRequest& request) override;
};

// "Label|*.EXT" -> "Label (*.EXT)" as Qt's file dialogs want it.
QString qtFileFilter(const QString& filter);
