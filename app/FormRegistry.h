#pragma once

#include "Forms.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <array>
#include <optional>
#include <vector>

// Knows every window of the program: creates a window when it is first
// shown, forgets it as soon as it starts to close.
//
// Two rules keep windows from vanishing under the user:
// - a window is forgotten when its close logic starts, so a window that
//   logic shows (the same form again, start-up once more) is a fresh one,
//   never the one Qt is about to hide and delete;
// - while a window waits on one of its message boxes, closing it and showing
//   any window are held back and done, in order, once the box is answered.
class FormRegistry : public QObject, public Forms {
public:
    FormRegistry();
    ~FormRegistry() override;

    QWidget* show(Form form) override;
    QWidget* find(Form form) const override;
    QWidget* load(Form form) override;
    void unload(Form form) override;
    void trackTime() override;
    void runMain() override;
    void endProgram() override;

    // Destroys every loaded window without running its close logic.
    void destroyAll();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A show of `form`, or else a close of `window`, held back while a box
    // is open.
    struct HeldBack {
        std::optional<Form> form;
        QPointer<QWidget> window;
    };
    bool anyWindowWaiting() const;
    void runHeldBack();

    static constexpr int kForms = static_cast<int>(Form::About) + 1;
    std::array<QPointer<QWidget>, kForms> loaded_;
    std::vector<HeldBack> heldBack_;
};
