#include "SpanControls.h"
#include "TestEnvironment.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <cmath>

namespace {
const QDate kToday(2026, 3, 11);
QDateTime at(int h, int m, int s = 0, QDate d = kToday) {
    return QDateTime(d, QTime(h, m, s));
}
} // namespace

Q_DECLARE_METATYPE(SpanValues)

class TestSpan : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<QWidget> window;
    SpanControls* span = nullptr;

    // Given a span beginning at `begin` with the end on today's date at the
    // current minute and the clock followed.
    void beginAt(const QDateTime& begin) {
        span->setBeginDate(begin.date());
        span->setBeginTime(begin.time());
        span->setEndDate(env->clockNow.now().date());
        span->dtBegin_Change();
        span->dtEnd_Change();
        span->endTimeToNow();
        span->TotalRecalculate();
        span->Timer1->start();
    }

private slots:
    void init() {
        env = std::make_unique<TestEnvironment>();
        env->clockNow.set(at(10, 15, 40));
        window = std::make_unique<QWidget>();
        span = new SpanControls(window.get());
        window->show();
    }
    void cleanup() {
        window.reset();
        env.reset();
    }

    void spanArithmetic_data() {
        QTest::addColumn<SpanValues>("values");
        QTest::addColumn<double>("days");
        QTest::addColumn<long long>("minutes");
        const QDate d = kToday;
        QTest::newRow("75 minutes")
            << SpanValues{d, QTime(9, 0), d, QTime(10, 15)} << 75 / 1440.0 << 75LL;
        QTest::newRow("across midnight")
            << SpanValues{d, QTime(23, 30), d.addDays(1), QTime(1, 15)} << 105 / 1440.0 << 105LL;
        QTest::newRow("end before begin")
            << SpanValues{d, QTime(9, 0), d, QTime(8, 57)} << -3 / 1440.0 << -3LL;
        QTest::newRow("half minute rounds to even")
            << SpanValues{d, QTime(9, 0), d, QTime(9, 0, 30)} << 30 / 86400.0 << 0LL;
        QTest::newRow("one and a half minutes rounds to even")
            << SpanValues{d, QTime(9, 0), d, QTime(9, 1, 30)} << 90 / 86400.0 << 2LL;
    }
    void spanArithmetic() {
        QFETCH(SpanValues, values);
        QFETCH(double, days);
        QFETCH(long long, minutes);
        QVERIFY(std::fabs(spanDays(values) - days) < 1e-12);
        QCOMPARE(spanMinutes(values), minutes);
    }

    void endAfterMinutesRefusesWhatNoPickerHolds() {
        // Not a number, far too many, past the year 9999, before 1601.
        for (double minutes : {std::nan(""), 1e300, 8000.0 * 366 * 1440, -500.0 * 366 * 1440})
            QVERIFY(!endAfterMinutes(at(9, 0), minutes));
    }

    void endFollowsTheClockToTheMinute() {
        beginAt(at(9, 0));
        span->Timer1_Timer();
        QCOMPARE(span->dtEndTime->time(), QTime(10, 15));
        QCOMPARE(span->lblTotal->text(), "1HRs 15Mins");
        QCOMPARE(span->txtTimeMin->text(), "75");
        span->lblTotal->setText("marker"); // a tick within the minute touches nothing
        env->clockNow.set(at(10, 15, 59).addMSecs(900));
        span->Timer1_Timer();
        QCOMPARE(span->lblTotal->text(), "marker");
        env->clockNow.set(at(10, 16, 0).addMSecs(50));
        span->Timer1_Timer();
        QCOMPARE(span->dtEndTime->time(), QTime(10, 16));
        QCOMPARE(span->txtTimeMin->text(), "76");
        QCOMPARE(span->lblTotal->text(), "1HRs 16Mins");
    }

    // The end moves when the clock's minute differs from the end's minute;
    // the hour is not compared. A begin ahead of the clock holds the end there.
    void liveEndTime_data() {
        QTest::addColumn<QDateTime>("begin");
        QTest::addColumn<QTime>("shownEnd");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QTime>("end");
        QTest::newRow("next minute") << at(9, 0) << QTime(10, 15) << at(10, 16) << QTime(10, 16);
        QTest::newRow("same minute, another hour")
            << at(9, 0) << QTime(9, 16) << at(10, 16) << QTime(9, 16);
        QTest::newRow("begin ahead") << at(11, 0) << QTime(10, 15) << at(10, 16) << QTime(11, 0);
    }
    void liveEndTime() {
        QFETCH(QDateTime, begin);
        QFETCH(QTime, shownEnd);
        QFETCH(QDateTime, now);
        QFETCH(QTime, end);
        env->clockNow.set(at(10, 15));
        beginAt(begin);
        span->setEndTime(shownEnd);
        env->clockNow.set(now);
        span->ChangeTime();
        QCOMPARE(span->dtEndTime->time(), end);
        QVERIFY(span->Timer1->isActive());
    }

    void onlyTheUsersEndTimeStopsTheClock() {
        beginAt(at(9, 0));
        span->setEndTime(QTime(10, 5)); // the program's own assignment
        QVERIFY(span->Timer1->isActive());

        span->dtEndTime->setTime(QTime(10, 0)); // as the user's edit arrives
        QVERIFY(!span->Timer1->isActive());
        QCOMPARE(span->txtTimeMin->text(), "60");
    }

    void minutesEntry_data() {
        QTest::addColumn<QDateTime>("begin");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDateTime>("end");
        QTest::addColumn<QString>("box");
        QTest::newRow("90") << at(9, 0) << "90" << at(10, 30) << "90";
        QTest::newRow("1500 into the next day") << at(21, 0, 0, QDate(2026, 3, 5)) << "1500"
                                                << at(22, 0, 0, QDate(2026, 3, 6)) << "1500";
        QTest::newRow("-30 gives a zero span") << at(9, 0) << "-30" << at(9, 0) << "0";
        // Rewritten with the span's minutes; that rewrite is itself a change of
        // the box, which fixes the end where it is.
        QTest::newRow("letters") << at(9, 0) << "abc" << at(10, 15) << "75";
        QTest::newRow("past year 9999") << at(9, 0) << "1e13" << at(10, 15) << "75";
        QTest::newRow("not finite") << at(9, 0) << "inf" << at(10, 15) << "75";
    }
    void minutesEntry() {
        QFETCH(QDateTime, begin);
        QFETCH(QString, typed);
        QFETCH(QDateTime, end);
        QFETCH(QString, box);
        beginAt(begin);
        span->Timer1_Timer();
        span->Label4_Click();
        span->txtTimeMin->setText(typed);
        QCOMPARE(span->end(), end);
        QCOMPARE(span->txtTimeMin->text(), box);
        QVERIFY(!span->Timer1->isActive());
    }

    void hiddenMinutesBoxChangesNothing() {
        beginAt(at(9, 0));
        span->txtTimeMin->setText("90");
        QCOMPARE(span->end(), at(10, 15));
    }

    void endDateBeforeBeginIsReset() {
        beginAt(at(9, 0));
        span->Timer1_Timer();
        span->dtEnd->setDate(kToday.addDays(-1)); // the user's change
        QCOMPARE(span->end(), at(9, 0));
        QCOMPARE(span->txtTimeMin->text(), "0");
        span->TotalRecalculate(); // the total catches up at the next recalculation
        QCOMPARE(span->lblTotal->text(), "0HRs 0Mins");
    }

    void windowLeftOpenAcrossMidnight() {
        env->clockNow.set(at(23, 59, 30));
        beginAt(at(22, 0));
        span->Timer1_Timer();
        QCOMPARE(span->txtTimeMin->text(), "119");
        env->clockNow.set(at(0, 5, 0, kToday.addDays(1)));
        span->Timer1_Timer();
        // The end date stays; the wrapped end time makes the span negative,
        // which resets it to the begin, and so on at every later minute.
        QCOMPARE(span->end(), at(22, 0));
        QCOMPARE(span->txtTimeMin->text(), "0");
        env->clockNow.set(at(0, 6, 0, kToday.addDays(1)));
        span->Timer1_Timer();
        QCOMPARE(span->end(), at(22, 0));
    }

    void headingsToggleAndResetIdle() {
        QSignalSpy idle(span, &SpanControls::idleReset);
        beginAt(at(9, 0));
        span->Timer1_Timer();
        span->Label3_DblClick();
        span->Label4_Click();
        QVERIFY(!span->dtEnd->isHidden() && !span->txtTimeMin->isHidden());
        QCOMPARE(span->txtTimeMin->selectedText(), "75");
        // A real double click on "Begin" toggles once; a click on "Total" once.
        QTest::mouseDClick(span->Label2, Qt::LeftButton);
        QTest::mouseClick(span->Label4, Qt::LeftButton);
        QVERIFY(!span->dtBegin->isHidden() && span->txtTimeMin->isHidden());
        // Only the left button clicks, and only released over the heading.
        QTest::mouseDClick(span->Label2, Qt::RightButton);
        QTest::mouseClick(span->Label4, Qt::RightButton);
        QTest::mousePress(span->Label4, Qt::LeftButton);
        QTest::mouseRelease(span->Label4, Qt::LeftButton, {}, QPoint(-5, -5));
        QVERIFY(!span->dtBegin->isHidden() && span->txtTimeMin->isHidden());
        QCOMPARE(idle.count(), 4);
    }

    // Typing 11:45 over 10:15 passes through 1:15 AM, before the 9:30 begin.
    void anEndTypedDigitByDigitKeepsItsDigits() {
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        beginAt(at(9, 30));
        span->dtEndTime->setFocus();
        span->dtEndTime->setSelectedSection(QDateTimeEdit::HourSection);
        QTest::keyClicks(span->dtEndTime, QStringLiteral("11"));
        span->dtEndTime->setSelectedSection(QDateTimeEdit::MinuteSection);
        QTest::keyClicks(span->dtEndTime, QStringLiteral("45"));
        QCOMPARE(span->dtEndTime->time(), QTime(11, 45));
        QCOMPARE(span->txtTimeMin->text(), QStringLiteral("135"));

        // An end left before the begin starts again from a zero span.
        span->dtEndTime->setSelectedSection(QDateTimeEdit::HourSection);
        QTest::keyClicks(span->dtEndTime, QStringLiteral("8"));
        QCOMPARE(span->dtEndTime->time(), QTime(8, 45));
        span->dtBeginTime->setFocus();
        QCOMPARE(span->dtEndTime->time(), QTime(9, 30));
        QCOMPARE(span->txtTimeMin->text(), QStringLiteral("0"));
    }
};

QTEST_MAIN(TestSpan)
#include "test_span.moc"
