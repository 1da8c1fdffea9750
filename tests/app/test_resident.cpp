#include "Records.h"
#include "ResidentShell.h"
#include "Schema.h"
#include "TestEnvironment.h"
#include "TrackTime.h"
#include "WindowPlacement.h"
#include "frmMain.h"
#include "frmSplash.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

namespace {

const QDate kDay(2026, 3, 10);
QDateTime at(int hour, int minute = 0) {
    return QDateTime(kDay, QTime(hour, minute));
}

store::ActivityRecord recordOf(const QString& employee, const QDateTime& begin,
                               const QDateTime& end) {
    store::ActivityRecord record;
    record.date = begin;
    record.beginTime = begin;
    record.endTime = end;
    record.clientNumber = 1;
    record.clientName = QStringLiteral("Acme");
    record.workCode = 10;
    record.workDescription = QStringLiteral("Design");
    record.employee = employee;
    return record;
}

// Stands in for the Time Control window: it makes itself topmost when it
// loads and remembers whether its close logic ran.
class FakeControl : public QWidget {
public:
    FakeControl() {
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
        setGeometry(100, 120, 300, 200);
    }
    static inline int closeLogicRuns = 0;

protected:
    void closeEvent(QCloseEvent* event) override {
        ++closeLogicRuns;
        event->accept();
    }
};

} // namespace

class TestResident : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnvironment> env;

    // Given the window closed at `closedAt`, ticks the minute timer until the
    // Time Control window comes up; gives the moment it did (null if it did
    // not within `maxTicks`).
    QDateTime closeAndTickUntilReminder(QTimer& timer, const QDateTime& closedAt, int maxTicks) {
        env->clockNow.set(closedAt);
        env->state.gMinuteCount = 0;
        TrackTime(timer);
        for (int tick = 0; tick <= maxTicks; ++tick) {
            if (env->windows.timesShown(Form::Control) > 0)
                return env->clockNow.now();
            // The timer must be running for a tick to come at all.
            if (!timer.isActive() || timer.interval() != kMinuteTimerInterval)
                return {};
            env->clockNow.advanceSecs(60);
            TrackTime(timer);
        }
        return {};
    }

private slots:
    void init() {
        env = std::make_unique<TestEnvironment>();
        env->windows.factories[Form::Control] = [] { return new FakeControl; };
        env->state.gEmployee = QStringLiteral("alice");
        FakeControl::closeLogicRuns = 0;
    }
    void cleanup() { env.reset(); }

    void reminder_data() {
        QTest::addColumn<int>("frequency");
        QTest::addColumn<QString>("recordedBy"); // whose record ends at 17:00; empty: none
        QTest::addColumn<QDateTime>("remindedAt");
        QTest::newRow("15 min, nothing recorded: at 9:15") << 15 << QString() << at(9, 15);
        QTest::newRow("15 min, own record to 17:00: first check after 17:00")
            << 15 << QStringLiteral("alice") << at(17, 15);
        QTest::newRow("15 min, another employee's record does not keep it quiet")
            << 15 << QStringLiteral("bob") << at(9, 15);
        QTest::newRow("0 min, nothing recorded: straight back at the close")
            << 0 << QString() << at(9, 0);
        QTest::newRow("0 min, own record: no check until the next close")
            << 0 << QStringLiteral("alice") << QDateTime();
        QTest::newRow("negative: never checks") << -5 << QString() << QDateTime();
    }
    void reminder() {
        QFETCH(int, frequency);
        QFETCH(QString, recordedBy);
        QFETCH(QDateTime, remindedAt);
        // Given
        store::Database& db = env->openNewDatabase();
        if (!recordedBy.isEmpty())
            store::appendRecord(db, recordOf(recordedBy, at(8), at(17)));
        env->state.intMinTimer = static_cast<qint16>(frequency);
        QTimer timer;
        // When the window closes at 9:00 and the minutes pass
        const QDateTime shown = closeAndTickUntilReminder(timer, at(9), 12 * 60);
        // Then
        QCOMPARE(shown, remindedAt);
        if (remindedAt.isValid()) {
            QCOMPARE(env->windows.timesShown(Form::Control), 1);
            QVERIFY2(!timer.isActive(), "counting pauses while the reminder is up");
            QCOMPARE(env->state.gMinuteCount, 0);
        }
    }

    void reminderCycleRestartsAfterNextClose() {
        env->openNewDatabase();
        env->state.intMinTimer = 15;
        QTimer timer;
        QCOMPARE(closeAndTickUntilReminder(timer, at(9), 60), at(9, 15));
        // The user closes the reminder window at 9:20: the next reminder comes at 9:35.
        env->windows.destroyAll();
        env->windows.shownForms.clear();
        QCOMPARE(closeAndTickUntilReminder(timer, at(9, 20), 60), at(9, 35));
    }

    void databaseErrorIsToldAndCountingGoesOn() {
        // Given no open database
        env->state.intMinTimer = 0;
        QTimer timer;
        // When the check runs
        TrackTime(timer);
        // Then the user hears of it, no reminder window, and the timer runs on
        QCOMPARE(env->prompts.shown.size(), size_t(1));
        QCOMPARE(env->prompts.last().icon, MsgIcon::Critical);
        QVERIFY(env->prompts.last().text.startsWith("The check for recorded time failed: "));
        QCOMPARE(env->windows.timesShown(Form::Control), 0);
        QVERIFY(timer.isActive());
    }

    void trayMenuItemsOrderAndChecks() {
        frmMain main;
        const QList<QAction*> items = main.mnuFile()->actions();
        QStringList texts;
        for (QAction* item : items)
            texts << (item->isSeparator() ? QStringLiteral("-") : item->text());
        QCOMPARE(texts, QStringList({"Exit", "Time Control", "About", "-", "On &Top"}));
        QCOMPARE(items[4]->objectName(), QStringLiteral("On_Top"));
        QVERIFY(items[4]->isCheckable());
        QVERIFY(items[4]->isChecked());
        for (int i : {0, 1, 2})
            QVERIFY(!items[i]->isCheckable());
        QCOMPARE(main.trayIcon()->toolTip(), QStringLiteral("Hourloom"));
        QVERIFY(!main.trayIcon()->icon().isNull());
        QCOMPARE(main.trayIcon()->contextMenu(), main.mnuFile());
        // Right after loading the reminder is not counting.
        QVERIFY(!main.timer1()->isActive());
        QCOMPARE(main.timer1()->interval(), 0);
    }

    void withoutNotificationAreaSaysSoOnceAndStaysReachable() {
        // The offscreen platform has no notification area.
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        env->state.intMinTimer = 15;
        frmMain main;
        QCOMPARE(env->prompts.texts(), QStringList{noTrayText()});
        QVERIFY(!main.usesTray());
        QVERIFY(main.isVisible());
        QVERIFY(main.findChild<QMenuBar*>() != nullptr);
        main.trackTime(); // the counting must not hide the only way back
        QVERIFY(main.isVisible());
        QCOMPARE(env->prompts.shown.size(), size_t(1));
    }

    void trayEventsAndMenuItems() {
        frmMain main;
        main.trayActivated(QSystemTrayIcon::Context);
        main.trayActivated(QSystemTrayIcon::Trigger);
        QCOMPARE(env->windows.timesShown(Form::Control), 0);
        main.trayActivated(QSystemTrayIcon::DoubleClick);
        QCOMPARE(env->windows.timesShown(Form::Control), 1);
        QVERIFY(env->windows.find(Form::Control)->isVisible());
        main.mnuFile()->actions()[1]->trigger();
        QCOMPARE(env->windows.timesShown(Form::Control), 2);
        main.mnuFile()->actions()[2]->trigger();
        QCOMPARE(env->windows.timesShown(Form::About), 1);
    }

    void onTopTogglesCheckAndWindowBothWays() {
        frmMain main;
        QAction* onTop = main.mnuFile()->actions()[4];
        // Given the Time Control window is not loaded: the click loads it first.
        onTop->trigger();
        QWidget* control = env->windows.find(Form::Control);
        QVERIFY(control);
        const QRect placed = control->geometry();
        QVERIFY(!onTop->isChecked());
        QVERIFY(!isTopmost(control));
        QVERIFY(control->isVisible());
        // Clicked again: checked and topmost, where it stood.
        onTop->trigger();
        QVERIFY(onTop->isChecked());
        QVERIFY(isTopmost(control));
        QVERIFY(control->isVisible());
        QCOMPARE(control->geometry(), placed);
        QCOMPARE(env->windows.timesShown(Form::Control), 1);
    }

    void exitEndsAtOnceAndKeepsData() {
        // Given a database with rows and an open Time Control window
        store::Database& db = env->openNewDatabase();
        for (int hour = 8; hour < 12; ++hour)
            store::appendRecord(db, recordOf("alice", at(hour), at(hour + 1)));
        env->settingsStore->setText(keys::Emp, QStringLiteral("alice"));
        frmMain main;
        main.mnuFile()->actions()[1]->trigger();
        // When Exit is chosen
        main.mnuFile()->actions()[0]->trigger();
        // Then the program ends without any window's close logic, the icon goes
        QCOMPARE(env->windows.endProgramCalls, 1);
        QVERIFY(!main.trayIcon()->isVisible());
        env->windows.destroyAll();
        QCOMPARE(FakeControl::closeLogicRuns, 0);
        // and the settings and every row are still there.
        env->state.gDataBase.reset();
        const Settings reread(env->settingsStore->fileName());
        QCOMPARE(reread.text(keys::Emp), QStringLiteral("alice"));
        store::Database reopened =
            store::connectDataBase(env->state.gDataBaseLoc, env->state.gDataBaseName);
        QCOMPARE(
            store::recentRecords(reopened, "alice", at(0), store::RecentOrder::EndTimeDesc).size(),
            size_t(4));
    }

    void startResidentShowsSplashThenTimeControlOnce() {
        ResidentShell shell;
        shell.startResident();
        QPointer<frmSplash> splash = shell.splash();
        QVERIFY(splash && splash->isVisible());
        QVERIFY(shell.mainWindow());
        QCOMPARE(splash->timer1()->interval(), kSplashMilliseconds);
        QVERIFY(splash->timer1()->isActive());
        QVERIFY(splash->timer1()->isSingleShot());
        QCOMPARE(env->windows.timesShown(Form::Control), 0);
        // The splash's one tick hands over.
        splash->Timer1_Timer();
        QCOMPARE(env->windows.timesShown(Form::Control), 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!splash);
        QCOMPARE(env->windows.timesShown(Form::Control), 1);
        // Start-up again (after a database was chosen) keeps the one tray window.
        frmMain* resident = shell.mainWindow();
        shell.startResident();
        QCOMPARE(shell.mainWindow(), resident);
        // The recording windows' close reaches the resident window's timer.
        env->state.intMinTimer = 15;
        shell.trackTime();
        QVERIFY(resident->timer1()->isActive());
    }

    void splashClosedEarlyStillHandsOverOnce() {
        auto* splash = new frmSplash;
        QPointer<frmSplash> guard = splash;
        splash->show();
        QVERIFY(!splash->findChild<QLabel*>("lblNotice")->text().isEmpty());
        splash->close();
        QCOMPARE(env->windows.timesShown(Form::Control), 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!guard); // its timer went with it
    }
};

QTEST_MAIN(TestResident)
#include "test_resident.moc"
