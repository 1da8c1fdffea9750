#include "DateText.h"

#include <QTest>

class TestDateText : public QObject {
    Q_OBJECT
private slots:
    void usTexts_data() {
        QTest::addColumn<QDateTime>("moment");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::newRow("afternoon") << QDateTime(QDate(2026, 3, 5), QTime(15, 15)) << "3/5/2026"
                                   << "3:15:00 PM";
        QTest::newRow("midnight") << QDateTime(QDate(2026, 12, 31), QTime(0, 0, 7)) << "12/31/2026"
                                  << "12:00:07 AM";
        QTest::newRow("noon") << QDateTime(QDate(2026, 1, 1), QTime(12, 0)) << "1/1/2026"
                              << "12:00:00 PM";
        QTest::newRow("before noon")
            << QDateTime(QDate(2026, 10, 9), QTime(11, 59, 59)) << "10/9/2026"
            << "11:59:59 AM";
    }
    void usTexts() {
        QFETCH(QDateTime, moment);
        QFETCH(QString, date);
        QFETCH(QString, time);
        QCOMPARE(usDateText(moment.date()), date);
        QCOMPARE(usTimeText(moment.time()), time);
        QCOMPARE(usDateTimeText(moment), date + " " + time);
    }

    void timeFromText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QTime>("time");
        QTest::newRow("stored default") << "8:00:00 AM" << QTime(8, 0);
        QTest::newRow("no seconds") << "5:30 PM" << QTime(17, 30);
        QTest::newRow("hour only") << "8 PM" << QTime(20, 0);
        QTest::newRow("lower case, no blank") << "9:15pm" << QTime(21, 15);
        QTest::newRow("half past midnight") << "12:30 AM" << QTime(0, 30);
        QTest::newRow("noon") << "12:00 PM" << QTime(12, 0);
        QTest::newRow("24-hour") << "20:05" << QTime(20, 5);
        QTest::newRow("blanks around") << "  7:45:10 AM " << QTime(7, 45, 10);
        QTest::newRow("not a time") << "soon" << QTime();
        QTest::newRow("empty") << "" << QTime();
        QTest::newRow("hour out of range") << "25:00" << QTime();
        QTest::newRow("13 PM") << "13:00 PM" << QTime();
    }
    void timeFromText() {
        QFETCH(QString, text);
        QFETCH(QTime, time);
        QCOMPARE(::timeFromText(text), time);
    }

    void combineTakesTheDateAndTheTimeToTheSecond() {
        const QDateTime combined = combine(QDate(2026, 3, 5), QTime(23, 30, 15, 999));
        QCOMPARE(combined, QDateTime(QDate(2026, 3, 5), QTime(23, 30, 15)));
        QCOMPARE(startOfDay(QDateTime(QDate(2026, 3, 6), QTime(1, 15))),
                 QDateTime(QDate(2026, 3, 6), QTime(0, 0)));
    }
};

QTEST_GUILESS_MAIN(TestDateText)
#include "test_datetext.moc"
