#include "ActivityLogForms.h"
#include "Records.h"
#include "TestEnvironment.h"
#include "frmClock.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>

namespace {
QDateTime at(int day, int h, int m, int s = 0) {
    return QDateTime(QDate(2026, 3, day), QTime(h, m, s));
}
using Spans = QList<QPair<QDateTime, QDateTime>>;
} // namespace

Q_DECLARE_METATYPE(Spans)

// Clients 10 Acme and 20 Birch, work codes 7 Design and 8 Build, employee
// Pat, the clock at 2:00 PM on 5 March 2026.
class TestFrmClock : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;

    store::Database& db() { return env->db(); }
    void add(const QDateTime& begin, const QDateTime& end, int client = 10, int work = 7,
             const QString& employee = "Pat") {
        const char* name = client == 10 ? "Acme" : client == 20 ? "Birch" : "Gone";
        store::appendRecord(db(), {begin, begin, end, client, name, work,
                                   work == 7 ? "Design" : "Build", employee});
    }
    std::vector<store::ActivityRecord> stored(int day = 3) {
        return store::dayRecords(db(), "Pat", QDate(2026, 3, day));
    }
    frmClock* open(int day = 5) {
        auto* w = static_cast<frmClock*>(env->windows.show(Form::Clock));
        w->span()->Timer1_Timer(); // the first tick after load
        if (day != 5)
            w->MVDate_Click(QDate(2026, 3, day));
        return w;
    }
    // A real mouse press on grid row `row` (0 is the first record).
    static void pressRow(frmClock* w, int row) {
        QTest::mousePress(w->grid()->viewport(), Qt::LeftButton, {},
                          w->grid()->visualItemRect(w->grid()->item(row, 0)).center());
    }
    static QString selected(QListWidget* list) { return ListPair::selectedText(list); }
    static QString minutes(frmClock* w) { return w->span()->txtTimeMin->text(); }

private slots:
    void init() {
        env = std::make_unique<TestEnvironment>();
        env->clockNow.set(at(5, 14, 0));
        env->openNewDatabase().exec(
            "INSERT INTO tblClient VALUES (10, 'Acme'); INSERT INTO tblClient VALUES (20, 'Birch');"
            "INSERT INTO tblWork VALUES (7, 'Design'); INSERT INTO tblWork VALUES (8, 'Build');");
        env->settingsStore->setText(keys::Emp, "Pat");
        env->windows.factories[Form::Clock] = [] { return createFrmClock(); };
    }
    void cleanup() { env.reset(); }

    // Another day's entry begins after its latest record (or at the begin
    // of work, 8 AM) and lasts the capture frequency; the clock does not move it.
    void anotherDayLastsTheCaptureFrequency_data() {
        QTest::addColumn<Spans>("records");
        QTest::addColumn<QDateTime>("begin");
        QTest::addColumn<QDateTime>("end");
        QTest::newRow("after the latest record")
            << Spans{{at(3, 14, 0), at(3, 15, 45)}, {at(3, 9, 0), at(3, 11, 0)}} << at(3, 15, 45)
            << at(3, 16, 0);
        QTest::newRow("past midnight")
            << Spans{{at(3, 22, 0), at(3, 23, 50)}} << at(3, 23, 50) << at(4, 0, 5);
        QTest::newRow("empty day") << Spans{} << at(3, 8, 0) << at(3, 8, 15);
    }
    void anotherDayLastsTheCaptureFrequency() {
        QFETCH(Spans, records);
        QFETCH(QDateTime, begin);
        QFETCH(QDateTime, end);
        for (const auto& [b, e] : records)
            add(b, e);
        add(at(3, 16, 0), at(3, 17, 0), 20, 8, "Sam");
        frmClock* w = open(3);
        QCOMPARE(w->span()->begin(), begin);
        QCOMPARE(w->span()->end(), end);
        QCOMPARE(minutes(w), QString::number(begin.secsTo(end) / 60));
        QCOMPARE(selected(w->clientPair()->first()), records.isEmpty() ? "" : "Acme");
        QVERIFY(!w->span()->Timer1->isActive());
    }

    // A keyboard user moves the mark with the arrows, which chooses nothing,
    // chooses with Space and leaves the list with Tab.
    void theKeyboardPicksARow() {
        add(at(5, 8, 0), at(5, 9, 0));
        add(at(5, 10, 0), at(5, 11, 0), 20, 8);
        frmClock* w = open();
        QVERIFY(QTest::qWaitForWindowActive(w));
        w->grid()->setFocus();
        QTest::keyClick(w->grid(), Qt::Key_Down);
        QTest::keyClick(w->grid(), Qt::Key_Down);
        QVERIFY(!w->bEditMode());
        QTest::keyClick(w->grid(), Qt::Key_Space);
        QCOMPARE(w->selection().vBeginTime, "3/5/2026 10:00:00 AM");
        QTest::keyClick(w->grid(), Qt::Key_Tab);
        QVERIFY(!w->grid()->hasFocus());
    }

    // A pressed record past midnight keeps both its dates; Add for another
    // day records the prefill, stamped with that day.
    void theEntryHoldsThePressedRecordOrTheDaysPrefill() {
        add(at(4, 23, 30), at(5, 1, 15), 20, 8);
        frmClock* w = open();
        pressRow(w, 0);
        QCOMPARE(w->span()->end(), at(5, 1, 15));
        QCOMPARE(minutes(w), "105");
        QCOMPARE(selected(w->clientPair()->second()) + selected(w->workPair()->first()), "20Build");
        w->span()->Label4_Click();
        QTest::keyClicks(w->span()->txtTimeMin, "30"); // minutes from the record's begin
        QCOMPARE(w->span()->end(), at(5, 0, 0));

        add(at(3, 14, 0), at(3, 15, 45));
        w->MVDate_Click(QDate(2026, 3, 3));
        w->cmdAdd_Click();
        QCOMPARE(stored().size(), size_t(2));
        QVERIFY(stored()[1] == (store::ActivityRecord{at(5, 0, 0), at(3, 15, 45), at(3, 16, 0), 10,
                                                      "Acme", 7, "Design", "Pat"}));
        QCOMPARE(w->span()->begin(), at(3, 16, 0));
    }

    void nothingIsDeletedWithoutASelectionInForce_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("messages");
        QTest::newRow("no row pressed") << "undo" << 0;
        QTest::newRow("cancel after the press") << "cancel, undo" << 0;
        QTest::newRow("record of a client no longer listed") << "gone client, add" << 1;
    }
    void nothingIsDeletedWithoutASelectionInForce() {
        QFETCH(QString, path);
        QFETCH(int, messages);
        add(at(3, 9, 0), at(3, 10, 30), path.startsWith("gone") ? 99 : 10);
        frmClock* w = open(3);
        if (path != "undo")
            pressRow(w, 0);
        if (path.startsWith("cancel"))
            QTest::mouseClick(w->findChild<QWidget*>("cmdCancel"), Qt::LeftButton);
        path.endsWith("add") ? w->cmdAdd_Click() : w->cmdUndo_Click();
        QCOMPARE(stored().size(), size_t(1));
        QCOMPARE(int(env->prompts.shown.size()), messages);
        QCOMPARE(env->prompts.last().title, messages ? "Activity NOT Recorded" : "");
        QCOMPARE(w->bEditMode(), bool(messages)); // a refused entry stays as it was
    }

    void aFailingStoreKeepsTheRecordAndSaysSo() {
        add(at(3, 9, 0), at(3, 10, 30));
        frmClock* w = open(3);
        db().exec("CREATE TRIGGER full BEFORE INSERT ON tblTimeSheet "
                  "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END;"
                  "CREATE TRIGGER locked BEFORE DELETE ON tblTimeSheet "
                  "BEGIN SELECT RAISE(ABORT, 'the record is locked'); END;");
        pressRow(w, 0);
        w->span()->dtEndTime->setTime(QTime(10, 45));
        w->cmdAdd_Click();
        QVERIFY(env->prompts.last().text.startsWith("The activity was not recorded."));
        QVERIFY(w->bEditMode());
        w->cmdUndo_Click();
        QVERIFY(env->prompts.last().text.startsWith("The selected record was not deleted."));
        QCOMPARE(stored().size(), size_t(1));
        QCOMPARE(stored()[0].endTime, at(3, 10, 30));
    }
};

QTEST_MAIN(TestFrmClock)
#include "test_frmclock.moc"
