#include "frmControl.h"

#include "Appends.h"
#include "CodeRows.h"
#include "DateText.h"
#include "Functions.h"
#include "PictureButton.h"
#include "RecentRecord.h"
#include "ReportDbErrors.h"
#include "SavedLayout.h"
#include "Services.h"
#include "Twips.h"

#include <QCloseEvent>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QStyle>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>

namespace {

std::optional<store::ActivityRecord> latestRecentRecord() {
    return latestRecent(appState().db(), appState().gEmployee, appClock().now());
}

} // namespace

frmControl::frmControl(QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("frmControl"));
    setWindowTitle(QStringLiteral("Hourloom"));
    buildControls();
    placeControls();
    Form_Load();
}

frmControl::~frmControl() = default;

void frmControl::buildControls() {
    lists_ =
        new CodeListFrames(this, {keys::lstClient2Vis, keys::lstClient1Wit, 2055, 3135, 2055, 3135},
                           {keys::lstWork2Vis, keys::lstWork1Wit, 1800, 2685, 1800, 2685}, true);

    span_ = new SpanControls(this);
    connect(span_, &SpanControls::idleReset, this, [] { appState().gIdleCount = 0; });

    cmdAdd =
        pictureButton(this, "cmdAdd", QStringLiteral("Add Time"), QStyle::SP_DialogApplyButton);
    cmdUndo =
        pictureButton(this, "cmdUndo", QStringLiteral("Undo Last Entry"), QStyle::SP_ArrowBack);
    cmdInput = pictureButton(this, "cmdInput", QStringLiteral("Activity Log"),
                             QStyle::SP_FileDialogDetailedView);
    cmdClient =
        pictureButton(this, "cmdClient", QStringLiteral("Client System"), QStyle::SP_DirHomeIcon);
    cmdUtil = pictureButton(this, "cmdUtil", QStringLiteral("Work Information Input"),
                            QStyle::SP_FileDialogListView);
    cmdTime = pictureButton(this, "cmdTime", QStringLiteral("Time and Settings"),
                            QStyle::SP_ComputerIcon);
    cmdReport =
        pictureButton(this, "cmdReport", QStringLiteral("Time Sheet Report"), QStyle::SP_FileIcon);
    cmdHelp = pictureButton(this, "cmdHelp", QStringLiteral("Help"), QStyle::SP_DialogHelpButton);
    connect(cmdAdd, &QToolButton::clicked, this, &frmControl::cmdAdd_Click);
    connect(cmdUndo, &QToolButton::clicked, this, &frmControl::cmdUndo_Click);
    connect(cmdInput, &QToolButton::clicked, this, &frmControl::cmdInput_Click);
    connect(cmdClient, &QToolButton::clicked, this, &frmControl::cmdClient_Click);
    connect(cmdUtil, &QToolButton::clicked, this, &frmControl::cmdUtil_Click);
    connect(cmdTime, &QToolButton::clicked, this, &frmControl::cmdTime_Click);
    connect(cmdReport, &QToolButton::clicked, this, &frmControl::cmdReport_Click);
    connect(cmdHelp, &QToolButton::clicked, this, &frmControl::cmdHelp_Click);

    ssStatus = new QStatusBar(this);
    ssStatus->setObjectName(QStringLiteral("ssStatus"));
    ssStatus->setSizeGripEnabled(false);
    for (int i = 0; i < 5; ++i) {
        panels_[i] = new QLabel(ssStatus);
        panels_[i]->setObjectName(QStringLiteral("ssStatusPanel%1").arg(i + 1));
        panels_[i]->setToolTip(kStatusPanelLabels[i]);
        ssStatus->addWidget(panels_[i], i == 4 ? 2 : 1);
    }

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    connect(Timer2, &QTimer::timeout, this, &frmControl::Timer2_Timer);
}

void frmControl::placeControls() {
    const auto px = [this](int twips) { return twipsToPixels(twips, this); };
    const auto place = [&](QWidget* w, int left, int top, int width, int height) {
        w->setGeometry(px(left), px(top), px(width), px(height));
    };
    lists_->place({60, 0, 3375, 1935}, {360, 1110, 1935, 2055, 2160, 1095}, {3495, 0, 2895, 1935},
                  {360, 1110, 1680, 1800, 1800, 1005});

    // The date pickers are 30 twips wider than designed: their longest date
    // ("12/31/2026") needs it at the default font.
    const std::array<int, 3> rows{2040, 2430, 2820};
    span_->place({rows, 120, 660, 840, 1320, 2220, 1470, 1440});

    const std::array<QToolButton*, 8> buttons{cmdAdd,  cmdUndo, cmdInput,  cmdClient,
                                              cmdUtil, cmdTime, cmdReport, cmdHelp};
    for (int i = 0; i < 8; ++i)
        place(buttons[i], 3840 + (i % 4) * 630, rows[0] + (i / 4) * 600, 570, 540);

    place(ssStatus, 0, 3300, 6450, 330);
    setFixedSize(px(6450), px(3630));
}

void frmControl::Form_Load() {
    LoadSavedSettings();
    refreshFromStore();
    appState().gIdleCount = 0;
    Timer2->setInterval(60000);
    span_->Timer1->start();
    Timer2->start();
    span_->endTimeToNow();
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    const QString clientTip = appState().gClientLabel + QStringLiteral(" Information Input");
    cmdClient->setToolTip(clientTip);
    cmdClient->setAccessibleName(clientTip);
}

void frmControl::LoadSavedSettings() {
    const SavedLayout layout = readSavedLayout(settings());
    applySavedLayout(layout, appState());
    applyLayout(layout);
    // A loaded Activity Log shows the same layout.
    applyLayoutIfTarget(forms().find(Form::Clock), layout);
}

void frmControl::applyLayout(const SavedLayout& layout) {
    lists_->applyLayout(layout, layout.client1Width, layout.work1Width);
}

bool frmControl::frmControlLoadRecords() {
    return reportDbErrors(
        this, QStringLiteral("The recent activity and the lists could not be read."), [this] {
            // Every query runs before anything on screen changes, so a failing
            // one leaves the window as it was.
            const std::optional<store::ActivityRecord> latest = latestRecentRecord();
            const CodeListRows rows = CodeListFrames::readRows();

            lists_->clear();
            span_->hideDatePickers();
            const QDateTime begin =
                todayBegin(appClock().now(),
                           latest ? std::optional<QDateTime>(latest->endTime) : std::nullopt);
            span_->setBeginTime(begin.time());
            span_->setBeginDate(begin.date());
            span_->setEndDate(appClock().now().date());
            span_->dtBegin_Change();
            span_->dtEnd_Change();
            span_->TotalRecalculate();

            lists_->fill(rows, latest);
            if (rows.clients.empty() && rows.work.empty())
                help().open(this, QStringLiteral("EmptyInformation.htm"));
        });
}

void frmControl::refreshFromStore() {
    // Both read the latest record: a record that cannot be read is reported
    // once, by the first.
    if (frmControlLoadRecords())
        StatusBar();
}

void frmControl::StatusBar() {
    reportDbErrors(this, QStringLiteral("The latest record could not be read."),
                   [this] { showStatus(statusTextsFor(latestRecentRecord())); });
}

void frmControl::showStatus(const StatusTexts& texts) {
    for (int i = 0; i < 5; ++i)
        panels_[i]->setText(texts.panels[i]);
    panels_[4]->setAlignment((texts.lastCentred ? Qt::AlignHCenter : Qt::AlignLeft) |
                             Qt::AlignVCenter);
}

void frmControl::cmdAdd_Click() {
    const CheckResult check =
        CheckSelection(lists_->selection(), span_->txtTimeMin->text(), appState().gClientLabel);
    if (!check.ok) {
        prompter().message(this, check.message, kCheckTitle, MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    const bool recorded =
        reportDbErrors(this, QStringLiteral("The activity was not recorded."), [this] {
            const AppState& state = appState();
            store::ActivityRecord record;
            record.beginTime = span_->recordedBegin();
            record.endTime = span_->recordedEnd();
            lists_->takeSelection(record, state.gClientLabel);
            record.employee = settings().text(keys::Emp);
            store::addControlRecord(appState().db(), record, appClock().now());
        });
    if (!recorded)
        return;
    refreshFromStore();
    span_->Timer1->start();
    appState().gIdleCount = 0;
}

void frmControl::cmdUndo_Click() {
    if (!reportDbErrors(this, QStringLiteral("The last entry was not undone."), [] {
            store::undoLastRecord(appState().db(), appState().gEmployee, appClock().now());
        }))
        return;
    refreshFromStore();
}

void frmControl::switchTo(Form form) {
    forms().show(form);
    close();
}

void frmControl::cmdInput_Click() {
    // The Activity Log always comes up freshly loaded.
    forms().unload(Form::Clock);
    close();
    forms().show(Form::Clock);
}

void frmControl::cmdClient_Click() {
    switchTo(Form::Client);
}
void frmControl::cmdUtil_Click() {
    switchTo(Form::Work);
}
void frmControl::cmdTime_Click() {
    switchTo(Form::Setup);
}
void frmControl::cmdReport_Click() {
    switchTo(Form::Report);
}

void frmControl::cmdHelp_Click() {
    help().open(this, QStringLiteral("TimeControl.htm"));
}

void frmControl::Timer2_Timer() {
    AppState& state = appState();
    ++state.gIdleCount;
    if (state.gIdleCount == 5) {
        state.gIdleCount = 0;
        close();
    }
}

void frmControl::clientToggle() {
    lists_->clientPair->toggleSecond();
}
void frmControl::workToggle() {
    lists_->workPair->toggleSecond();
}

void frmControl::closeEvent(QCloseEvent* event) {
    span_->Timer1->stop();
    Timer2->stop();
    appState().gMinuteCount = 0;
    forms().trackTime();
    event->accept();
}
