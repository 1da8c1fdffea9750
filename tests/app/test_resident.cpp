// The resident program: the capture reminder, the tray icon and its menu, the splash.
#include "Records.h"
#include "ResidentShell.h"
#include "Schema.h"
#include "TestEnvironment.h"
#include "TrackTime.h"
#include "WindowPlacement.h"
#include "frmMain.h"
#include "frmSplash.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

namespace {

QDateTime at(int hour, int minute = 0) {
    return QDateTime(QDate(2026, 3, 10), QTime(hour, minute));
}

void addRecord(store::Database& db, const QString& employee, int fromHour, int toHour) {
    store::appendRecord(
        db, {at(fromHour), at(fromHour), at(toHour), 1, "Acme", 10, "Design", employee});
}

// Stands in for the Time Control window: topmost when it loads.
struct FakeControl : QWidget {
    FakeControl() { setWindowFlag(Qt::WindowStaysOnTopHint), setGeometry(100, 120, 300, 200); }
};

} // namespace

class TestResident : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;

    // Closes the window at `closedAt` and ticks the minute timer; gives the
    // moment the Time Control window came up (null if not within `maxTicks`).
    QDateTime closeAndTickUntilReminder(QTimer& timer, const QDateTime& closedAt, int maxTicks) {
        env->clockNow.set(closedAt);
        env->state.gMinuteCount = 0;
        TrackTime(timer);
        for (int tick = 0; tick <= maxTicks; ++tick) {
            if (env->windows.timesShown(Form::Control) > 0)
                return env->clockNow.now();
            if (!timer.isActive() || timer.interval() != 60000)
                return {}; // no tick would come at all
            env->clockNow.advanceSecs(60);
            TrackTime(timer);
        }
        return {};
    }
    QAction* item(frmMain& main, int index) { return main.mnuFile()->actions().at(index); }

private slots:
    void init() {
        env = std::make_unique<TestEnvironment>();
        env->windows.factories[Form::Control] = [] { return new FakeControl; };
        env->state.gEmployee = QStringLiteral("alice");
    }
    void cleanup() { env.reset(); }

    void reminder_data() {
        QTest::addColumn<int>("frequency");
        QTest::addColumn<QString>("recordedBy"); // whose record ends at 17:00; empty: none
        QTest::addColumn<QDateTime>("remindedAt");
        QTest::newRow("15 min, nothing recorded") << 15 << QString() << at(9, 15);
        QTest::newRow("15 min, own record to 17:00") << 15 << QStringLiteral("alice") << at(17, 15);
        QTest::newRow("15 min, another's record") << 15 << QStringLiteral("bob") << at(9, 15);
        QTest::newRow("0 min, nothing recorded: at the close") << 0 << QString() << at(9, 0);
        QTest::newRow("0 min, own record: not till next close")
            << 0 << QStringLiteral("alice") << QDateTime();
        QTest::newRow("negative: never") << -5 << QString() << QDateTime();
    }
    void reminder() {
        QFETCH(int, frequency);
        QFETCH(QString, recordedBy);
        QFETCH(QDateTime, remindedAt);
        store::Database& db = env->openNewDatabase();
        if (!recordedBy.isEmpty())
            addRecord(db, recordedBy, 8, 17);
        env->state.intMinTimer = static_cast<qint16>(frequency);
        QTimer timer;
        QCOMPARE(closeAndTickUntilReminder(timer, at(9), 12 * 60), remindedAt);
        if (remindedAt.isValid()) {
            QCOMPARE(env->windows.timesShown(Form::Control), 1);
            QVERIFY2(!timer.isActive(), "counting pauses while the reminder is up");
            // The next close starts a new count
            env->windows.destroyAll();
            env->windows.shownForms.clear();
            QCOMPARE(closeAndTickUntilReminder(timer, remindedAt.addSecs(300), 12 * 60),
                     remindedAt.addSecs(300 + 60 * frequency));
        }
    }

    void databaseErrorIsToldAndCountingGoesOn() {
        env->state.intMinTimer = 0;
        QTimer timer;
        TrackTime(timer); // no database open
        QCOMPARE(env->prompts.shown.size(), size_t(1));
        QCOMPARE(env->prompts.last().icon, MsgIcon::Critical);
        QVERIFY(env->prompts.last().text.startsWith("The check for recorded time failed: "));
        QCOMPARE(env->windows.timesShown(Form::Control), 0);
        QVERIFY(timer.isActive());
    }

    void trayMenuOnTopAndEvents() {
        env->state.intMinTimer = 15;
        frmMain main;
        QStringList texts;
        for (QAction* action : main.mnuFile()->actions())
            texts << (action->isSeparator() ? "-" : action->text()) +
                         (action->isCheckable() ? (action->isChecked() ? "[x]" : "[ ]") : "");
        QCOMPARE(texts, QStringList({"Exit", "Time Control", "About", "-", "On &Top[x]"}));
        QCOMPARE(main.trayIcon()->toolTip(), QStringLiteral("Hourloom"));
        QVERIFY(!main.trayIcon()->icon().isNull());
        QCOMPARE(main.trayIcon()->contextMenu(), main.mnuFile());
        QVERIFY(!main.timer1()->isActive());
        QCOMPARE(main.timer1()->interval(), 0);
        // The offscreen desktop has no notification area: told once, and reachable
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        QCOMPARE(env->prompts.texts(), QStringList{noTrayText()});
        QVERIFY(!main.usesTray() && main.isVisible() && main.findChild<QMenuBar*>());
        main.trackTime(); // the counting must not hide the only way back
        QVERIFY(main.isVisible());
        QCOMPARE(env->prompts.shown.size(), size_t(1));
        // On Top loads the Time Control window without showing it, then toggles
        // both ways in place
        QAction* onTop = item(main, 4);
        onTop->trigger();
        QWidget* control = env->windows.find(Form::Control);
        QVERIFY(control && !control->isVisible());
        const QRect placed = control->geometry();
        QVERIFY(!onTop->isChecked() && !isTopmost(control));
        onTop->trigger();
        QVERIFY(onTop->isChecked() && isTopmost(control) && !control->isVisible());
        QCOMPARE(control->geometry(), placed);
        main.trayActivated(QSystemTrayIcon::Context);
        main.trayActivated(QSystemTrayIcon::Trigger);
        QCOMPARE(env->windows.timesShown(Form::Control), 0);
        main.trayActivated(QSystemTrayIcon::DoubleClick);
        item(main, 1)->trigger();
        QCOMPARE(env->windows.timesShown(Form::Control), 2);
        QCOMPARE(env->windows.find(Form::Control), control);
        item(main, 2)->trigger();
        QCOMPARE(env->windows.timesShown(Form::About), 1);
    }

    void splashHandsOverToTimeControlOnce() {
        ResidentShell shell;
        shell.startResident();
        QPointer<frmSplash> splash = shell.splash();
        QVERIFY(splash && splash->isVisible() && shell.mainWindow());
        QVERIFY(!splash->findChild<QLabel*>("lblNotice")->text().isEmpty());
        QCOMPARE(splash->timer1()->interval(), 1300);
        QVERIFY(splash->timer1()->isActive() && splash->timer1()->isSingleShot());
        QCOMPARE(env->windows.timesShown(Form::Control), 0);
        splash->Timer1_Timer();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!splash);
        QCOMPARE(env->windows.timesShown(Form::Control), 1);
        // Start-up again (after a database was chosen) keeps the one tray window,
        // and the recording windows' close reaches its timer
        frmMain* resident = shell.mainWindow();
        shell.startResident();
        QCOMPARE(shell.mainWindow(), resident);
        env->state.intMinTimer = 15;
        shell.trackTime();
        QVERIFY(resident->timer1()->isActive());
        // A splash closed early hands over once too, and its timer goes with it
        const int shown = env->windows.timesShown(Form::Control);
        QPointer<frmSplash> early = new frmSplash;
        early->show();
        early->close();
        QCOMPARE(env->windows.timesShown(Form::Control), shown + 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!early);
    }
};

QTEST_MAIN(TestResident)
#include "test_resident.moc"
