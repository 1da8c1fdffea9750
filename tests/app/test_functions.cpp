// DurationText, the recording check and typed times.
#include "DateText.h"
#include "Functions.h"

#include <QTest>

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

    // The zero-span and no-client texts are checked where Time Control shows them.
    void checkSelectionGivesTheExactMessage() {
        const QString both = " and work information need to be selected to record activity.";
        const auto message = [](bool client, bool work, const QString& word) {
            return CheckSelection(SelectionState{client, client, work, work}, "15", word).message;
        };
        QCOMPARE(message(false, false, "Project"),
                 "Project information was not selected.\r Both Project" + both);
        QCOMPARE(message(true, false, "Client"),
                 "Work Information was not selected. \r Both Client" + both);
        const auto minutesOk = [](const QString& minutes) {
            return CheckSelection(SelectionState{true, true, true, true}, minutes, "Client").ok;
        };
        QVERIFY(minutesOk("12abc") && !minutesOk("abc") && !minutesOk("-30"));
        // Only the first list of a pair without a selection: refused, nothing said
        const CheckResult half =
            CheckSelection(SelectionState{false, true, true, true}, "10", "Client");
        QVERIFY(!half.ok && half.message.isEmpty());
    }

    // What people type as the begin of work.
    void typedTimes() {
        const std::pair<const char*, QTime> typed[] = {
            {"8 PM", QTime(20, 0)},     {"9:15pm", QTime(21, 15)},
            {"12:30 AM", QTime(0, 30)}, {"  7:45:10 AM ", QTime(7, 45, 10)},
            {"20:05", QTime(20, 5)},    {"25:00", QTime()},
            {"13:00 PM", QTime()}};
        for (const auto& [text, time] : typed)
            QCOMPARE(timeFromText(text), time);
    }
};

QTEST_GUILESS_MAIN(TestFunctions)
#include "test_functions.moc"
