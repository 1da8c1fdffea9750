#include "ClockFixture.h"

#include <QAbstractButton>

// Adding, correcting and deleting records from the Activity Log: what is
// stored afterwards, and that nothing else is touched.
class TestChanges : public QObject {
    Q_OBJECT

    std::unique_ptr<ClockFixture> f;
    using F = ClockFixture;

    static void click(FrmClock* w, const char* button) {
        QTest::mouseClick(w->findChild<QAbstractButton*>(QString::fromLatin1(button)),
                          Qt::LeftButton);
    }
    // The user sets the end time in its picker.
    static void setEnd(FrmClock* w, int h, int m) { w->span()->dtEndTime->setTime(QTime(h, m)); }

    FrmClock* openOnThirdWithOneRecord(int client = 10) {
        f->addRecord(F::at(3, 9, 0), F::at(3, 10, 30), client, 7);
        FrmClock* w = f->open();
        F::showDay(w, F::march(3));
        return w;
    }

private slots:
    void init() { f = std::make_unique<ClockFixture>(); }
    void cleanup() { f.reset(); }

    void aCorrectionReplacesTheRecordDatedToday() {
        FrmClock* w = openOnThirdWithOneRecord();
        F::pressRow(w, 0);
        setEnd(w, 10, 45);
        click(w, "cmdAdd");
        const std::vector<store::ActivityRecord> all = f->stored();
        QCOMPARE(all.size(), size_t(1));
        QCOMPARE(all[0].beginTime, F::at(3, 9, 0));
        QCOMPARE(all[0].endTime, F::at(3, 10, 45));
        QCOMPARE(all[0].date, F::at(5, 0, 0));
        QVERIFY(!w->bEditMode());
        QCOMPARE(w->grid()->rowCount(), 1);
        QCOMPARE(F::rowTexts(w, 0)[5], QStringLiteral("3/3/2026 10:45:00 AM"));
        QVERIFY(f->env->prompts.shown.empty());
    }

    void aChangedClientIsStored() {
        FrmClock* w = openOnThirdWithOneRecord();
        F::pressRow(w, 0);
        F::choose(w->clientPair(), 1);
        w->cmdAdd_Click();
        const std::vector<store::ActivityRecord> all = f->stored();
        QCOMPARE(all.size(), size_t(1));
        QCOMPARE(all[0].clientNumber, 20);
        QCOMPARE(all[0].clientName, QStringLiteral("Birch"));
        QCOMPARE(all[0].endTime, F::at(3, 10, 30));
    }

    void deleteRemovesThePressedRecordWithoutAQuestion() {
        FrmClock* w = openOnThirdWithOneRecord();
        F::pressRow(w, 0);
        click(w, "cmdUndo");
        QVERIFY(f->stored().empty());
        QVERIFY(f->env->prompts.shown.empty());
        QCOMPARE(w->grid()->rowCount(), 0);
        QVERIFY(!w->bEditMode());
        QCOMPARE(F::begin(w), F::at(3, 8, 0)); // the empty day's prefill
    }

    void nothingIsDeletedWithoutASelectionInForce_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("messages");
        QTest::newRow("no row pressed") << "undo" << 0;
        QTest::newRow("another day shown after the press") << "other day, undo" << 0;
        QTest::newRow("cancel after the press") << "cancel, undo" << 0;
        QTest::newRow("record of a client no longer listed") << "gone client, add" << 1;
        QTest::newRow("work code deselected") << "no work, add" << 1;
    }
    void nothingIsDeletedWithoutASelectionInForce() {
        QFETCH(QString, path);
        QFETCH(int, messages);
        FrmClock* w = openOnThirdWithOneRecord(path.startsWith("gone") ? 99 : 10);
        if (path != "undo")
            F::pressRow(w, 0);
        if (path.startsWith("other day"))
            F::showDay(w, F::march(4));
        if (path.startsWith("cancel"))
            click(w, "cmdCancel");
        if (path.startsWith("no work")) {
            w->workPair()->first()->clearSelection();
            w->workPair()->pairFrom(w->workPair()->first());
        }
        path.endsWith("add") ? w->cmdAdd_Click() : w->cmdUndo_Click();

        QCOMPARE(f->stored().size(), size_t(1));
        QCOMPARE(int(f->env->prompts.shown.size()), messages);
        if (messages) {
            QCOMPARE(f->env->prompts.last().title, QStringLiteral("Activity NOT Recorded"));
            QVERIFY(w->bEditMode()); // a refused entry stays as it was
        } else {
            QVERIFY(!w->bEditMode());
        }
    }

    void onlyTheSelectedRecordOfThisEmployeeGoes() {
        f->addRecord(F::at(5, 9, 0), F::at(5, 10, 0), 30, 8, QStringLiteral("Sam"));
        f->addRecord(F::at(5, 9, 0), F::at(5, 10, 0), 30, 8);
        f->addRecord(F::at(5, 9, 0), F::at(5, 10, 0), 30, 8);
        f->addRecord(F::at(5, 11, 0), F::at(5, 12, 0), 30, 8);
        FrmClock* w = f->open();
        QCOMPARE(w->grid()->rowCount(), 3);
        QCOMPARE(F::rowTexts(w, 0)[0], QStringLiteral("O'Brien \"Q\""));
        F::pressRow(w, 0);
        w->cmdUndo_Click();
        F::pressRow(w, 1);
        w->cmdUndo_Click();
        const std::vector<store::ActivityRecord> all = f->stored();
        QCOMPARE(all.size(), size_t(2));
        QCOMPARE(all[0].employee, QStringLiteral("Pat"));
        QCOMPARE(all[0].beginTime, F::at(5, 9, 0));
        QCOMPARE(all[1].employee, QStringLiteral("Sam"));
        QVERIFY(f->env->prompts.shown.empty());
    }

    void aFailingStoreKeepsTheRecordAndSaysSo() {
        FrmClock* w = openOnThirdWithOneRecord();
        f->db().exec("CREATE TRIGGER full BEFORE INSERT ON tblTimeSheet "
                     "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END;");
        F::pressRow(w, 0);
        setEnd(w, 10, 45);
        w->cmdAdd_Click();
        QCOMPARE(f->env->prompts.shown.size(), size_t(1));
        QVERIFY(f->env->prompts.last().text.startsWith("The activity was not recorded."));
        QVERIFY(f->env->prompts.last().icon == MsgIcon::Critical);
        QVERIFY(w->bEditMode());
        QCOMPARE(f->stored().size(), size_t(1));
        f->db().exec("CREATE TRIGGER locked BEFORE DELETE ON tblTimeSheet "
                     "BEGIN SELECT RAISE(ABORT, 'the record is locked'); END;");
        w->cmdUndo_Click();
        QCOMPARE(f->env->prompts.shown.size(), size_t(2));
        QVERIFY(f->env->prompts.last().text.startsWith("The selected record was not deleted."));
        const std::vector<store::ActivityRecord> all = f->stored();
        QCOMPARE(all.size(), size_t(1));
        QCOMPARE(all[0].endTime, F::at(3, 10, 30));
    }

    void addingForAnotherDayRecordsItsPrefill() {
        f->addRecord(F::at(3, 14, 0), F::at(3, 15, 45));
        FrmClock* w = f->open();
        F::showDay(w, F::march(3));
        w->cmdAdd_Click();
        const std::vector<store::ActivityRecord> all = f->stored();
        QCOMPARE(all.size(), size_t(2));
        QCOMPARE(all[1].beginTime, F::at(3, 15, 45));
        QCOMPARE(all[1].endTime, F::at(3, 16, 0));
        QCOMPARE(all[1].date, F::at(5, 0, 0));
        QCOMPARE(all[1].clientName, QStringLiteral("Acme"));
        QCOMPARE(F::begin(w), F::at(3, 16, 0));
        QCOMPARE(w->grid()->rowCount(), 2);
    }

    void closingRestartsTheReminderAndBringsBackTimeControl() {
        FrmClock* w = f->open();
        click(w, "cmdHelp");
        QCOMPARE(f->env->helpCalls.calls.back().topic, QStringLiteral("ActivityLog.htm"));
        appState().gMinuteCount = 9;
        w->close();
        QCOMPARE(appState().gMinuteCount, 0);
        QCOMPARE(f->env->windows.trackTimeCalls, 1);
        QCOMPARE(f->env->windows.shownForms.back(), Form::Control);
    }
};

QTEST_MAIN(TestChanges)
#include "test_changes.moc"
