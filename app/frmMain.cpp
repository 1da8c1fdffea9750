#include "frmMain.h"

#include "ProgramIcon.h"
#include "Services.h"
#include "TrackTime.h"
#include "WindowPlacement.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QVBoxLayout>

QString noTrayText() {
    const QChar CR(13);
    return QStringLiteral("This desktop has no notification area for the Hourloom icon.") + CR +
           QStringLiteral("The Hourloom window stays open instead; its File menu holds "
                          "Exit, Time Control, About and On Top.");
}

frmMain::frmMain(QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(kAppTitle);
    setWindowIcon(programIcon());

    // Not running until the first recording window closes.
    Timer1_ = new QTimer(this);
    Timer1_->setObjectName(QStringLiteral("Timer1"));
    Timer1_->setInterval(0);
    connect(Timer1_, &QTimer::timeout, this, &frmMain::Timer1_Timer);

    buildMenu();
    Form_Load();
}

frmMain::~frmMain() {
    // Leaves no stale icon behind, however the program ends.
    trayIcon_->hide();
}

void frmMain::buildMenu() {
    mnuFile_ = new QMenu(QStringLiteral("File"), this);
    mnuFile_->setObjectName(QStringLiteral("mnuFile"));
    auto item = [this](const char* name, const QString& text) {
        QAction* action = mnuFile_->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    mnuExit_ = item("mnuExit", QStringLiteral("Exit"));
    mnuControl_ = item("mnuControl", QStringLiteral("Time Control"));
    mnuAbout_ = item("mnuAbout", QStringLiteral("About"));
    mnuFile_->addSeparator();
    On_Top_ = item("On_Top", QStringLiteral("On &Top"));
    On_Top_->setCheckable(true);
    On_Top_->setChecked(true);

    connect(mnuExit_, &QAction::triggered, this, &frmMain::mnuExit_Click);
    connect(mnuControl_, &QAction::triggered, this, &frmMain::mnuControl_Click);
    connect(mnuAbout_, &QAction::triggered, this, &frmMain::mnuAbout_Click);
    connect(On_Top_, &QAction::triggered, this, [this] {
        // Qt has already flipped the check; put it back so that the handler
        // decides from the state the user saw.
        On_Top_->setChecked(!On_Top_->isChecked());
        On_Top_Click();
    });
}

void frmMain::Form_Load() {
    trayIcon_ = new QSystemTrayIcon(programIcon(), this);
    trayIcon_->setObjectName(QStringLiteral("trayIcon"));
    trayIcon_->setToolTip(kAppTitle);
    // A right click pops the menu up at the mouse.
    trayIcon_->setContextMenu(mnuFile_);
    connect(trayIcon_, &QSystemTrayIcon::activated, this, &frmMain::trayActivated);

    usesTray_ = QSystemTrayIcon::isSystemTrayAvailable();
    if (usesTray_) {
        trayIcon_->show();
        return;
    }
    showWithoutTray();
}

void frmMain::showWithoutTray() {
    prompter().message(nullptr, noTrayText(), kAppTitle, MsgIcon::Information, MsgButtons::Ok);
    auto* layout = new QVBoxLayout(this);
    auto* menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    menuBar->addMenu(mnuFile_);
    layout->setMenuBar(menuBar);
    resize(260, 40);
    show();
}

void frmMain::trackTime() {
    TrackTime(*Timer1_);
}

void frmMain::Timer1_Timer() {
    TrackTime(*Timer1_);
}

void frmMain::trayActivated(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::DoubleClick)
        forms().show(Form::Control);
}

void frmMain::mnuExit_Click() {
    // Ends at once: no window's close logic runs. Settings and the database
    // are closed by their owners as the program unwinds.
    trayIcon_->hide();
    forms().endProgram();
}

void frmMain::mnuControl_Click() {
    forms().show(Form::Control);
}

void frmMain::mnuAbout_Click() {
    forms().show(Form::About);
}

void frmMain::On_Top_Click() {
    // Loaded if need be, but not shown: only its stacking changes.
    QWidget* control = forms().load(Form::Control);
    const bool topmost = !On_Top_->isChecked();
    On_Top_->setChecked(topmost);
    setTopmost(control, topmost);
}
