// The resident program: the capture reminder, the tray icon and its menu, the
// splash, the About box and the help window.
#include "DataFiles.h"
#include "HelpViewer.h"
#include "HelpWindow.h"
#include "Records.h"
#include "ResidentShell.h"
#include "Schema.h"
#include "SystemInfo.h"
#include "TestEnvironment.h"
#include "TrackTime.h"
#include "WindowPlacement.h"
#include "frmAbout.h"
#include "frmMain.h"
#include "frmSplash.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

QDateTime at(int hour, int minute = 0) {
    return QDateTime(QDate(2026, 3, 10), QTime(hour, minute));
}

// Stands in for the Time Control window: topmost when it loads.
struct FakeControl : QWidget {
    FakeControl() { setWindowFlag(Qt::WindowStaysOnTopHint), setGeometry(100, 120, 300, 200); }
};

} // namespace

class TestResident : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;
    const QByteArray dataDir = qgetenv("HOURLOOM_DATA_DIR"), path = qgetenv("PATH");

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
    void cleanup() {
        qputenv("HOURLOOM_DATA_DIR", dataDir);
        qputenv("PATH", path);
        env.reset();
    }

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
            store::appendRecord(db, {at(8), at(8), at(17), 1, "Acme", 10, "Design", recordedBy});
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
        // The offscreen desktop has no notification area: told once, and reachable
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        QCOMPARE(env->prompts.texts(), QStringList{noTrayText()});
        QVERIFY(!main.usesTray() && main.isVisible() && main.findChild<QMenuBar*>());
        main.trackTime(); // the counting must not hide the only way back
        QVERIFY(main.isVisible());
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
        main.trayActivated(QSystemTrayIcon::Trigger);
        QCOMPARE(env->windows.timesShown(Form::Control), 0);
        main.trayActivated(QSystemTrayIcon::DoubleClick);
        item(main, 1)->trigger();
        QCOMPARE(env->windows.timesShown(Form::Control), 2);
        item(main, 2)->trigger();
        QCOMPARE(env->windows.timesShown(Form::About), 1);
    }

    // The splash hands over to Time Control once, when its time is up or when
    // closed before; start-up again keeps the one tray window.
    void splashHandsOverOnceAndStartUpAgainKeepsTheTrayWindow() {
        ResidentShell shell;
        shell.startResident();
        const QPointer<frmMain> resident = shell.mainWindow();
        shell.splash()->Timer1_Timer();
        QCOMPARE(env->windows.timesShown(Form::Control), 1);
        shell.startResident(); // after another database was chosen
        QCOMPARE(shell.mainWindow(), resident.data());
        env->state.intMinTimer = 15;
        shell.trackTime();
        QVERIFY(resident->timer1()->isActive());
        const QPointer<frmSplash> early = shell.splash();
        early->close();
        QCOMPARE(env->windows.timesShown(Form::Control), 2);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!early);
    }

    void aboutBoxShowsNameVersionAndStartsSystemInfo() {
        QCOMPARE(versionText("2.3"), QStringLiteral("Version 2.3.0"));
        QCOMPARE(versionText("1.2.3.4"), QStringLiteral("Version 1.2.3"));
        frmAbout about;
        QCOMPARE(about.findChild<QLabel*>("lblTitle")->text(), QStringLiteral("Hourloom"));
        QCOMPARE(about.findChild<QLabel*>("lblVersion")->text(),
                 versionText(QStringLiteral(HOURLOOM_VERSION)));
        auto* sysInfo = about.findChild<QPushButton*>("cmdSysInfo");
        QCOMPARE(sysInfo->text(), QStringLiteral("&System Info..."));
        // System Info starts the first known tool on the path, or says there is none
        qputenv("PATH", QFile::encodeName(env->dir.path()));
        sysInfo->click();
        QCOMPARE(env->prompts.texts(),
                 QStringList{"System Information Is Unavailable At This Time"});
        for (const char* tool : {"gnome-system-monitor", "kinfocenter"}) {
            QFile file(env->path(tool));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("#!/bin/sh\n") > 0);
            file.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
            QCOMPARE(findSystemInfoTool(), env->path(tool));
        }
        sysInfo->click();
        QCOMPARE(env->prompts.shown.size(), size_t(1));
    }

    // Every topic is in the built help file and shown in its owner's one help
    // window; a link moves within that window, with the help style sheet.
    void everyTopicIsShownInTheOwnersHelpWindow() {
        const std::pair<QString, QString> topics[] = {
            {"TimeControl.htm", "Time Control"},
            {"EmptyInformation.htm", "Getting started: empty lists"},
            {"ActivityLog.htm", "Activity Log"},
            {"setup.htm", "Time and Settings"},
            {"TimeSheetReport.htm", "Time Sheet Report"},
            {"InformationInputs.htm", "Client and work lists"},
        };
        QWidget owner, other;
        HelpViewer viewer;
        for (const auto& [topic, heading] : topics) {
            viewer.open(&owner, topic);
            QVERIFY(viewer.window() && viewer.window()->isVisible());
            QCOMPARE(viewer.window()->parentWidget(), &owner);
            QCOMPARE(viewer.window()->browser()->documentTitle(), heading);
        }
        QPointer<HelpWindow> first = viewer.window();
        HelpBrowser* browser = first->browser();
        QVERIFY(!browser->loadResource(QTextDocument::StyleSheetResource, QUrl("help.css"))
                     .toByteArray()
                     .isEmpty());
        emit browser->anchorClicked(QUrl("ActivityLog.htm"));
        QCOMPARE(browser->source(), QUrl("chm:/ActivityLog.htm"));
        viewer.open(&other, "setup.htm");
        QVERIFY(!first);
        QCOMPARE(viewer.window()->parentWidget(), &other);
        QVERIFY(env->prompts.shown.empty());
    }

    // Missing, not a help file, cut short, header only: either the page is
    // still whole and shown, or the user is told why not.
    void unknownTopicOrMissingOrDamagedFileIsTold() {
        HelpViewer viewer;
        viewer.open(nullptr, "NoSuchTopic.htm");
        QCOMPARE(env->prompts.texts(), QStringList{helpTopicMissingText(
                                           "NoSuchTopic.htm", installedDataFile(kHelpFileName))});
        QVERIFY(!viewer.window());
        QFile built(installedDataFile(kHelpFileName));
        QVERIFY(built.open(QIODevice::ReadOnly));
        const QByteArray whole = built.readAll();
        qputenv("HOURLOOM_DATA_DIR", QFile::encodeName(env->dir.path()));
        const QString path = env->path(kHelpFileName);
        for (const QByteArray& content :
             {QByteArray(), QByteArray("<html>hi</html>\n").repeated(50),
              whole.left(whole.size() / 3), whole.left(96)}) {
            env->prompts.shown.clear();
            QFile file(path);
            QVERIFY(content.isEmpty() || (file.open(QIODevice::WriteOnly) && file.write(content)));
            file.close();
            viewer.open(nullptr, "TimeControl.htm");
            const QString told = env->prompts.texts().join('|');
            if (told.isEmpty())
                QCOMPARE(viewer.window()->browser()->documentTitle(),
                         QStringLiteral("Time Control"));
            else
                QVERIFY2(told == helpFileUnreadableText(path) ||
                             (content.startsWith("ITSF") &&
                              told == helpTopicMissingText("TimeControl.htm", path)),
                         qPrintable(told));
        }
    }
};

QTEST_MAIN(TestResident)
#include "test_resident.moc"
