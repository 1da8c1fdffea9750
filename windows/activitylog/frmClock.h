#pragma once

#include "ClockRecords.h"
#include "CodeListFrames.h"
#include "SavedLayout.h"
#include "SpanControls.h"

#include <QWidget>

class QCalendarWidget;
class QFrame;
class QPushButton;
class QTableWidget;
class QToolButton;

// The Activity Log: the employee's records of the day chosen in the
// calendar, with an entry area to record a span for that day, to correct a
// pressed record, or to delete it.
class frmClock : public QWidget, public SavedLayoutTarget {
    Q_OBJECT
public:
    explicit frmClock(QWidget* parent = nullptr);
    ~frmClock() override;

    void LoadSavedSettings();
    void applyLayout(const SavedLayout& layout) override;
    void DaysList();
    void frmControlLoadRecords();
    void frmControlLoadRecords2();
    void EditMode();

    // `row` is the grid row under the pointer (0 is the first record), -1
    // for the header or below the last row.
    void Dayslist_MouseDown(int row);
    void MVDate_Click(const QDate& date);
    void cmdAdd_Click();
    void cmdUndo_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();
    void clientToggle();
    void workToggle();

    bool bEditMode() const { return bEditMode_; }
    const SelectionTexts& selection() const { return selection_; }
    store::RecordId selectedId() const { return selectedId_; }
    SpanControls* span() const { return span_; }
    ListPair* clientPair() const { return lists_->clientPair; }
    ListPair* workPair() const { return lists_->workPair; }
    QTableWidget* grid() const { return FG1; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void placeControls();
    void Form_Load();
    void colourRow(int row, const QColor& colour);

    QTableWidget* FG1;
    QToolButton* cmdAdd;
    QToolButton* cmdUndo;
    QPushButton* cmdCancel;
    QToolButton* cmdHelp;
    QCalendarWidget* MVDate;
    QFrame* Line1;
    QFrame* Line2;
    SpanControls* span_;
    CodeListFrames* lists_;

    bool bEditMode_ = false;
    SelectionTexts selection_;
    store::RecordId selectedId_ = 0; // the key of the pressed record
};
