#pragma once

#include <QString>

class Settings;
class QWidget;
struct AppState;

// The saved layout and wording both recording windows show: list headings,
// frame caption, which second lists are shown and how wide the first lists
// are, the list field choices, the begin-of-work time and the capture
// frequency. Read from the settings section "frmControl" (and the employee
// name from "frmReportCriteria").
struct SavedLayout {
    QString clientLabel; // the client word used in messages
    QString employee;
    QString lblClient1;
    QString lblClient2;
    QString lblWork1;
    QString lblWork2;
    QString frame2;
    bool work2Visible = true;
    int work1Width = 1800; // twips
    bool client2Visible = true;
    int client1Width = 2055; // twips
    QString strClient1;
    QString strClient2;
    QString strWork1;
    QString strWork2;
    QString strBeginWork;
    qint16 intMinTimer = 15;
};

// Reads every value in the order the windows apply them. A value that cannot
// be read as what it should be gives its default; a field choice that names
// anything but a field of its own table gives its default too, so no setting
// text ever becomes part of a query.
SavedLayout readSavedLayout(const Settings& settings);

// Copies the shared values into the application state: the client word, the
// employee, the four field choices, the begin-of-work time and the capture
// frequency.
void applySavedLayout(const SavedLayout& layout, AppState& state);

// The first-list widths (twips) the Activity Log uses: its own two sizes,
// chosen by whether the stored width is the Time Control window's default.
int activityLogClient1Width(int storedClient1Width);
int activityLogWork1Width(int storedWork1Width);

// A window that shows the saved layout implements this, so another window can
// bring it up to date without knowing its code.
class SavedLayoutTarget {
public:
    virtual ~SavedLayoutTarget() = default;
    virtual void applyLayout(const SavedLayout& layout) = 0;
};

// Applies `layout` to `window` when it is a loaded window showing the saved layout.
void applyLayoutIfTarget(QWidget* window, const SavedLayout& layout);
