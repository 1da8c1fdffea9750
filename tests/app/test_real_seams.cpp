// The real seams behind the test doubles: the message boxes behind the
// prompter, pressed as a user presses them (the walk presses the file
// dialogs), and the window registry with real windows.
#include "FormRegistry.h"
#include "Main.h"
#include "Maintenance.h"
#include "Records.h"
#include "Schema.h"
#include "Shell.h"
#include "TestEnvironment.h"
#include "TrackTime.h"
#include "frmClock.h"
#include "frmControl.h"

#include <QAbstractButton>
#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>

namespace {

using Press = std::function<void(QWidget* box)>;

// Which test's presses may run: a press left over by a failed test must not
// answer the next test's boxes.
int currentScript = 0;

// Runs `presses` in the modal boxes the program opens next, one box each,
// from the event loop the box itself runs. `seen` collects each box's
// "title: text"; when no box comes up the presses are dropped, and the test
// sees fewer boxes than it expected.
void pressInNextBoxes(std::deque<Press> presses, QStringList* seen, int triesLeft = 50,
                      int script = currentScript) {
    QTimer::singleShot(0, qApp, [presses, seen, triesLeft, script]() mutable {
        if (script != currentScript)
            return;
        QWidget* box = QApplication::activeModalWidget();
        if (!box) {
            if (triesLeft > 0)
                pressInNextBoxes(std::move(presses), seen, triesLeft - 1, script);
            return;
        }
        seen->append(box->windowTitle() + ": " + static_cast<QMessageBox*>(box)->text());
        const Press press = presses.front();
        presses.pop_front();
        press(box);
        if (!presses.empty())
            pressInNextBoxes(std::move(presses), seen, 50, script);
    });
}

Press click(QMessageBox::StandardButton button, std::function<void()> meanwhile = {}) {
    return [button, meanwhile](QWidget* box) {
        if (meanwhile)
            meanwhile();
        QTest::mouseClick(static_cast<QMessageBox*>(box)->button(button), Qt::LeftButton);
    };
}

// What the event loop does once the handler has returned: held-back
// requests run, closed windows are deleted.
void settle() {
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// The capture reminder's step with its own minute timer, as the tray
// window runs it.
struct MinuteShell : Shell {
    QTimer minuteTimer;
    void startResident() override {}
    void trackTime() override { TrackTime(minuteTimer); }
};

// The real registry; only ending the program is counted, so the test's own
// event loops keep running.
struct Registry : FormRegistry {
    int ended = 0;
    void endProgram() override { ++ended; }
};

// One test's world: the services with the real registry and, if asked, the
// real dialogs in place of the scripted ones.
struct World {
    TestEnvironment env;
    DialogPrompter dialogs;
    Registry registry;
    MinuteShell resident;

    explicit World(bool realDialogs) {
        services().forms = &registry;
        if (realDialogs)
            services().prompter = &dialogs;
        setShell(&resident);
    }
    ~World() {
        registry.destroyAll();
        setShell(nullptr);
    }
    // A database with one client and two work codes, and the employee "ann".
    store::Database& database() {
        store::Database& db = env.openNewDatabase();
        db.exec(
            "INSERT INTO tblClient VALUES (10, 'Acme');"
            "INSERT INTO tblWork VALUES (7, 'Design'); INSERT INTO tblWork VALUES (8, 'Build');");
        env.settingsStore->setText(keys::Emp, "ann");
        env.state.gEmployee = "ann";
        return db;
    }
    QAbstractButton* button(Form form, const char* name) const {
        QWidget* window = registry.find(form);
        auto* found = window ? window->findChild<QAbstractButton*>(name) : nullptr;
        return found ? found : (qFatal("no button %s", name), nullptr);
    }
};

} // namespace

class TestRealSeams : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { ++currentScript; }

    void messageBoxAnswersWithThePressedButton_data() {
        QTest::addColumn<MsgButtons>("buttons");
        QTest::addColumn<int>("press"); // a standard button, or -1 for the Escape key
        QTest::addColumn<MsgAnswer>("answer");
        QTest::newRow("Ok") << MsgButtons::Ok << int(QMessageBox::Ok) << MsgAnswer::Ok;
        QTest::newRow("OkCancel, Cancel")
            << MsgButtons::OkCancel << int(QMessageBox::Cancel) << MsgAnswer::Cancel;
        QTest::newRow("OkCancel, Escape") << MsgButtons::OkCancel << -1 << MsgAnswer::Cancel;
        QTest::newRow("YesNo, No") << MsgButtons::YesNo << int(QMessageBox::No) << MsgAnswer::No;
        QTest::newRow("YesNo, Escape") << MsgButtons::YesNo << -1 << MsgAnswer::No;
    }
    void messageBoxAnswersWithThePressedButton() {
        QFETCH(MsgButtons, buttons);
        QFETCH(int, press);
        QFETCH(MsgAnswer, answer);
        QWidget owner;
        QStringList seen;
        pressInNextBoxes({[&](QWidget* box) {
                             if (press < 0)
                                 QTest::keyClick(box, Qt::Key_Escape);
                             else
                                 click(QMessageBox::StandardButton(press))(box);
                         }},
                         &seen);
        DialogPrompter dialogs;
        QCOMPARE(dialogs.message(&owner, "Line one\rLine two", "Title", MsgIcon::Question, buttons),
                 answer);
        QCOMPARE(seen, QStringList{"Title: Line one\nLine two"});
    }

    void windowShownByItsOwnCloseComesBackFresh() {
        // Capture frequency 0 and nothing recorded: closing Time Control brings it straight back.
        World w(false);
        w.database();
        w.env.settingsStore->setText(keys::intMinTimer, "0");
        const QPointer<QWidget> first = w.registry.show(Form::Control);
        QVERIFY(first && first->isVisible());
        QVERIFY(first->close());
        settle();
        QVERIFY(!first);
        QWidget* again = w.registry.find(Form::Control);
        QVERIFY2(again && again->isVisible(), "the reminder brought up no window");
        QVERIFY(!w.resident.minuteTimer.isActive());
    }

    void fileThatDoesNotOpenAsksBeforeClosing() {
        World w(false);
        const QString file = w.env.path("Hourloom.HL1");
        QFile damaged(file);
        QVERIFY(damaged.open(QIODevice::WriteOnly) && damaged.write(QByteArray(16384, '<')));
        damaged.close();
        w.env.settingsStore->setText(keys::gDataBaseLoc, file);
        w.env.settingsStore->setText(keys::gDataBaseName, "Hourloom.HL1");
        Main();
        QCOMPARE(w.env.prompts.shown.size(), size_t(1)); // what is wrong with the file
        const QPointer<QWidget> setup = w.registry.find(Form::Setup);
        QVERIFY(setup && setup->isVisible());
        // No keeps the window, so that another file can be chosen
        w.env.prompts.answers = {MsgAnswer::No};
        QVERIFY(!setup->close());
        settle();
        QCOMPARE(w.env.prompts.shown.size(), size_t(2));
        QCOMPARE(w.env.prompts.last().title, "Database Not Found...      Close Program?");
        QVERIFY(setup && setup->isVisible() && w.registry.find(Form::Setup) == setup);
        // Yes ends the program
        w.env.prompts.answers = {MsgAnswer::Yes};
        QVERIFY(setup->close());
        QCOMPARE(w.registry.ended, 1);
        QVERIFY(!w.env.state.gStartupDone);
    }

    // While a window waits on its message box, closing it and switching
    // windows wait too; the box's answer still takes effect.
    void boxHoldsItsWindowUntilAnswered_data() {
        QTest::addColumn<QString>("request"); // made while the box is up
        QTest::newRow("Activity Log button of Time Control") << "switch";
        QTest::newRow("Time and Settings unloaded during a purge") << "unload";
    }
    void boxHoldsItsWindowUntilAnswered() {
        QFETCH(QString, request);
        World w(true);
        store::Database& db = w.database();
        const QDateTime old = w.env.clockNow.now().addDays(-100);
        store::appendRecord(db, {old, old, old.addSecs(1800), 10, "Acme", 7, "Design", "ann"});
        w.env.state.gStartupDone = true;
        const Form form = request == "unload" ? Form::Setup : Form::Control;
        const QPointer<QWidget> window = w.registry.show(form);
        QStringList seen;
        bool heldWhileUp = false;
        const auto meanwhile = [&] {
            if (request == "switch")
                w.button(Form::Control, "cmdInput")->click();
            else
                w.registry.unload(Form::Setup);
            settle();
            heldWhileUp = window && window->isVisible() && !w.registry.find(Form::Clock);
        };
        std::deque<Press> presses{click(QMessageBox::Ok, meanwhile)};
        if (request == "unload")
            presses.push_back(click(QMessageBox::Ok)); // "1 records were deleted ..."
        pressInNextBoxes(presses, &seen);
        w.button(form, request == "unload" ? "cmdDelete" : "cmdAdd")->click();
        QVERIFY2(heldWhileUp, "the window went, or the switch happened, under the box");
        QCOMPARE(seen.size(), int(presses.size()));
        settle();
        QVERIFY2(!window, "the window stayed after the box was answered");
        QCOMPARE(w.registry.find(Form::Clock) != nullptr, request == "switch");
        QCOMPARE(w.registry.find(Form::Control) != nullptr, request == "unload");
        QCOMPARE(store::countRecordsBefore(db, "ann", w.env.clockNow.now()),
                 request == "unload" ? 0 : 1);
    }

    // Both recording windows open at once (the reminder brings Time Control up
    // over the Activity Log): the log shows a past day, Time Control records.
    void eachWindowDatesItsOwnRecords() {
        World w(false);
        w.env.clockNow.set(QDateTime(QDate(2026, 3, 11), QTime(10, 15, 40)));
        store::Database& db = w.database();
        const QDateTime past(QDate(2026, 3, 3), QTime(14, 0));
        store::appendRecord(db, {past, past, past.addSecs(3600), 10, "Acme", 7, "Design", "ann"});
        auto* log = static_cast<frmClock*>(w.registry.show(Form::Clock));
        auto* control = static_cast<frmControl*>(w.registry.show(Form::Control));
        log->MVDate_Click(past.date());
        log->Dayslist_MouseDown(0);
        control->clientPair()->first()->setCurrentRow(0);
        control->workPair()->first()->setCurrentRow(0);
        control->span()->dtBeginTime->setTime(QTime(9, 0));
        w.button(Form::Control, "cmdAdd")->click();
        const auto today = store::dayRecords(db, "ann", QDate(2026, 3, 11));
        QCOMPARE(today.size(), size_t(1));
        QCOMPARE(today[0].beginTime, QDateTime(QDate(2026, 3, 11), QTime(9, 0)));
        QCOMPARE(today[0].endTime, QDateTime(QDate(2026, 3, 11), QTime(10, 15)));
    }
};

QTEST_MAIN(TestRealSeams)
#include "test_real_seams.moc"
