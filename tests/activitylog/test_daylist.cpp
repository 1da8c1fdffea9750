#include "ClockFixture.h"
#include "DayList.h"

#include <QCalendarWidget>
#include <QHeaderView>

// The day list: which records a day shows, in what order and in what form,
// and what pressing the grid does.
class TestDayList : public QObject {
    Q_OBJECT

    std::unique_ptr<ClockFixture> f;
    using F = ClockFixture;

private slots:
    void init() { f = std::make_unique<ClockFixture>(); }
    void cleanup() { f.reset(); }

    void columnsAtTheDesignWidth() {
        const std::array<int, 6> expected{1002, 702, 1202, 852, 1662, 1662};
        QCOMPARE(dayListColumnWidths(7215), expected);
        FrmClock* w = f->open();
        QCOMPARE(w->windowTitle(), QStringLiteral("Activity Log"));
        QVERIFY(!(w->windowFlags() & Qt::WindowStaysOnTopHint));
        QVERIFY(!w->grid()->horizontalHeader()->sectionsMovable());
    }

    void gridTextReadsBackExactly_data() {
        QTest::addColumn<QDateTime>("moment");
        QTest::newRow("seconds in the afternoon") << F::at(4, 23, 30, 40);
        QTest::newRow("midnight") << F::at(5, 0, 0);
        QTest::newRow("a second after midnight") << F::at(5, 0, 0, 1);
        QTest::newRow("noon") << F::at(5, 12, 0);
    }
    void gridTextReadsBackExactly() {
        QFETCH(QDateTime, moment);
        QCOMPARE(dateTimeFromGridText(gridDateTimeText(moment)), std::optional(moment));
    }

    void aDayListsTheEmployeesRecordsThatBeginOrEndOnIt() {
        f->addRecord(F::at(4, 14, 0), F::at(4, 15, 0), 20, 8);
        f->addRecord(F::at(4, 23, 0), F::at(5, 1, 0));
        f->addRecord(F::at(3, 10, 0), F::at(5, 9, 0), 30);
        f->addRecord(F::at(4, 9, 0), F::at(4, 10, 0, 30));
        f->addRecord(F::at(4, 11, 0), F::at(4, 12, 0), 10, 7, QStringLiteral("Sam"));
        FrmClock* w = f->open();

        F::showDay(w, F::march(4));
        QCOMPARE(w->grid()->rowCount(), 3);
        QVERIFY(!w->grid()->horizontalHeader()->isHidden());
        QCOMPARE(F::rowTexts(w, 0), (QStringList{"Acme", "10", "Design", "7", "3/4/2026 9:00:00 AM",
                                                 "3/4/2026 10:00:30 AM"}));
        QCOMPARE(F::rowTexts(w, 1)[4], QStringLiteral("3/4/2026 2:00:00 PM"));
        QCOMPARE(F::rowTexts(w, 2)[4], QStringLiteral("3/4/2026 11:00:00 PM"));
        QCOMPARE(w->grid()->item(0, 1)->font().pointSize(), 7);
        QCOMPARE(w->grid()->item(0, 4)->font().pointSize(), 8);

        // The record across midnight shows on its end day too; the one from
        // 3 to 5 March shows on both its ends but never on 4 March.
        F::showDay(w, F::march(5));
        QCOMPARE(w->grid()->rowCount(), 2);
        QCOMPARE(F::rowTexts(w, 0)[0], QStringLiteral("O'Brien \"Q\""));
        QCOMPARE(F::rowTexts(w, 1)[4], QStringLiteral("3/4/2026 11:00:00 PM"));
    }

    void anEmptyDayShowsNoHeaderAndNoPressSelects() {
        FrmClock* w = f->open();
        QCOMPARE(w->grid()->rowCount(), 0);
        QVERIFY(w->grid()->horizontalHeader()->isHidden());
        QTest::mousePress(w->grid()->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
        QVERIFY(!w->bEditMode());
        QVERIFY(w->span()->Timer1->isActive());
    }

    void pressingARowHighlightsItAloneAndTheHeaderChangesNothing() {
        f->addRecord(F::at(5, 8, 0), F::at(5, 9, 0));
        f->addRecord(F::at(5, 9, 0), F::at(5, 10, 0), 20, 8);
        f->addRecord(F::at(5, 10, 0), F::at(5, 11, 0));
        FrmClock* w = f->open();
        const QColor yellow(0xFF, 0xFF, 0xC0);
        F::pressRow(w, 0);
        F::pressRow(w, 2, Qt::RightButton);
        QVERIFY(w->bEditMode());
        QCOMPARE(w->selection().vBeginTime, QStringLiteral("3/5/2026 10:00:00 AM"));
        for (int c = 0; c < 6; ++c) {
            QCOMPARE(w->grid()->item(2, c)->background().color(), yellow);
            QCOMPARE(w->grid()->item(0, c)->background().color(), QColor(Qt::white));
        }

        QTest::mousePress(w->grid()->horizontalHeader()->viewport(), Qt::LeftButton, {},
                          QPoint(5, 5));
        QVERIFY(w->bEditMode());
        QCOMPARE(w->selection().vBeginTime, QStringLiteral("3/5/2026 10:00:00 AM"));
        QCOMPARE(w->grid()->horizontalHeaderItem(0)->text(), QStringLiteral("Client"));
        QCOMPARE(w->grid()->item(2, 0)->background().color(), yellow);
    }

    void keyboardMovesOfTheCalendarShowNoOtherDay() {
        f->addRecord(F::at(5, 8, 0), F::at(5, 9, 0));
        FrmClock* w = f->open();
        auto* calendar = w->findChild<QCalendarWidget*>(QStringLiteral("MVDate"));
        calendar->setSelectedDate(F::march(4));
        QCOMPARE(w->grid()->rowCount(), 1);
        QVERIFY(w->span()->Timer1->isActive());
        // The next Cancel follows the calendar into the other day.
        w->cmdCancel_Click();
        QCOMPARE(w->grid()->rowCount(), 0);
        QVERIFY(!w->span()->Timer1->isActive());
    }
};

QTEST_MAIN(TestDayList)
#include "test_daylist.moc"
