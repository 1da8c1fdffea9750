#include "SetupRules.h"

#include <QTest>

class TestSetupRules : public QObject {
    Q_OBJECT
private slots:
    void captureFrequency_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("minutes");
        QTest::newRow("plain") << "15" << true << 15;
        QTest::newRow("blanks around") << " 20 " << true << 20;
        QTest::newRow("fraction rounds") << "15.6" << true << 16;
        QTest::newRow("half goes to even") << "12.5" << true << 12;
        QTest::newRow("largest 16-bit") << "32767" << true << 32767;
        QTest::newRow("one past 16-bit") << "32768" << false << 0;
        QTest::newRow("far past 16-bit") << "100000" << false << 0;
        QTest::newRow("letters") << "abc" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("not finite") << "inf" << false << 0;
    }
    void captureFrequency() {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QFETCH(int, minutes);
        const auto frequency = ::captureFrequency(text);
        QCOMPARE(frequency.has_value(), accepted);
        if (accepted)
            QCOMPARE(int(*frequency), minutes);
    }

    void purgeCutoff_data() {
        QTest::addColumn<QString>("days");
        QTest::addColumn<QDateTime>("expected");
        const QDateTime now(QDate(2026, 3, 11), QTime(15, 0));
        QTest::newRow("90 days keeps the time of day")
            << "90" << QDateTime(QDate(2025, 12, 11), QTime(15, 0));
        QTest::newRow("half a day") << "0.5" << QDateTime(QDate(2026, 3, 11), QTime(3, 0));
        QTest::newRow("negative reaches into the future")
            << "-2" << QDateTime(QDate(2026, 3, 13), QTime(15, 0));
        QTest::newRow("huge count stops at the first moment")
            << "1e12" << QDateTime(QDate(1, 1, 1), QTime(0, 0));
        QTest::newRow("huge negative stops at the last moment")
            << "-1e12" << QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59));
    }
    void purgeCutoff() {
        QFETCH(QString, days);
        QFETCH(QDateTime, expected);
        const QDateTime now(QDate(2026, 3, 11), QTime(15, 0));
        const auto cutoff = ::purgeCutoff(now, days);
        QVERIFY(cutoff.has_value());
        QCOMPARE(*cutoff, expected);
    }
};

QTEST_GUILESS_MAIN(TestSetupRules)
#include "test_setuprules.moc"
