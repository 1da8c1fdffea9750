#include "FormRegistry.h"

#include "ActivityLogForms.h"
#include "CodeListForms.h"
#include "Main.h"
#include "ReportForms.h"
#include "SetupForms.h"
#include "Shell.h"
#include "TimeControlForms.h"
#include "frmAbout.h"

#include <QApplication>

namespace {

QWidget* create(Form form) {
    switch (form) {
    case Form::Control:
        return createFrmControl();
    case Form::Clock:
        return createFrmClock();
    case Form::Setup:
        return createFrmSetup();
    case Form::Report:
        return createFrmReportCriteria();
    case Form::Client:
        return createFrmClient();
    case Form::Work:
        return createFrmWork();
    case Form::About:
        return new frmAbout;
    }
    return nullptr;
}

} // namespace

FormRegistry::FormRegistry() = default;

FormRegistry::~FormRegistry() {
    destroyAll();
}

QWidget* FormRegistry::load(Form form) {
    QPointer<QWidget>& slot = loaded_[static_cast<int>(form)];
    if (!slot) {
        slot = create(form);
        // Closing a window unloads it: the next show loads it afresh.
        slot->setAttribute(Qt::WA_DeleteOnClose);
    }
    return slot;
}

QWidget* FormRegistry::show(Form form) {
    QWidget* window = load(form);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

QWidget* FormRegistry::find(Form form) const {
    return loaded_[static_cast<int>(form)];
}

void FormRegistry::unload(Form form) {
    QPointer<QWidget>& slot = loaded_[static_cast<int>(form)];
    // A closed window is deleted only when control returns to the event loop;
    // forget it at once so that showing the form again loads a fresh one.
    if (slot && slot->close())
        slot = nullptr;
}

void FormRegistry::trackTime() {
    shell().trackTime();
}

void FormRegistry::runMain() {
    Main();
}

void FormRegistry::endProgram() {
    QApplication::exit(0);
}

void FormRegistry::destroyAll() {
    for (QPointer<QWidget>& slot : loaded_)
        delete slot.data();
}
