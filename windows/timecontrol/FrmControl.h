#pragma once

#include "ListPair.h"
#include "SpanControls.h"
#include "StatusTexts.h"

#include <QWidget>
#include <array>

class QGroupBox;
class QLabel;
class QListWidget;
class QStatusBar;
class QTimer;
class QToolButton;
struct SavedLayout;

// The Time Control window: pick a client and a work code, state the span,
// record it or take the last record back, and open the other windows.
class FrmControl : public QWidget {
    Q_OBJECT
public:
    explicit FrmControl(QWidget* parent = nullptr);
    ~FrmControl() override;

    void LoadSavedSettings();
    void frmControlLoadRecords();
    void StatusBar();

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
    ListPair* clientPair() const { return clientPair_; }
    ListPair* workPair() const { return workPair_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void placeControls();
    void Form_Load();
    void applyLayout(const SavedLayout& layout);
    void showStatus(const StatusTexts& texts);
    // Shows `form`, then unloads this window.
    void switchTo(int form);
    // Runs `work`; a database error is shown under `failed` and leaves the
    // window as it is.
    template <class Work> bool guarded(const QString& failed, Work&& work);

    QGroupBox* Frame2;
    QGroupBox* Frame1;
    QLabel* lblClient1;
    QLabel* lblClient2;
    QLabel* lblWork1;
    QLabel* lblWork2;
    QListWidget* lstClient1;
    QListWidget* lstClient2;
    QListWidget* lstWork1;
    QListWidget* lstWork2;
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
    ListPair* clientPair_;
    ListPair* workPair_;
    QObject* ignoreReleaseOn_ = nullptr; // the release that ends a double click
};
