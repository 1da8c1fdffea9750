#pragma once

#include <QString>

// A span in days shown as text: mode 1 gives whole minutes ("90"), any other
// mode hours and minutes ("1HRs 30Mins"). Halves round to the even neighbour.
QString DurationText(double days, int mode);

// Which of a recording window's four lists have a selected row.
struct SelectionState {
    bool client1 = false;
    bool client2 = false;
    bool work1 = false;
    bool work2 = false;
};

struct CheckResult {
    bool ok = true;
    QString message; // shown under kCheckTitle when !ok
};

inline const QString kCheckTitle = QStringLiteral("Activity NOT Recorded");

// The recording check both recording windows run before a record is written
// (CheckControlSelection and CheckClockSelection are this one procedure over
// each window's controls). `minutesText` is the minutes box's text and
// `clientLabel` the client word ("Client" or "Project").
CheckResult CheckSelection(const SelectionState& selection, const QString& minutesText,
                           const QString& clientLabel);

// The whole number a minutes text reads as, the way the check reads it: the
// leading number of the text, 0 when there is none.
long long minutesFromText(const QString& text);
