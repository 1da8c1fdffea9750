#include "FormRegistry.h"

#include "ActivityLogForms.h"
#include "BoxWait.h"
#include "CodeListForms.h"
#include "Main.h"
#include "ReportForms.h"
#include "SetupForms.h"
#include "Shell.h"
#include "TimeControlForms.h"
#include "frmAbout.h"

#include <QApplication>
#include <algorithm>

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

FormRegistry::FormRegistry() {
    // The handler that opened the box finishes first: only then is it safe
    // to close its window.
    BoxWait::setAnsweredHook([this] {
        QMetaObject::invokeMethod(this, &FormRegistry::runHeldBack, Qt::QueuedConnection);
    });
}

FormRegistry::~FormRegistry() {
    BoxWait::setAnsweredHook({});
    destroyAll();
}

QWidget* FormRegistry::load(Form form) {
    QPointer<QWidget>& slot = loaded_[static_cast<int>(form)];
    if (!slot) {
        slot = create(form);
        // Closing a window unloads it: the next show loads it afresh.
        slot->setAttribute(Qt::WA_DeleteOnClose);
        slot->installEventFilter(this);
    }
    return slot;
}

QWidget* FormRegistry::show(Form form) {
    // A window coming up while another waits on its box would be half a
    // switch of windows: the other half (its close) waits too.
    if (anyWindowWaiting()) {
        heldBack_.push_back({form, nullptr});
        return nullptr;
    }
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
    if (QWidget* window = loaded_[static_cast<int>(form)])
        window->close();
}

bool FormRegistry::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Close)
        return false;
    auto* window = static_cast<QWidget*>(watched); // only loaded windows are watched
    if (BoxWait::waiting(window)) {
        event->ignore();
        heldBack_.push_back({std::nullopt, window});
        return true;
    }
    const auto slot = std::find(loaded_.begin(), loaded_.end(), window);
    if (slot == loaded_.end())
        return false;
    // Forgotten before its close logic runs: a window that logic shows (the
    // reminder bringing Time Control straight back, start-up run once more)
    // is then a fresh one, never this one, which Qt hides and deletes next.
    *slot = nullptr;
    // Delivered here so that the outcome is known: a close the window's own
    // logic refused keeps it loaded.
    const QPointer<QWidget> alive(window);
    watched->event(event);
    if (alive && !event->isAccepted() && !*slot)
        *slot = window;
    return true;
}

bool FormRegistry::anyWindowWaiting() const {
    return std::any_of(loaded_.begin(), loaded_.end(),
                       [](const QPointer<QWidget>& window) { return BoxWait::waiting(window); });
}

void FormRegistry::runHeldBack() {
    if (heldBack_.empty() || anyWindowWaiting())
        return;
    std::vector<HeldBack> due;
    due.swap(heldBack_);
    for (const HeldBack& request : due) {
        if (request.form)
            show(*request.form);
        else if (request.window) // not destroyed meanwhile
            request.window->close();
    }
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
