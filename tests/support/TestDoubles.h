#pragma once

#include "Clock.h"
#include "Forms.h"
#include "HelpOpener.h"
#include "Prompter.h"

#include <QPointer>
#include <QWidget>
#include <deque>
#include <functional>
#include <map>
#include <vector>

// A prompter that answers from a script and remembers what it was asked.
class ScriptedPrompter : public Prompter {
public:
    struct Shown {
        QString text;
        QString title;
        MsgIcon icon;
        MsgButtons buttons;
    };
    std::vector<Shown> shown;
    // Answers given in order; when empty, OK (or Yes for a Yes/No question).
    std::deque<MsgAnswer> answers;
    // Paths chosen in file dialogs in order; nullopt = the user cancelled.
    // When empty, the dialog is cancelled.
    std::deque<std::optional<QString>> files;
    std::vector<FileRequest> openRequests;
    std::vector<FileRequest> saveRequests;

    MsgAnswer message(QWidget* owner, const QString& text, const QString& title, MsgIcon icon,
                      MsgButtons buttons) override;
    std::optional<QString> openFileName(QWidget* owner, const FileRequest& request) override;
    std::optional<QString> saveFileName(QWidget* owner, const FileRequest& request) override;

    const Shown& last() const;
    QStringList texts() const;

private:
    std::optional<QString> nextFile();
};

// Opens no help window.
struct NoHelp : HelpOpener {
    void open(QWidget*, const QString&) override {}
};

// A window registry for tests: records requests; windows are made by the
// factories a test registers (a form without one is only recorded).
class RecordingForms : public Forms {
public:
    std::map<Form, std::function<QWidget*()>> factories;
    std::vector<Form> shownForms;
    int endProgramCalls = 0;

    ~RecordingForms() override;
    QWidget* show(Form form) override;
    QWidget* find(Form form) const override;
    QWidget* load(Form form) override;
    void unload(Form form) override;
    void trackTime() override {}
    void runMain() override {}
    void endProgram() override { ++endProgramCalls; }

    int timesShown(Form form) const;
    // Deletes every loaded window without running its close logic.
    void destroyAll();

private:
    std::map<Form, QPointer<QWidget>> loaded_;
};
