#pragma once

#include <QSystemTrayIcon>
#include <QWidget>

class QAction;
class QMenu;
class QMenuBar;
class QTimer;

// The resident window: never shown while a notification area exists. It owns
// the tray icon with its menu and the minute timer of the capture reminder.
//
// Where the desktop has no notification area the window says so once and
// shows itself as a small window carrying the same menu, so the Time Control
// window and Exit stay within reach.
class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // The capture reminder's step (the recording windows' close calls it).
    void trackTime();

    QSystemTrayIcon* trayIcon() const { return trayIcon_; }
    QMenu* mnuFile() const { return mnuFile_; }
    QTimer* timer1() const { return Timer1_; }
    bool usesTray() const { return usesTray_; }

    // Handlers, named after their controls.
    void Timer1_Timer();
    void trayActivated(QSystemTrayIcon::ActivationReason reason);
    void mnuExit_Click();
    void mnuControl_Click();
    void mnuAbout_Click();
    void On_Top_Click();

private:
    void buildMenu();
    void Form_Load();
    void showWithoutTray();

    QSystemTrayIcon* trayIcon_ = nullptr;
    QMenu* mnuFile_ = nullptr;
    QAction* mnuExit_ = nullptr;
    QAction* mnuControl_ = nullptr;
    QAction* mnuAbout_ = nullptr;
    QAction* On_Top_ = nullptr;
    QTimer* Timer1_ = nullptr;
    bool usesTray_ = false;
};

// Told once when the desktop has no notification area.
QString noTrayText();
