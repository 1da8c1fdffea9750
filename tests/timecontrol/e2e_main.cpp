#include "FormRegistry.h"
#include "Main.h"
#include "Records.h"
#include "ResidentShell.h"
#include "Schema.h"
#include "Shell.h"
#include "TestEnvironment.h"
#include "frmClock.h"
#include "frmControl.h"

#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTimeEdit>

// From start-up with a fresh settings folder and database to a record in the
// file: the begin set to 9:00, a client and a work code picked, Add Time.
class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void recordsASpanFromStartUp() {
        TestEnvironment env;
        const QDateTime now(QDate(2026, 3, 11), QTime(10, 15, 40));
        env.clockNow.set(now);
        env.openNewDatabase().exec("INSERT INTO tblClient VALUES (10, 'Acme');"
                                   "INSERT INTO tblWork VALUES (7, 'Design');"
                                   "INSERT INTO tblWork VALUES (8, 'Build');");
        env.settingsStore->setText(keys::Emp, "Pat");
        env.state.gDataBase.reset(); // start-up opens it itself
        FormRegistry registry;
        ResidentShell resident;
        services().forms = &registry;
        setShell(&resident);

        Main();
        // Without a notification area the program says so once; nothing else is asked.
        QVERIFY(env.prompts.shown.size() <= 1);
        const size_t messages = env.prompts.shown.size();
        auto* w = static_cast<frmControl*>(registry.show(Form::Control));
        w->span()->dtBeginTime->setTime(QTime(9, 0)); // the user's change
        w->clientPair()->first()->setCurrentRow(0);
        w->clientPair()->pairFrom(w->clientPair()->first());
        w->workPair()->second()->setCurrentRow(1);
        w->workPair()->pairFrom(w->workPair()->second());
        appState().gIdleCount = 3;
        QTest::mouseClick(w->findChild<QWidget*>("cmdAdd"), Qt::LeftButton);
        QCOMPARE(env.prompts.shown.size(), messages);
        QCOMPARE(w->span()->begin(), QDateTime(now.date(), QTime(10, 15)));
        QCOMPARE(w->findChild<QLabel*>("ssStatusPanel5")->text(), "1HRs 15Mins");
        QCOMPARE(appState().gIdleCount, 0);

        registry.destroyAll();
        appState().gDataBase.reset();
        store::Database file = store::connectDataBase(env.path("Hourloom.HL1"), "Hourloom.HL1");
        const store::ActivityRecord expected{
            now,  {now.date(), QTime(9, 0)}, {now.date(), QTime(10, 15)}, 10, "Acme", 8, "Build",
            "Pat"};
        QVERIFY(store::recentRecords(file, "Pat", {now.date(), QTime(0, 0)},
                                     store::RecentOrder::EndTimeDesc) == std::vector{expected});
        setShell(nullptr);
        services().forms = &env.windows;
    }

    // Both recording windows open at once (the reminder brings Time Control
    // up over the Activity Log), one changes its dates, the other records.
    void eachWindowDatesItsOwnRecords_data() {
        QTest::addColumn<bool>("controlRecords");
        QTest::addColumn<QDateTime>("begin");
        QTest::addColumn<QDateTime>("end");
        const QDate today(2026, 3, 11), shown(2026, 3, 3);
        QTest::newRow("log holds a past record, Time Control records")
            << true << QDateTime(today, QTime(9, 0)) << QDateTime(today, QTime(10, 15));
        QTest::newRow("Time Control reloads, the log records its day")
            << false << QDateTime(shown, QTime(15, 0)) << QDateTime(shown, QTime(15, 15));
    }
    void eachWindowDatesItsOwnRecords() {
        QFETCH(bool, controlRecords);
        QFETCH(QDateTime, begin);
        QFETCH(QDateTime, end);
        TestEnvironment env;
        env.clockNow.set(QDateTime(QDate(2026, 3, 11), QTime(10, 15, 40)));
        store::Database& db = env.openNewDatabase();
        db.exec("INSERT INTO tblClient VALUES (10, 'Acme'); INSERT INTO tblWork VALUES (7, 'W')");
        env.state.gEmployee = "Pat";
        const QDateTime past(QDate(2026, 3, 3), QTime(14, 0));
        store::appendRecord(db, {past, past, past.addSecs(3600), 10, "Acme", 7, "W", "Pat"});
        env.settingsStore->setText(keys::Emp, "Pat");
        FormRegistry registry;
        auto* log = static_cast<frmClock*>(registry.show(Form::Clock));
        auto* control = static_cast<frmControl*>(registry.show(Form::Control));
        log->MVDate_Click(past.date());
        if (controlRecords) {
            log->Dayslist_MouseDown(0);
            control->clientPair()->first()->setCurrentRow(0);
            control->workPair()->first()->setCurrentRow(0);
            control->span()->dtBeginTime->setTime(QTime(9, 0));
        } else {
            control->cmdUndo_Click();
        }
        QTest::mouseClick(
            (controlRecords ? static_cast<QWidget*>(control) : log)->findChild<QWidget*>("cmdAdd"),
            Qt::LeftButton);
        std::vector<store::ActivityRecord> found = store::dayRecords(db, "Pat", begin.date());
        std::erase_if(found, [&](const auto& r) { return r.date == past; });
        QCOMPARE(found.size(), size_t(1));
        QCOMPARE(found[0].beginTime, begin);
        QCOMPARE(found[0].endTime, end);
    }
};

QTEST_MAIN(TestEndToEnd)
#include "e2e_main.moc"
