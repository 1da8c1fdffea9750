#include "Records.h"
#include "SavedLayout.h"
#include "TestEnvironment.h"
#include "TimeControlForms.h"
#include "frmControl.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimeEdit>
#include <QToolButton>

namespace {
QDateTime today(int h, int m, int s = 0) {
    return QDateTime(QDate(2026, 3, 11), QTime(h, m, s));
}
// Stands in for a loaded Activity Log: records the layout it is given.
struct LayoutProbe : QWidget, SavedLayoutTarget {
    std::optional<SavedLayout> applied;
    void applyLayout(const SavedLayout& layout) override { applied = layout; }
};
} // namespace

// Clients 10 Acme and 20 Birch, work codes 7 Design and 8 Build, employee
// Pat, the clock at 12:15 PM.
class TestFrmControl : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;

    store::Database& db() { return env->db(); }
    void add(const QDateTime& begin, const QDateTime& end, int client = 20, int work = 8,
             const QString& employee = "Pat") {
        store::appendRecord(db(), {begin, begin, end, client, client == 10 ? "Acme" : "Birch", work,
                                   work == 7 ? "Design" : "Build", employee});
    }
    qint64 count() {
        store::Statement query(db(), "SELECT count(*) FROM tblTimeSheet");
        return query.step() ? query.int64(0) : -1;
    }
    frmControl* open() {
        auto* window = static_cast<frmControl*>(env->windows.show(Form::Control));
        window->span()->Timer1_Timer(); // the first tick after load
        return window;
    }
    template <class T = QWidget> static T* child(QWidget* w, const QString& name) {
        return w->findChild<T*>(name);
    }
    static void click(QWidget* w, const QString& name) {
        QTest::mouseClick(child(w, name), Qt::LeftButton);
    }
    static void choose(ListPair* pair, int row) {
        pair->first()->setCurrentRow(row);
        pair->pairFrom(pair->first());
    }
    static QStringList selected(frmControl* w) {
        QStringList texts;
        for (const char* name : {"lstClient1", "lstClient2", "lstWork1", "lstWork2"})
            texts << ListPair::selectedText(child<QListWidget>(w, name));
        return texts;
    }
    // Presses Tab until `target` has the focus, as a keyboard user gets there.
    static void tabTo(QWidget* target) {
        for (int i = 0; i < 40 && QApplication::focusWidget() != target; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), target);
    }
    static QStringList panels(QWidget* w) {
        QStringList texts;
        for (int i = 1; i <= 5; ++i)
            texts << child<QLabel>(w, QStringLiteral("ssStatusPanel%1").arg(i))->text();
        return texts;
    }

private slots:
    void init() {
        env = std::make_unique<TestEnvironment>();
        env->clockNow.set(today(12, 15));
        env->openNewDatabase().exec(
            "INSERT INTO tblClient VALUES (10, 'Acme'); INSERT INTO tblClient VALUES (20, 'Birch');"
            "INSERT INTO tblWork VALUES (7, 'Design'); INSERT INTO tblWork VALUES (8, 'Build');");
        env->settingsStore->setText(keys::Emp, "Pat");
        env->windows.factories[Form::Control] = [] { return createFrmControl(); };
    }
    void cleanup() { env.reset(); }

    // Settings empty but for a width and the client word; a loaded Activity
    // Log gets the same layout.
    void layoutAndSecondListToggle() {
        settings().write("frmControl", "lstClient1Wit", "2400");
        settings().write("frmControl", "lblClient1", "Project");
        auto* log = new LayoutProbe;
        env->windows.factories[Form::Clock] = [log] { return log; };
        env->windows.show(Form::Clock);
        frmControl* w = open();
        QCOMPARE(w->windowTitle(), "Hourloom");
        QVERIFY(w->windowFlags() & Qt::WindowStaysOnTopHint);
        QStringList headings{child<QGroupBox>(w, "Frame2")->title()};
        for (const char* name : {"lblClient1", "lblClient2", "lblWork1", "lblWork2"})
            headings << child<QLabel>(w, name)->text();
        QCOMPARE(headings,
                 (QStringList{"Client Information", "Project", "Client Number", "Work", "Code"}));
        QVERIFY(log->applied && log->applied->lblClient1 == "Project");
        QCOMPARE(activityLogClient1Width(log->applied->client1Width), 3135);
        QCOMPARE(w->clientPair()->firstWidth(), 2400);
        QCOMPARE(child(w, "cmdClient")->toolTip(), "Project Information Input");
        for (QToolButton* button : w->findChildren<QToolButton*>())
            QCOMPARE(button->accessibleName(), button->toolTip());
        click(w, "cmdHelp");
        QCOMPARE(env->helpCalls.calls.back().topic, "TimeControl.htm");

        const auto saved = [](const char* visible, const char* width) {
            return settings().read("frmControl", visible, "?") + ' ' +
                   settings().read("frmControl", width, "?");
        };
        click(w, "lblClient2");
        QVERIFY(w->clientPair()->second()->isHidden());
        QCOMPARE(w->clientPair()->firstWidth(), 3135);
        QCOMPARE(saved("lstClient2Vis", "lstClient1Wit"), "False 3135");
        click(w, "lblClient2");
        QCOMPARE(saved("lstClient2Vis", "lstClient1Wit"), "True 2055");
        click(w, "Frame1"); // the work pair, with its own widths
        QCOMPARE(saved("lstWork2Vis", "lstWork1Wit"), "False 2685");
        QVERIFY(!w->clientPair()->second()->isHidden() && w->workPair()->second()->isHidden());
    }

    // Pat's record (client 20, work 8) ends at `recordEnd`, Sam's a minute
    // before now; checked a minute after the window opened.
    void recentActivity_data() {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("recordEnd");
        QTest::addColumn<QDateTime>("begin");
        QTest::addColumn<QDateTime>("end");
        QTest::addColumn<bool>("counted");
        const QDateTime tomorrow(QDate(2026, 3, 12), QTime(9, 30));
        QTest::newRow("5 h ago") << today(12, 15) << today(7, 15, 40) << today(7, 15)
                                 << today(12, 16) << true;
        QTest::newRow("5 h 01 min ago")
            << today(12, 15) << today(7, 14) << today(11, 15) << today(12, 16) << false;
        QTest::newRow("0:30 AM") << today(0, 30) << QDateTime() << today(23, 30).addDays(-1)
                                 << today(0, 31) << false;
        QTest::newRow("ending tomorrow")
            << today(12, 15) << tomorrow << tomorrow << tomorrow << true;
    }
    void recentActivity() {
        QFETCH(QDateTime, now);
        QFETCH(QDateTime, recordEnd);
        QFETCH(QDateTime, begin);
        QFETCH(QDateTime, end);
        QFETCH(bool, counted);
        env->clockNow.set(now);
        db().exec("INSERT INTO tblClient VALUES (20, 'Birch 2')"); // the last with number 20
        add(now.addSecs(-3600), now.addSecs(-60), 20, 8, "Sam");
        if (recordEnd.isValid())
            add(recordEnd.addSecs(-3600), recordEnd);
        frmControl* w = open();
        env->clockNow.advanceSecs(60);
        w->span()->Timer1_Timer();
        QCOMPARE(w->span()->begin(), begin);
        QCOMPARE(w->span()->end(), end);
        QCOMPARE(w->span()->txtTimeMin->text(), QString::number(begin.secsTo(end) / 60));
        QCOMPARE(selected(w),
                 (counted ? QStringList{"Birch 2", "20", "Build", "8"} : QStringList(4)));
    }

    void emptyCodeTablesOpenTheirHelpTopic() {
        db().exec("DELETE FROM tblWork");
        frmControl* w = open();
        QVERIFY(env->helpCalls.calls.empty());
        db().exec("DELETE FROM tblClient");
        w->frmControlLoadRecords();
        QCOMPARE(env->helpCalls.calls.size(), size_t(1));
        QCOMPARE(env->helpCalls.calls[0].topic, "EmptyInformation.htm");
        QCOMPARE(env->helpCalls.calls[0].owner.data(), w);
    }

    void refusedRecording_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("title");
        QTest::newRow("zero span") << "Activity was not recorded.  Time selected to record is at 0."
                                   << "Activity NOT Recorded";
        QTest::newRow("no client") << "Client information was not selected.\r Both Client and "
                                      "work information need to be selected to record activity."
                                   << "Activity NOT Recorded";
        QTest::newRow("append fails")
            << "The activity was not recorded.\rCannot use the database DB: disk is full."
            << "Hourloom";
    }
    void refusedRecording() {
        QFETCH(QString, message);
        QFETCH(QString, title);
        const QString fault = QTest::currentDataTag();
        if (fault == "append fails")
            db().exec("CREATE TRIGGER refuse BEFORE INSERT ON tblTimeSheet "
                      "BEGIN SELECT RAISE(ABORT, 'disk is full'); END");
        frmControl* w = open();
        if (fault != "no client")
            choose(w->clientPair(), 0);
        choose(w->workPair(), 0);
        if (fault == "zero span")
            w->span()->dtEndTime->setTime(w->span()->dtBeginTime->time());
        const QDateTime begin = w->span()->begin();
        w->cmdAdd_Click();
        QCOMPARE(count(), 0);
        QCOMPARE(env->prompts.texts().replaceInStrings(env->path("Hourloom.HL1"), "DB"),
                 QStringList{message});
        QCOMPARE(env->prompts.last().title, title);
        QCOMPARE(env->prompts.last().icon, MsgIcon::Critical);
        QCOMPARE(w->span()->begin(), begin);
    }

    void aRecordThatCannotBeReadIsReportedOnce() {
        db().exec("PRAGMA ignore_check_constraints = ON; INSERT INTO tblTimeSheet VALUES "
                  "('2026-03-11 11:00:00', '2026-03-11 10:00:00', '2026-03-11T11:00:00', 20, "
                  "'Birch', 8, 'Build', 'Pat')");
        open();
        QCOMPARE(env->prompts.shown.size(), std::size_t(1));
        QVERIFY(env->prompts.last().text.contains("2026-03-11T11:00:00"));
    }

    void undoTakesBackRecentRecordsOneByOne() {
        env->clockNow.set(today(16, 0));
        add(today(9, 0), today(10, 0)); // six hours ago
        add(today(13, 0), today(14, 0), 10, 7);
        add(today(14, 0), today(15, 0));
        add(today(14, 0), today(15, 0), 20, 8, "Sam");
        frmControl* w = open();
        w->cmdUndo_Click();
        QCOMPARE(w->span()->begin(), today(14, 0));
        QCOMPARE(selected(w), (QStringList{"Acme", "10", "Design", "7"}));
        QCOMPARE(panels(w), (QStringList{"Acme ", "10 ", "Design ", "7 ", "1HRs 0Mins"}));
        w->cmdUndo_Click();
        w->cmdUndo_Click();
        QCOMPARE(w->span()->begin(), today(15, 0));
        QCOMPARE(panels(w),
                 (QStringList{"Brightmere LLC Product. ", "Hourloom ", "  ", "  ", "About Time"}));
        QVERIFY(child<QLabel>(w, "ssStatusPanel5")->alignment() & Qt::AlignHCenter);
        QCOMPARE(count(), 2);
    }

    // The latest record (Acme 10, Design 7) is preselected; one list is moved
    // a row down with the keyboard alone and the span recorded with it.
    void keyboardKeepsEachPairOnOneRow_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QStringList>("recorded");
        QTest::newRow("second client list")
            << "lstClient2" << QStringList{"20", "Birch", "7", "Design"};
        QTest::newRow("first work list") << "lstWork1" << QStringList{"10", "Acme", "8", "Build"};
    }
    void keyboardKeepsEachPairOnOneRow() {
        QFETCH(QString, list);
        QFETCH(QStringList, recorded);
        add(today(10, 0), today(11, 15), 10, 7);
        frmControl* w = open();
        QVERIFY(QTest::qWaitForWindowActive(w));
        child(w, "lstClient1")->setFocus();
        tabTo(child(w, list));
        QTest::keyClick(child(w, list), Qt::Key_Down);
        tabTo(child(w, "cmdAdd"));
        QTest::keyClick(child(w, "cmdAdd"), Qt::Key_Space);
        const auto stored = store::dayRecords(db(), "Pat", QDate(2026, 3, 11));
        QCOMPARE(stored.size(), size_t(2));
        const store::ActivityRecord& r = stored.back();
        QCOMPARE((QStringList{QString::number(r.clientNumber), r.clientName,
                              QString::number(r.workCode), r.workDescription}),
                 recorded);
    }

    void idleCloseAtTheFifthTickAfterTheLatestReset() {
        frmControl* w = open();
        for (int i = 0; i < 3; ++i)
            w->Timer2_Timer();
        w->span()->Label4_Click(); // resets the count, not the timer
        for (int i = 0; i < 4; ++i)
            w->Timer2_Timer();
        QVERIFY(w->isVisible());
        appState().gMinuteCount = 9;
        w->Timer2_Timer();
        QVERIFY(!w->isVisible());
        QCOMPARE(appState().gIdleCount, 0);
        QCOMPARE(appState().gMinuteCount, 0);
        QCOMPARE(env->windows.trackTimeCalls, 1);
    }
};

QTEST_MAIN(TestFrmControl)
#include "test_frmcontrol.moc"
