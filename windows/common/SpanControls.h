#pragma once

#include "SpanMath.h"

#include <QObject>

#include <array>

class QDateEdit;
class QLabel;
class QLineEdit;
class QTimeEdit;
class QTimer;
class QWidget;

// Where a window puts its span, in twips: three rows (begin, end, total),
// each a heading, then a time picker (the total), then a date picker (the
// minutes box), all 315 high.
struct SpanColumns {
    std::array<int, 3> rowTops;
    int headingLeft;
    int headingWidth;
    int timeLeft;
    int timeWidth;
    int dateLeft;
    int dateWidth;
    int minutesWidth;
};

// The span of a recording window: begin and end pickers (date and time of
// day), the total as duration text, the minutes box, the three row headings
// whose clicks show or hide the date pickers and the minutes box, and the
// 100 ms timer that moves the end with the clock.
//
// The change handlers run only on the user's changes: every assignment the
// program makes to a picker goes through the set...() functions, which keep
// the pickers' change signals from reaching the handlers. The minutes box is
// different: every change of its text runs the minutes entry.
class SpanControls : public QObject {
    Q_OBJECT
public:
    // Creates the controls as children of `parent`; the window places them.
    explicit SpanControls(QWidget* parent);

    QLabel* Label2; // "Begin"
    QLabel* Label3; // "End"
    QLabel* Label4; // "Total"
    QTimeEdit* dtBeginTime;
    QDateEdit* dtBegin;
    QTimeEdit* dtEndTime;
    QDateEdit* dtEnd;
    QLabel* lblTotal;
    QLineEdit* txtTimeMin;
    QTimer* Timer1;

    void place(const SpanColumns& columns);

    // The program's own assignments: no change handler runs.
    void setBeginDate(const QDate& date);
    void setBeginTime(const QTime& time);
    void setEndDate(const QDate& date);
    void setEndTime(const QTime& time);

    SpanValues values() const;
    QDateTime begin() const;
    QDateTime end() const;
    // What a recording stores: this window's own dates and times, to the
    // second. Each window dates its records from its own pickers only.
    QDateTime recordedBegin() const;
    QDateTime recordedEnd() const;

    void hideDatePickers();
    // The end time to the current minute, but never before the begin.
    void endTimeToNow();

    // Total and minutes from the four pickers; a negative span is reset to zero.
    void TotalRecalculate();
    // Moves the end time with the clock (held at the begin while that lies ahead).
    void ChangeTime();
    // One tick of Timer1. Does nothing but read the clock while the minute is
    // the one the last tick handled and nothing asked for a recalculation.
    void Timer1_Timer();

    void dtBegin_Change();
    void dtBeginTime_Change();
    void dtEnd_Change();
    void dtEndTime_Change();
    void txtTimeMin_Change();
    void Label2_DblClick();
    void Label3_DblClick();
    void Label4_Click();

signals:
    // A click on a heading: the window's idle count starts anew.
    void idleReset();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void writeMinutes();
    void needRecalculation() { lastTickMinute_ = -1; }
    // Whether the user is typing into one of the date or time boxes, whose
    // every keystroke is a change.
    bool typing() const;
    void startAgainIfNegative();

    qint64 lastTickMinute_ = -1; // the clock's minute the last working tick saw
    bool ignoreRelease_ = false; // the release that ends a double click
};
