#include "Records.h"
#include "TestEnvironment.h"
#include "TimeControlForms.h"
#include "frmControl.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimeEdit>

namespace {
QDateTime today(int h, int m, int s = 0) {
    return QDateTime(QDate(2026, 3, 11), QTime(h, m, s));
}
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
    std::vector<store::ActivityRecord> stored() {
        return store::dayRecords(db(), "Pat", QDate(2026, 3, 11));
    }
    frmControl* open() {
        auto* window = static_cast<frmControl*>(env->windows.show(Form::Control));
        window->span()->Timer1_Timer(); // the first tick after load
        return window;
    }
    static QWidget* child(QWidget* w, const QString& name) { return w->findChild<QWidget*>(name); }
    // The selected texts of the client pair and the work pair.
    static QStringList selected(frmControl* w) {
        QStringList out;
        for (ListPair* pair : {w->clientPair(), w->workPair()})
            out << ListPair::selectedText(pair->first()) << ListPair::selectedText(pair->second());
        return out;
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

    // Pat's record (client 20, work 8) ends at `recordEnd`, Sam's a minute
    // before now; checked a minute after the window opened.
    void recentActivity_data() {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("recordEnd");
        QTest::addColumn<QDateTime>("begin");
        QTest::addColumn<QDateTime>("end");
        QTest::addColumn<bool>("counted");
        QTest::newRow("5 h ago") << today(12, 15) << today(7, 15, 40) << today(7, 15)
                                 << today(12, 16) << true;
        QTest::newRow("0:30 AM") << today(0, 30) << QDateTime() << today(23, 30).addDays(-1)
                                 << today(0, 31) << false;
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
        for (ListPair* pair : {w->clientPair(), w->workPair()}) {
            pair->first()->setCurrentRow(fault == "no client" && pair == w->clientPair() ? -1 : 0);
            pair->pairFrom(pair->first());
        }
        if (fault == "zero span")
            w->span()->dtEndTime->setTime(w->span()->dtBeginTime->time());
        const QDateTime begin = w->span()->begin();
        w->cmdAdd_Click();
        QVERIFY(stored().empty());
        QCOMPARE(env->prompts.texts().replaceInStrings(env->path("Hourloom.HL1"), "DB"),
                 QStringList{message});
        QCOMPARE(env->prompts.last().title, title);
        QCOMPARE(env->prompts.last().icon, MsgIcon::Critical);
        QCOMPARE(w->span()->begin(), begin);
    }

    // Undo takes back Pat's records of the last five hours only; the span
    // then begins an hour back and the status bar shows the program's own.
    void undoTakesBackOnlyRecentRecords() {
        env->clockNow.set(today(16, 0));
        add(today(9, 0), today(10, 0)); // six hours ago
        add(today(14, 0), today(15, 0));
        frmControl* w = open();
        w->cmdUndo_Click();
        w->cmdUndo_Click();
        QCOMPARE(stored().size(), size_t(1));
        QCOMPARE(w->span()->begin(), today(15, 0));
        QStringList panels;
        for (int i = 1; i <= 5; ++i)
            panels << w->findChild<QLabel*>(QString("ssStatusPanel%1").arg(i))->text();
        QCOMPARE(panels,
                 (QStringList{"Brightmere LLC Product. ", "Hourloom ", "  ", "  ", "About Time"}));
    }

    // The latest record (Acme 10, Design 7) is preselected; the second client
    // list is moved a row down with the keyboard alone and the span recorded
    // with it: the first list follows.
    void keyboardKeepsEachPairOnOneRow() {
        add(today(10, 0), today(11, 15), 10, 7);
        frmControl* w = open();
        QVERIFY(QTest::qWaitForWindowActive(w));
        child(w, "lstClient1")->setFocus();
        for (const QString& target : {QString("lstClient2"), QString("cmdAdd")}) {
            for (int i = 0; i < 40 && QApplication::focusWidget() != child(w, target); ++i)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), child(w, target));
            QTest::keyClick(child(w, target), target == "cmdAdd" ? Qt::Key_Space : Qt::Key_Down);
        }
        QCOMPARE(stored().size(), size_t(2));
        const store::ActivityRecord& r = stored().back();
        QCOMPARE(QString::number(r.clientNumber) + r.clientName, "20Birch");
    }
};

QTEST_MAIN(TestFrmControl)
#include "test_frmcontrol.moc"
