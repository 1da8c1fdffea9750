// DurationText, the recording check and the English (United States) date texts.
#include "DateText.h"
#include "Functions.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestFunctions : public QObject {
    Q_OBJECT
private slots:
    void durationText() {
        const std::tuple<double, QString, QString> rows[] = {
            {5400, "1HRs 30Mins", "90"}, {3580, "1HRs 0Mins", "60"}, {-1800, "-1HRs 30Mins", "-30"},
            {30, "0HRs 0Mins", "0"}, // halves round to the even neighbour
            {90, "0HRs 2Mins", "2"},     {150, "0HRs 2Mins", "2"},   {90000, "25HRs 0Mins", "1500"},
        };
        for (const auto& [seconds, hoursAndMinutes, minutesOnly] : rows) {
            QCOMPARE(DurationText(seconds / 86400, 0), hoursAndMinutes);
            QCOMPARE(DurationText(seconds / 86400, 2), hoursAndMinutes);
            QCOMPARE(DurationText(seconds / 86400, 1), minutesOnly);
        }
    }

    void checkSelectionGivesTheExactMessage() {
        const auto check = [](bool client, bool work, const QString& minutes,
                              const QString& word = "Client") {
            const CheckResult result =
                CheckSelection(SelectionState{client, client, work, work}, minutes, word);
            return result.ok ? u"ok"_s : result.message;
        };
        const QString zero = "Activity was not recorded.  Time selected to record is at 0.";
        const QString both = " and work information need to be selected to record activity.";
        QCOMPARE(check(true, true, "12abc"), u"ok"_s);
        QCOMPARE(check(false, false, "15", "Project"),
                 "Project information was not selected.\r Both Project" + both);
        QCOMPARE(check(true, false, "15"),
                 "Work Information was not selected. \r Both Client" + both);
        for (const char* minutes : {"abc", "-30"})
            QCOMPARE(check(true, true, minutes), zero);
        QCOMPARE(check(false, false, "0"), zero);
        // Only the first list of a pair without a selection: refused, nothing said
        const CheckResult half =
            CheckSelection(SelectionState{false, true, true, true}, "10", "Client");
        QVERIFY(!half.ok && half.message.isEmpty());
    }

    void dateTexts() {
        const std::pair<QDateTime, QString> texts[] = {
            {QDateTime(QDate(2026, 3, 5), QTime(15, 15)), "3/5/2026 3:15:00 PM"},
            {QDateTime(QDate(2026, 12, 31), QTime(0, 0, 7)), "12/31/2026 12:00:07 AM"},
            {QDateTime(QDate(2026, 1, 1), QTime(12, 0)), "1/1/2026 12:00:00 PM"},
        };
        for (const auto& [moment, text] : texts) {
            QCOMPARE(usDateTimeText(moment), text);
            QCOMPARE(usDateText(moment.date()) + ' ' + usTimeText(moment.time()), text);
            QCOMPARE(timeFromText(usTimeText(moment.time())), moment.time());
        }
        // And what people type as the begin of work
        QCOMPARE(timeFromText("8 PM"), QTime(20, 0));
        QCOMPARE(timeFromText("9:15pm"), QTime(21, 15));
        QCOMPARE(timeFromText("12:30 AM"), QTime(0, 30));
        QCOMPARE(timeFromText("20:05"), QTime(20, 5));
        QCOMPARE(timeFromText("  7:45:10 AM "), QTime(7, 45, 10));
        for (const char* text : {"soon", "", "25:00", "13:00 PM"})
            QVERIFY2(!timeFromText(text).isValid(), text);
        QCOMPARE(combine(QDate(2026, 3, 5), QTime(23, 30, 15, 999)),
                 QDateTime(QDate(2026, 3, 5), QTime(23, 30, 15)));
    }
};

QTEST_GUILESS_MAIN(TestFunctions)
#include "test_functions.moc"
