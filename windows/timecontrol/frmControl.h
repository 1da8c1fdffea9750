#pragma once

#include "CodeListFrames.h"
#include "Forms.h"
#include "SpanControls.h"
#include "StatusTexts.h"

#include <QWidget>
#include <array>

class QLabel;
class QStatusBar;
class QTimer;
class QToolButton;
struct SavedLayout;

// The Time Control window: pick a client and a work code, state the span,
// record it or take the last record back, and open the other windows.
class frmControl : public QWidget {
    Q_OBJECT
public:
    explicit frmControl(QWidget* parent = nullptr);
    ~frmControl() override;

    void LoadSavedSettings();
    // Each reports a database error itself; the first says whether it read.
    bool frmControlLoadRecords();
    void StatusBar();
    // The entry area, then the status bar, from the store.
    void refreshFromStore();

    void cmdAdd_Click();
    void cmdUndo_Click();
    void cmdInput_Click();
    void cmdClient_Click();
    void cmdUtil_Click();
    void cmdTime_Click();
    void cmdReport_Click();
    void cmdHelp_Click();
    void Timer2_Timer();
    void clientToggle();
    void workToggle();

    SpanControls* span() const { return span_; }
    ListPair* clientPair() const { return lists_->clientPair; }
    ListPair* workPair() const { return lists_->workPair; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void placeControls();
    void Form_Load();
    void applyLayout(const SavedLayout& layout);
    void showStatus(const StatusTexts& texts);
    // Shows `form`, then unloads this window.
    void switchTo(Form form);

    CodeListFrames* lists_;
    QToolButton* cmdAdd;
    QToolButton* cmdUndo;
    QToolButton* cmdInput;
    QToolButton* cmdClient;
    QToolButton* cmdUtil;
    QToolButton* cmdTime;
    QToolButton* cmdReport;
    QToolButton* cmdHelp;
    QStatusBar* ssStatus;
    std::array<QLabel*, 5> panels_{};
    QTimer* Timer2;
    SpanControls* span_;
};
