#pragma once

class QTimer;

// The capture reminder's step. Called by the resident window's minute timer
// and, with gMinuteCount just set to 0, when the Time Control or Activity Log
// window closes.
//
// Every intMinTimer minutes it checks whether the employee has a record
// ending at or after now; if not, it brings up the Time Control window and
// leaves `minuteTimer` stopped until the next close of a recording window.
// Otherwise it counts the minute and (re)starts `minuteTimer` at one minute.
//
// A database error is shown to the user and the counting goes on, so the
// check runs again later instead of the reminder dying silently.
void TrackTime(QTimer& minuteTimer);

// The minute timer's interval.
constexpr int kMinuteTimerInterval = 60000;
