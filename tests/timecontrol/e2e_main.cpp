#include "FormRegistry.h"
#include "FrmControl.h"
#include "Main.h"
#include "Records.h"
#include "ResidentShell.h"
#include "Schema.h"
#include "Shell.h"
#include "TestEnvironment.h"

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
        auto* w = static_cast<FrmControl*>(registry.show(Form::Control));
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
};

QTEST_MAIN(TestEndToEnd)
#include "e2e_main.moc"
