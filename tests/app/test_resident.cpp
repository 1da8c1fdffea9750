// The resident program: the capture reminder, the tray window without a
// notification area, and what System Info and help say when they cannot help.
#include "DataFiles.h"
#include "HelpViewer.h"
#include "Records.h"
#include "TestEnvironment.h"
#include "TrackTime.h"
#include "frmAbout.h"
#include "frmMain.h"

#include <QFile>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

QDateTime at(int hour, int minute = 0) {
    return QDateTime(QDate(2026, 3, 10), QTime(hour, minute));
}

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

private slots:
    void init() {
        env = std::make_unique<TestEnvironment>();
        env->windows.factories[Form::Control] = [] { return new QWidget; };
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

    // The offscreen desktop has no notification area: told once, and the
    // window stays reachable while the minutes are counted.
    void withoutATrayTheWindowStaysShown() {
        env->state.intMinTimer = 15;
        frmMain main;
        QCOMPARE(env->prompts.texts(), QStringList{noTrayText()});
        main.trackTime();
        QVERIFY(!main.usesTray() && main.isVisible() && main.findChild<QMenuBar*>());
    }

    void systemInfoWithoutAToolIsTold() {
        qputenv("PATH", QFile::encodeName(env->dir.path()));
        frmAbout about;
        about.findChild<QPushButton*>("cmdSysInfo")->click();
        QCOMPARE(env->prompts.texts(),
                 QStringList{"System Information Is Unavailable At This Time"});
    }

    void unknownTopicOrMissingFileIsTold() {
        HelpViewer viewer;
        viewer.open(nullptr, "NoSuchTopic.htm");
        QCOMPARE(env->prompts.texts(),
                 QStringList{"The help topic NoSuchTopic.htm is not in the help file:\r" +
                             installedDataFile(kHelpFileName)});
        qputenv("HOURLOOM_DATA_DIR", QFile::encodeName(env->dir.path()));
        viewer.open(nullptr, "TimeControl.htm");
        QCOMPARE(env->prompts.last().text,
                 "The help file could not be opened:\r" + env->path(kHelpFileName) +
                     "\rIt is missing or damaged. Installing Hourloom again restores it.");
        QVERIFY(!viewer.window());
    }
};

QTEST_MAIN(TestResident)
#include "test_resident.moc"
