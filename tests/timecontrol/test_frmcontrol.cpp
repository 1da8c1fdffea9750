#include "ControlFixture.h"
#include "SavedLayout.h"

#include <QGroupBox>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

const QChar CR(13);

// Stands in for a loaded Activity Log: records the layout it is given.
class LayoutProbe : public QWidget, public SavedLayoutTarget {
public:
    std::optional<SavedLayout> applied;
    void applyLayout(const SavedLayout& layout) override { applied = layout; }
};

} // namespace

Q_DECLARE_METATYPE(Form)

class TestFrmControl : public QObject {
    Q_OBJECT

    std::unique_ptr<ControlFixture> f;
    using F = ControlFixture;

private slots:
    void init() { f = std::make_unique<ControlFixture>(); }
    void cleanup() { f.reset(); }

    void loadsWithTheDefaultLayout() {
        FrmControl* w = f->open();
        QCOMPARE(w->windowTitle(), QStringLiteral("Hourloom"));
        QVERIFY(w->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(F::child<QLabel>(w, "lblClient1")->text(), QStringLiteral("Client"));
        QCOMPARE(F::child<QLabel>(w, "lblClient2")->text(), QStringLiteral("Client Number"));
        QCOMPARE(F::child<QLabel>(w, "lblWork1")->text(), QStringLiteral("Work"));
        QCOMPARE(F::child<QLabel>(w, "lblWork2")->text(), QStringLiteral("Code"));
        QCOMPARE(F::child<QGroupBox>(w, "Frame2")->title(), QStringLiteral("Client Information"));
        QVERIFY(w->clientPair()->secondVisible() && w->workPair()->secondVisible());
        QCOMPARE(w->clientPair()->firstWidth(), 2055);
        QCOMPARE(w->workPair()->firstWidth(), 1800);
        QCOMPARE(F::child<QToolButton>(w, "cmdClient")->toolTip(),
                 QStringLiteral("Client Information Input"));
        for (QToolButton* button : w->findChildren<QToolButton*>())
            QCOMPARE(button->accessibleName(), button->toolTip());
        QVERIFY(w->span()->Timer1->isActive());
        QCOMPARE(F::child<QTimer>(w, "Timer2")->interval(), 60000);
        QCOMPARE(appState().intMinTimer, qint16(15));
    }

    void headingClickTogglesTheSecondListAndSavesIt() {
        FrmControl* w = f->open();
        QTest::mouseClick(F::child<QLabel>(w, "lblClient2"), Qt::LeftButton);
        QVERIFY(F::list(w, "lstClient2")->isHidden());
        QCOMPARE(w->clientPair()->firstWidth(), 3135);
        QCOMPARE(settings().read("frmControl", "lstClient2Vis", "?"), QStringLiteral("False"));
        QCOMPARE(settings().read("frmControl", "lstClient1Wit", "?"), QStringLiteral("3135"));
        QTest::mouseClick(F::child<QLabel>(w, "lblClient2"), Qt::LeftButton);
        QVERIFY(!F::list(w, "lstClient2")->isHidden());
        QCOMPARE(settings().read("frmControl", "lstClient2Vis", "?"), QStringLiteral("True"));
        QCOMPARE(settings().read("frmControl", "lstClient1Wit", "?"), QStringLiteral("2055"));
        // The work frame toggles the work pair with its own widths.
        QTest::mouseClick(F::child<QGroupBox>(w, "Frame1"), Qt::LeftButton);
        QCOMPARE(w->workPair()->firstWidth(), 2685);
        QCOMPARE(settings().read("frmControl", "lstWork1Wit", "?"), QStringLiteral("2685"));
    }

    void storedWidthReachesBothWindows() {
        settings().write("frmControl", "lstClient1Wit", "2400");
        settings().write("frmControl", "lblClient1", "Project");
        auto* probe = new LayoutProbe;
        f->env->windows.factories[Form::Clock] = [probe] { return probe; };
        f->env->windows.show(Form::Clock);
        FrmControl* w = f->open();
        QCOMPARE(w->clientPair()->firstWidth(), 2400);
        QVERIFY(probe->applied);
        QCOMPARE(activityLogClient1Width(probe->applied->client1Width), 3135);
        QCOMPARE(probe->applied->lblClient1, QStringLiteral("Project"));
        QCOMPARE(F::child<QToolButton>(w, "cmdClient")->toolTip(),
                 QStringLiteral("Project Information Input"));
    }

    void beginsAtTheLatestRecentEndWithItsCodesSelected() {
        f->addRecord(F::today(9, 0), F::today(10, 15, 40), 20, 8);
        f->addRecord(F::today(8, 0), F::today(9, 0), 10, 7);
        f->addRecord(F::today(11, 0), F::today(12, 14), 10, 7, QStringLiteral("Sam"));
        FrmControl* w = f->open();
        QCOMPARE(F::begin(w), F::today(10, 15));
        QCOMPARE(appState().gBeginDate, F::today(0, 0));
        QCOMPARE(F::list(w, "lstClient1")->currentItem()->text(), QStringLiteral("Birch"));
        QCOMPARE(F::list(w, "lstClient2")->currentItem()->text(), QStringLiteral("20"));
        QCOMPARE(F::list(w, "lstWork1")->currentItem()->text(), QStringLiteral("Build"));
        QCOMPARE(F::list(w, "lstWork2")->currentItem()->text(), QStringLiteral("8"));
        QCOMPARE(F::panel(w, 1), QStringLiteral("Birch "));
        QCOMPARE(F::panel(w, 2), QStringLiteral("20 "));
        QCOMPARE(F::panel(w, 3), QStringLiteral("Build "));
        QCOMPARE(F::panel(w, 4), QStringLiteral("8 "));
        QCOMPARE(F::panel(w, 5), QStringLiteral("1HRs 16Mins"));
        QCOMPARE(w->span()->txtTimeMin->text(), QStringLiteral("120"));
    }

    void aRecordOlderThanFiveHoursCountsAsNone() {
        f->addRecord(F::today(6, 0), F::today(7, 14), 20, 8);
        FrmControl* w = f->open();
        QCOMPARE(F::begin(w), F::today(11, 15));
        QCOMPARE(ListPair::selectedRow(F::list(w, "lstClient1")), -1);
        QCOMPARE(ListPair::selectedRow(F::list(w, "lstWork2")), -1);
        const QStringList panels{F::panel(w, 1), F::panel(w, 2), F::panel(w, 3), F::panel(w, 4),
                                 F::panel(w, 5)};
        QCOMPARE(panels,
                 (QStringList{"Brightmere LLC Product. ", "Hourloom ", "  ", "  ", "About Time"}));
        QVERIFY(F::child<QLabel>(w, "ssStatusPanel5")->alignment() & Qt::AlignHCenter);
    }

    void halfPastMidnightBeginsYesterday() {
        f->env->clockNow.set(F::today(0, 30));
        FrmControl* w = f->open();
        QCOMPARE(F::begin(w), QDateTime(QDate(2026, 3, 10), QTime(23, 30)));
        QCOMPARE(w->span()->dtEnd->date(), QDate(2026, 3, 11));
        QCOMPARE(w->span()->txtTimeMin->text(), QStringLiteral("60"));
    }

    void severalRowsWithTheNumberSelectTheLast() {
        f->db().exec("INSERT INTO tblClient VALUES (20, 'Birch Annex')");
        f->addRecord(F::today(9, 0), F::today(11, 0), 20, 8);
        FrmControl* w = f->open();
        QCOMPARE(F::list(w, "lstClient1")->currentItem()->text(), QStringLiteral("Birch Annex"));
        QCOMPARE(ListPair::selectedRow(F::list(w, "lstClient2")), 2);
    }

    void aRecordEndingTomorrowHoldsTheEndAtItsBegin() {
        const QDateTime tomorrow(QDate(2026, 3, 12), QTime(9, 30));
        f->addRecord(F::today(9, 0), tomorrow, 20, 8);
        FrmControl* w = f->open();
        QCOMPARE(F::begin(w), tomorrow);
        f->env->clockNow.advanceSecs(60);
        w->span()->Timer1_Timer();
        QCOMPARE(w->span()->end(), tomorrow);
        QCOMPARE(appState().gEndDate, QDateTime(QDate(2026, 3, 12), QTime(0, 0)));
        QCOMPARE(w->span()->txtTimeMin->text(), QStringLiteral("0"));
    }

    void emptyCodeTablesOpenTheirHelpTopic() {
        f->db().exec("DELETE FROM tblWork");
        f->open()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(f->env->helpCalls.calls.empty());
        f->db().exec("DELETE FROM tblClient");
        FrmControl* w = f->open();
        QCOMPARE(f->env->helpCalls.calls.size(), size_t(1));
        QCOMPARE(f->env->helpCalls.calls[0].topic, QStringLiteral("EmptyInformation.htm"));
        QCOMPARE(f->env->helpCalls.calls[0].owner.data(), w);
        QCOMPARE(F::list(w, "lstClient1")->count(), 0);
    }

    void recordingAppendsTheSpanAndMovesTheBegin() {
        f->env->clockNow.set(F::today(10, 15, 40));
        FrmControl* w = f->open();
        w->span()->dtBeginTime->setTime(QTime(9, 0)); // the user's change
        F::list(w, "lstClient2")->setCurrentRow(1);
        w->clientPair()->pairFrom(F::list(w, "lstClient2"));
        F::list(w, "lstWork1")->setCurrentRow(0);
        w->workPair()->pairFrom(F::list(w, "lstWork1"));
        appState().gIdleCount = 3;
        f->env->clockNow.set(F::today(10, 15, 50));
        w->cmdAdd_Click();

        const auto rows =
            store::recentRecords(f->db(), "Pat", F::today(0, 0), store::RecentOrder::EndTimeDesc);
        QCOMPARE(rows.size(), size_t(1));
        QCOMPARE(rows[0].beginTime, F::today(9, 0));
        QCOMPARE(rows[0].endTime, F::today(10, 15));
        QCOMPARE(rows[0].date, F::today(10, 15, 50));
        QCOMPARE(rows[0].clientNumber, 20);
        QCOMPARE(rows[0].clientName, QStringLiteral("Birch"));
        QCOMPARE(rows[0].workCode, 7);
        QCOMPARE(rows[0].workDescription, QStringLiteral("Design"));
        QCOMPARE(F::begin(w), F::today(10, 15));
        QCOMPARE(F::panel(w, 1), QStringLiteral("Birch "));
        QCOMPARE(F::panel(w, 5), QStringLiteral("1HRs 15Mins"));
        QVERIFY(w->span()->Timer1->isActive());
        QCOMPARE(appState().gIdleCount, 0);
        QVERIFY(f->env->prompts.shown.empty());
    }

    void recordingRefusals_data() {
        QTest::addColumn<bool>("selectClient");
        QTest::addColumn<bool>("zeroSpan");
        QTest::addColumn<QString>("message");
        QTest::newRow("zero span")
            << true << true << "Activity was not recorded.  Time selected to record is at 0.";
        QTest::newRow("no client")
            << false << false
            << QString("Client information was not selected.") + CR +
                   " Both Client and work information need to be selected to record activity.";
    }
    void recordingRefusals() {
        QFETCH(bool, selectClient);
        QFETCH(bool, zeroSpan);
        QFETCH(QString, message);
        FrmControl* w = f->open();
        if (selectClient)
            F::list(w, "lstClient1")->setCurrentRow(0), F::list(w, "lstClient2")->setCurrentRow(0);
        F::list(w, "lstWork1")->setCurrentRow(0);
        F::list(w, "lstWork2")->setCurrentRow(0);
        if (zeroSpan)
            w->span()->dtEndTime->setTime(w->span()->dtBeginTime->time());
        w->cmdAdd_Click();
        QCOMPARE(f->recordCount(), 0);
        QCOMPARE(f->env->prompts.shown.size(), size_t(1));
        QCOMPARE(f->env->prompts.last().text, message);
        QCOMPARE(f->env->prompts.last().title, QStringLiteral("Activity NOT Recorded"));
        QCOMPARE(f->env->prompts.last().icon, MsgIcon::Critical);
    }

    void aFailingAppendIsReportedAndChangesNothing() {
        f->db().exec("CREATE TRIGGER refuse BEFORE INSERT ON tblTimeSheet "
                     "BEGIN SELECT RAISE(ABORT, 'disk is full'); END");
        FrmControl* w = f->open();
        F::list(w, "lstClient1")->setCurrentRow(0);
        F::list(w, "lstClient2")->setCurrentRow(0);
        F::list(w, "lstWork1")->setCurrentRow(0);
        F::list(w, "lstWork2")->setCurrentRow(0);
        const QDateTime beginBefore = F::begin(w);
        w->cmdAdd_Click();
        QCOMPARE(f->recordCount(), 0);
        QCOMPARE(f->env->prompts.shown.size(), size_t(1));
        QVERIFY(f->env->prompts.last().text.startsWith("The activity was not recorded."));
        QVERIFY(f->env->prompts.last().text.contains("disk is full"));
        QCOMPARE(F::begin(w), beginBefore);
        QCOMPARE(ListPair::selectedRow(F::list(w, "lstClient1")), 0);
        QVERIFY(w->isVisible());
    }

    void undoTakesBackRecentRecordsOneByOne() {
        f->env->clockNow.set(F::today(16, 0));
        f->addRecord(F::today(13, 0), F::today(14, 0), 10, 7);
        f->addRecord(F::today(14, 0), F::today(15, 0), 20, 8);
        f->addRecord(F::today(14, 0), F::today(15, 0), 20, 8, QStringLiteral("Sam"));
        FrmControl* w = f->open();
        w->cmdUndo_Click();
        QCOMPARE(F::begin(w), F::today(14, 0));
        QCOMPARE(F::list(w, "lstClient1")->currentItem()->text(), QStringLiteral("Acme"));
        w->cmdUndo_Click();
        QCOMPARE(F::begin(w), F::today(15, 0)); // one hour before now: nothing recent left
        QCOMPARE(F::panel(w, 1), QStringLiteral("Brightmere LLC Product. "));
        QCOMPARE(f->recordCount(), 1); // only the other employee's record is left
    }

    void undoLeavesOlderRecordsAlone() {
        f->addRecord(F::today(5, 0), F::today(6, 15), 20, 8);
        FrmControl* w = f->open();
        w->cmdUndo_Click();
        QCOMPARE(f->recordCount(), 1);
    }

    void idleCloseAtTheFifthTickAfterTheLatestReset() {
        FrmControl* w = f->open();
        QPointer<FrmControl> alive(w);
        for (int i = 0; i < 3; ++i)
            w->Timer2_Timer();
        w->span()->Label4_Click(); // resets the count, not the timer
        for (int i = 0; i < 4; ++i)
            w->Timer2_Timer();
        QVERIFY(w->isVisible());
        QCOMPARE(f->env->windows.trackTimeCalls, 0);
        appState().gMinuteCount = 9;
        w->Timer2_Timer();
        QVERIFY(!w->isVisible());
        QCOMPARE(appState().gIdleCount, 0);
        QCOMPARE(appState().gMinuteCount, 0);
        QCOMPARE(f->env->windows.trackTimeCalls, 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!alive);
    }

    void buttonsShowTheOtherWindowThenUnloadThisOne_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<Form>("form");
        QTest::newRow("client") << "cmdClient" << Form::Client;
        QTest::newRow("work") << "cmdUtil" << Form::Work;
        QTest::newRow("settings") << "cmdTime" << Form::Setup;
        QTest::newRow("report") << "cmdReport" << Form::Report;
    }
    void buttonsShowTheOtherWindowThenUnloadThisOne() {
        QFETCH(QString, button);
        QFETCH(Form, form);
        FrmControl* w = f->open();
        f->env->windows.onTrackTime = [this, form] {
            QCOMPARE(f->env->windows.shownForms.back(), form); // shown before the unload
        };
        QTest::mouseClick(F::child<QToolButton>(w, button.toLatin1()), Qt::LeftButton);
        QCOMPARE(f->env->windows.trackTimeCalls, 1);
        QVERIFY(!w->isVisible());
    }

    void activityLogIsAlwaysLoadedAfresh() {
        f->env->windows.factories[Form::Clock] = [] { return new QWidget; };
        QPointer<QWidget> first = f->env->windows.show(Form::Clock);
        FrmControl* w = f->open();
        w->cmdInput_Click();
        QWidget* second = f->env->windows.find(Form::Clock);
        QVERIFY(second && second != first && second->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!first);
        QVERIFY(!w->isVisible());
    }

    void helpButtonOpensTheTopic() {
        FrmControl* w = f->open();
        QTest::mouseClick(F::child<QToolButton>(w, "cmdHelp"), Qt::LeftButton);
        QCOMPARE(f->env->helpCalls.calls.back().topic, QStringLiteral("TimeControl.htm"));
        QCOMPARE(f->env->helpCalls.calls.back().owner.data(), w);
    }
};

QTEST_MAIN(TestFrmControl)
#include "test_frmcontrol.moc"
