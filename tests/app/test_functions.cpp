#include "Functions.h"

#include <QTest>

namespace {
const QChar CR(13);
constexpr double kMinute = 1.0 / 1440.0;
} // namespace

class TestFunctions : public QObject {
    Q_OBJECT
private slots:
    void durationText_data() {
        QTest::addColumn<double>("days");
        QTest::addColumn<QString>("hoursAndMinutes");
        QTest::addColumn<QString>("minutesOnly");
        QTest::newRow("zero") << 0.0 << "0HRs 0Mins" << "0";
        QTest::newRow("an hour and a half") << 90 * kMinute << "1HRs 30Mins" << "90";
        QTest::newRow("exactly two hours") << 2.0 / 24 << "2HRs 0Mins" << "120";
        QTest::newRow("59 min 40 s rounds up to the hour")
            << (59 * 60 + 40) / 86400.0 << "1HRs 0Mins" << "60";
        QTest::newRow("45 minutes") << 45 * kMinute << "0HRs 45Mins" << "45";
        QTest::newRow("negative half hour") << -30 * kMinute << "-1HRs 30Mins" << "-30";
        // 30 s is half a minute: the even neighbour 0 wins; 90 s goes to 2.
        QTest::newRow("half minute to even (down)") << 30 / 86400.0 << "0HRs 0Mins" << "0";
        QTest::newRow("one and a half minutes to even (up)")
            << 90 / 86400.0 << "0HRs 2Mins" << "2";
        QTest::newRow("two and a half minutes to even (down)")
            << 150 / 86400.0 << "0HRs 2Mins" << "2";
        QTest::newRow("long span") << 1500 * kMinute << "25HRs 0Mins" << "1500";
    }
    void durationText() {
        QFETCH(double, days);
        QFETCH(QString, hoursAndMinutes);
        QFETCH(QString, minutesOnly);
        QCOMPARE(DurationText(days, 0), hoursAndMinutes);
        QCOMPARE(DurationText(days, 2), hoursAndMinutes);
        QCOMPARE(DurationText(days, 1), minutesOnly);
    }

    void checkSelection_data() {
        QTest::addColumn<bool>("client");
        QTest::addColumn<bool>("work");
        QTest::addColumn<QString>("minutes");
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("message");
        const QString clientBoth =
            QString("Client information was not selected.") + CR +
            " Both Client and work information need to be selected to record activity.";
        const QString projectBoth =
            QString("Project information was not selected.") + CR +
            " Both Project and work information need to be selected to record activity.";
        const QString workMissing =
            QString("Work Information was not selected. ") + CR +
            " Both Client and work information need to be selected to record activity.";
        const QString zero = "Activity was not recorded.  Time selected to record is at 0.";
        QTest::newRow("all selected") << true << true << "15" << "Client" << true << "";
        QTest::newRow("no client") << false << true << "15" << "Client" << false << clientBoth;
        QTest::newRow("no project") << false << true << "15" << "Project" << false << projectBoth;
        QTest::newRow("neither: client message asks for both")
            << false << false << "15" << "Client" << false << clientBoth;
        QTest::newRow("no work code") << true << false << "15" << "Client" << false << workMissing;
        QTest::newRow("zero minutes") << true << true << "0" << "Client" << false << zero;
        QTest::newRow("zero wins over missing lists")
            << false << false << "0" << "Client" << false << zero;
        QTest::newRow("letters read as zero") << true << true << "abc" << "Client" << false << zero;
        QTest::newRow("negative") << true << true << "-30" << "Client" << false << zero;
        QTest::newRow("leading number counts") << true << true << "12abc" << "Client" << true << "";
    }
    void checkSelection() {
        QFETCH(bool, client);
        QFETCH(bool, work);
        QFETCH(QString, minutes);
        QFETCH(QString, label);
        QFETCH(bool, ok);
        QFETCH(QString, message);
        const CheckResult result =
            CheckSelection(SelectionState{client, client, work, work}, minutes, label);
        QCOMPARE(result.ok, ok);
        QCOMPARE(result.message, message);
    }

    void onlyFirstListOfPairMissingGivesEmptyMessage() {
        const CheckResult result =
            CheckSelection(SelectionState{false, true, true, true}, "10", "Client");
        QVERIFY(!result.ok);
        QCOMPARE(result.message, QString());
    }
};

QTEST_GUILESS_MAIN(TestFunctions)
#include "test_functions.moc"
