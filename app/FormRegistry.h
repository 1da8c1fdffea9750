#pragma once

#include "Forms.h"

#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>

// Knows every window of the program: creates a window when it is first
// shown, forgets it when it is destroyed on close.
class FormRegistry : public Forms {
public:
    FormRegistry();
    ~FormRegistry() override;

    QWidget* show(Form form) override;
    QWidget* find(Form form) const override;
    void unload(Form form) override;
    void trackTime() override;
    void runMain() override;
    void endProgram() override;

    // Loads the window without showing it (or gives the loaded one).
    QWidget* load(Form form);
    // Destroys every loaded window without running its close logic.
    void destroyAll();

private:
    static constexpr int kForms = static_cast<int>(Form::About) + 1;
    std::array<QPointer<QWidget>, kForms> loaded_;
};
