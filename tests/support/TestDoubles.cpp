#include "TestDoubles.h"

#include <algorithm>

MsgAnswer ScriptedPrompter::message(QWidget*, const QString& text, const QString& title,
                                    MsgIcon icon, MsgButtons buttons) {
    shown.push_back({text, title, icon, buttons});
    if (!answers.empty()) {
        const MsgAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
}

std::optional<QString> ScriptedPrompter::nextFile() {
    if (files.empty())
        return std::nullopt;
    const std::optional<QString> path = files.front();
    files.pop_front();
    return path;
}

std::optional<QString> ScriptedPrompter::openFileName(QWidget*, const FileRequest& request) {
    openRequests.push_back(request);
    return nextFile();
}

std::optional<QString> ScriptedPrompter::saveFileName(QWidget*, const FileRequest& request) {
    saveRequests.push_back(request);
    return nextFile();
}

const ScriptedPrompter::Shown& ScriptedPrompter::last() const {
    static const Shown none{};
    return shown.empty() ? none : shown.back();
}

QStringList ScriptedPrompter::texts() const {
    QStringList all;
    for (const Shown& s : shown)
        all << s.text;
    return all;
}

RecordingForms::~RecordingForms() {
    destroyAll();
}

void RecordingForms::destroyAll() {
    for (auto& [form, window] : loaded_)
        delete window.data();
    loaded_.clear();
}

QWidget* RecordingForms::show(Form form) {
    shownForms.push_back(form);
    QWidget* window = load(form);
    if (window)
        window->show();
    return window;
}

QWidget* RecordingForms::load(Form form) {
    QPointer<QWidget>& window = loaded_[form];
    if (!window) {
        auto factory = factories.find(form);
        if (factory == factories.end())
            return nullptr;
        window = factory->second();
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    return window;
}

QWidget* RecordingForms::find(Form form) const {
    auto it = loaded_.find(form);
    return it == loaded_.end() ? nullptr : it->second.data();
}

void RecordingForms::unload(Form form) {
    auto it = loaded_.find(form);
    if (it != loaded_.end() && it->second && it->second->close())
        loaded_.erase(it);
}

int RecordingForms::timesShown(Form form) const {
    return static_cast<int>(std::count(shownForms.begin(), shownForms.end(), form));
}
