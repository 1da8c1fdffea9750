#include "TrackTime.h"

#include "Services.h"

#include <QTimer>
#include <QWidget>

namespace {

bool hasRecordedUpToNow() {
    AppState& state = appState();
    return state.db().hasRecordEndingAtOrAfter(state.gEmployee, appClock().now());
}

void bringUpTimeControl() {
    if (QWidget* window = forms().show(Form::Control)) {
        window->raise();
        window->activateWindow();
        window->setFocus(Qt::OtherFocusReason);
    }
}

} // namespace

void TrackTime(QTimer& minuteTimer) {
    minuteTimer.stop();
    AppState& state = appState();
    if (state.gMinuteCount == state.intMinTimer) {
        state.gMinuteCount = 0;
        bool recorded = true;
        try {
            recorded = hasRecordedUpToNow();
        } catch (const store::DbError& error) {
            prompter().message(
                nullptr, QStringLiteral("The check for recorded time failed: ") + error.message(),
                kAppTitle, MsgIcon::Critical, MsgButtons::Ok);
        }
        if (!recorded) {
            // The timer stays stopped: closing the window starts the cycle again.
            bringUpTimeControl();
            return;
        }
    }
    ++state.gMinuteCount;
    minuteTimer.setInterval(kMinuteTimerInterval);
    minuteTimer.start();
}
