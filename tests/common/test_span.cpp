#include "SpanControls.h"
#include "TestEnvironment.h"

#include <QLabel>
#include <QLineEdit>
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

    // A span beginning at `begin`, its end on today's date at the current
    // minute, the clock followed and ticked once.
    void beginAt(const QDateTime& begin) {
        span->setBeginDate(begin.date());
        span->setBeginTime(begin.time());
        span->setEndDate(env->clockNow.now().date());
        span->dtBegin_Change();
        span->dtEnd_Change();
        span->endTimeToNow();
        span->TotalRecalculate();
        span->Timer1->start();
        span->Timer1_Timer();
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
        QTest::newRow("across midnight")
            << SpanValues{d, QTime(23, 30), d.addDays(1), QTime(1, 15)} << 105 / 1440.0 << 105LL;
        QTest::newRow("end before begin")
            << SpanValues{d, QTime(9, 0), d, QTime(8, 57)} << -3 / 1440.0 << -3LL;
        QTest::newRow("one and a half minutes rounds to even")
            << SpanValues{d, QTime(9, 0), d, QTime(9, 1, 30)} << 90 / 86400.0 << 2LL;
    }
    void spanArithmetic() {
        QFETCH(SpanValues, values);
        QFETCH(double, days);
        QFETCH(long long, minutes);
        QVERIFY(std::fabs(spanDays(values) - days) < 1e-12);
        QCOMPARE(spanMinutes(values), minutes);
        // Not a number, far too many, past the year 9999, before 1601.
        for (double wild : {std::nan(""), 1e300, 8000.0 * 366 * 1440, -500.0 * 366 * 1440})
            QVERIFY(!endAfterMinutes(at(9, 0), wild));
    }

    // The end follows the clock when the clock's minute differs from the
    // end's minute (the hour is not compared); a begin ahead of the clock
    // holds the end there; past midnight the end date stays, so the span
    // turns negative and is reset to its begin.
    void liveEndTime_data() {
        QTest::addColumn<QDateTime>("opened");
        QTest::addColumn<QDateTime>("begin");
        QTest::addColumn<QTime>("shownEnd");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("end");
        QTest::addColumn<QString>("total");
        QTest::newRow("next minute")
            << at(10, 15) << at(9, 0) << QTime(10, 15) << at(10, 16) << at(10, 16) << "1HRs 16Mins";
        QTest::newRow("same minute, another hour")
            << at(10, 15) << at(9, 0) << QTime(9, 16) << at(10, 16) << at(9, 16) << "0HRs 16Mins";
        QTest::newRow("begin ahead")
            << at(10, 15) << at(11, 0) << QTime(10, 15) << at(10, 16) << at(11, 0) << "0HRs 0Mins";
        QTest::newRow("left open across midnight")
            << at(23, 59, 30) << at(22, 0) << QTime(23, 59) << at(0, 5, 0, kToday.addDays(1))
            << at(22, 0) << "0HRs 0Mins";
    }
    void liveEndTime() {
        QFETCH(QDateTime, opened);
        QFETCH(QDateTime, begin);
        QFETCH(QTime, shownEnd);
        QFETCH(QDateTime, now);
        QFETCH(QDateTime, end);
        QFETCH(QString, total);
        env->clockNow.set(opened);
        beginAt(begin);
        span->setEndTime(shownEnd); // the program's own assignment keeps the clock
        env->clockNow.set(now);
        span->Timer1_Timer();
        QCOMPARE(span->end(), end);
        QCOMPARE(span->lblTotal->text(), total);
        QCOMPARE(span->txtTimeMin->text(), QString::number(begin.secsTo(end) / 60));
        QVERIFY(span->Timer1->isActive());
        if (QTest::currentDataTag() == QLatin1String("next minute")) {
            span->dtEndTime->setTime(QTime(10, 0)); // as the user's edit arrives
            QVERIFY(!span->Timer1->isActive());
            QCOMPARE(span->txtTimeMin->text(), "60");
        }
    }

    // Typed minutes move the end; what is no number is rewritten with the
    // span's minutes, which fixes the end where it is.
    void minutesEntry_data() {
        QTest::addColumn<QDateTime>("begin");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDateTime>("end");
        QTest::addColumn<QString>("box");
        QTest::newRow("1500 into the next day") << at(21, 0, 0, QDate(2026, 3, 5)) << "1500"
                                                << at(22, 0, 0, QDate(2026, 3, 6)) << "1500";
        QTest::newRow("-30 gives a zero span") << at(9, 0) << "-30" << at(9, 0) << "0";
        QTest::newRow("letters") << at(9, 0) << "abc" << at(10, 15) << "75";
        QTest::newRow("past year 9999") << at(9, 0) << "1e13" << at(10, 15) << "75";
        QTest::newRow("hidden box") << at(9, 0) << "hidden 90" << at(10, 15) << "90";
    }
    void minutesEntry() {
        QFETCH(QDateTime, begin);
        QFETCH(QString, typed);
        QFETCH(QDateTime, end);
        QFETCH(QString, box);
        beginAt(begin);
        if (typed.startsWith("hidden")) {
            span->txtTimeMin->setText(typed.mid(7));
        } else {
            span->Label4_Click();
            span->txtTimeMin->setText(typed);
            QVERIFY(!span->Timer1->isActive());
        }
        QCOMPARE(span->end(), end);
        QCOMPARE(span->txtTimeMin->text(), box);
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
