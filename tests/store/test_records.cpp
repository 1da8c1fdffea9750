#include "Appends.h"
#include "FileStore.h"
#include "ReportSums.h"
#include "StoreTest.h"

#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace testing;

namespace {

const QDateTime kNow = at(2026, 3, 2, 16, 0);

QList<QDateTime> endTimes(const std::vector<store::ActivityRecord>& rows) {
    QList<QDateTime> ends;
    for (const auto& row : rows)
        ends << row.endTime;
    return ends;
}

// Runs a test in a time zone whose clocks change, then restores the old one.
struct LocalZone {
    const QByteArray before = qgetenv("TZ");
    explicit LocalZone(const char* zone) {
        qputenv("TZ", zone);
        tzset();
    }
    ~LocalZone() {
        if (before.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", before);
        tzset();
    }
};

} // namespace

class TestRecords : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<store::FileStore> file;
    store::Database* db = nullptr;
    int fileNumber = 0;

    void add(const QString& employee, const QDateTime& begin, const QDateTime& end) {
        store::appendRecord(*db, record(employee, begin, end));
    }
    QList<QDateTime> recentEnds(const QString& employee, store::RecentOrder order,
                                const std::optional<QDateTime>& to = std::nullopt) {
        return endTimes(store::recentRecords(*db, employee, store::recentCutoff(kNow), order, to));
    }

    // One record of `employee` with the given codes, made when it ended.
    void span(const QDateTime& begin, const QDateTime& end, qint32 number, const QString& client,
              qint32 code, const QString& work, const QString& employee = "Ann") {
        store::appendRecord(*db, {end, begin, end, number, client, code, work, employee});
    }
    // Ann's report as "day number client code work minutes" lines.
    QStringList report(QDate from, QDate to, bool daily = false) {
        QStringList out;
        for (const store::ReportRow& r : store::reportRows(*db, {from, to, daily, "Ann"}))
            out << QString("%1 %2 %3 %4 %5 %6")
                       .arg(r.day.toString("d"))
                       .arg(r.clientNumber)
                       .arg(r.clientName)
                       .arg(r.workCode)
                       .arg(r.workDescription)
                       .arg(r.totalTime * 1440);
        return out;
    }

private slots:
    void init() {
        const QString name = QStringLiteral("Records%1.HL1").arg(++fileNumber);
        file = std::make_unique<store::FileStore>(store::connectDataBase(dir.filePath(name), name));
        db = &file->database();
    }
    void cleanup() { file.reset(); }

    void undoReachesBackFiveHours_data() {
        QTest::addColumn<int>("endedSecondsAgo");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("an hour ago") << 3600 << true;
        QTest::newRow("exactly five hours ago") << 5 * 3600 << true;
        QTest::newRow("five hours and a second ago") << 5 * 3600 + 1 << false;
        QTest::newRow("ends in the future") << -1800 << true;
    }
    void undoReachesBackFiveHours() {
        QFETCH(int, endedSecondsAgo);
        QFETCH(bool, deleted);
        const QDateTime end = kNow.addSecs(-endedSecondsAgo);
        add("ann", end.addSecs(-1800), end);
        QCOMPARE(store::deleteLastRecord(*db, "ann", kNow), deleted);
        QCOMPARE(rowCount(*db), deleted ? 0 : 1);
    }

    // New York's clocks went forward at 2:00 AM on 9 March 2025 and back at
    // 2:00 AM on 2 November 2025. Five hours are five hours of the wall clock.
    // The moments are read once the zone is in force.
    void reachIsFiveWallClockHoursOnTheNightsTheClocksChange_data() {
        QTest::addColumn<QString>("now");
        QTest::addColumn<QString>("ended");
        QTest::addColumn<bool>("reached");
        QTest::newRow("spring, 5:30 wall, 4:30 elapsed") << "2025-03-09 06:00:00"
                                                         << "2025-03-09 00:30:00" << false;
        QTest::newRow("spring, 4:30 wall") << "2025-03-09 06:00:00"
                                           << "2025-03-09 01:30:00" << true;
        QTest::newRow("spring, five hours back is skipped, 5:31 wall")
            << "2025-03-09 07:30:00"
            << "2025-03-09 01:59:00" << false;
        QTest::newRow("spring, five hours back is skipped, 4:30 wall")
            << "2025-03-09 07:30:00"
            << "2025-03-09 03:00:00" << true;
        QTest::newRow("autumn, 4:30 wall, 5:30 elapsed") << "2025-11-02 05:00:00"
                                                         << "2025-11-02 00:30:00" << true;
        QTest::newRow("autumn, 5:01 wall") << "2025-11-02 05:00:00"
                                           << "2025-11-01 23:59:00" << false;
    }
    void reachIsFiveWallClockHoursOnTheNightsTheClocksChange() {
        QFETCH(QString, now);
        QFETCH(QString, ended);
        QFETCH(bool, reached);
        LocalZone zone("America/New_York");
        QVERIFY(!at(2025, 3, 9, 2, 30).isValid()); // the zone is in force
        const QDateTime moment = store::fromStoredText(now), end = store::fromStoredText(ended);
        add("ann", end.addSecs(-1800), end);
        QCOMPARE(store::recentRecords(*db, "ann", store::recentCutoff(moment),
                                      store::RecentOrder::EndTimeDesc)
                     .size(),
                 reached ? 1u : 0u);
        QCOMPARE(store::deleteLastRecord(*db, "ann", moment), reached);
    }

    void undoTakesTheLatestEndingOneAtATime() {
        // Entered out of order; two of them end together at 15:00
        add("ann", at(2026, 3, 2, 14, 0), at(2026, 3, 2, 15, 0));
        add("ann", at(2026, 3, 2, 13, 0), at(2026, 3, 2, 14, 0));
        add("ann", at(2026, 3, 2, 14, 30), at(2026, 3, 2, 15, 0));
        QVERIFY(store::deleteLastRecord(*db, "ann", kNow));
        QVERIFY(store::deleteLastRecord(*db, "ann", kNow));
        QCOMPARE(recentEnds("ann", store::RecentOrder::EndTimeDesc),
                 QList<QDateTime>{at(2026, 3, 2, 14, 0)});
        QVERIFY(store::deleteLastRecord(*db, "ann", kNow));
        QVERIFY(!store::deleteLastRecord(*db, "ann", kNow));
    }

    void anotherEmployeesRecordsAreNeverTouchedOrCounted() {
        add("ann", at(2026, 3, 2, 13, 0), at(2026, 3, 2, 14, 0));
        add("bob", at(2026, 3, 2, 14, 0), at(2026, 3, 2, 15, 30));
        add("bob", at(2026, 3, 2, 16, 0), at(2026, 3, 2, 18, 0));
        QCOMPARE(recentEnds("ann", store::RecentOrder::EndTimeDesc).size(), 1);
        QVERIFY(!store::hasRecordEndingAtOrAfter(*db, "ann", kNow));
        QVERIFY(store::hasRecordEndingAtOrAfter(*db, "bob", kNow));
        QVERIFY(store::deleteLastRecord(*db, "ann", kNow));
        QVERIFY(!store::deleteLastRecord(*db, "ann", kNow));
        QCOMPARE(rowCount(*db, "SELECT count(*) FROM tblTimeSheet WHERE Employee = 'bob'"), 2);
    }

    void recentQueriesOrderAndBoundAsAsked() {
        // A long record that began first but ends last, a short one inside
        // it, one ending in the future and one too old
        add("ann", at(2026, 3, 2, 12, 0), at(2026, 3, 2, 15, 30));
        add("ann", at(2026, 3, 2, 13, 0), at(2026, 3, 2, 14, 0));
        add("ann", at(2026, 3, 2, 15, 30), at(2026, 3, 2, 17, 0));
        add("ann", at(2026, 3, 2, 9, 0), at(2026, 3, 2, 10, 0));
        QCOMPARE(recentEnds("ann", store::RecentOrder::EndTimeDesc),
                 (QList<QDateTime>{at(2026, 3, 2, 17, 0), at(2026, 3, 2, 15, 30),
                                   at(2026, 3, 2, 14, 0)}));
        QCOMPARE(recentEnds("ann", store::RecentOrder::BeginTimeDesc, kNow),
                 (QList<QDateTime>{at(2026, 3, 2, 14, 0), at(2026, 3, 2, 15, 30)}));
        QCOMPARE(store::recentRecords(*db, "ann", store::recentCutoff(kNow),
                                      store::RecentOrder::EndTimeDesc, std::nullopt, 1)
                     .size(),
                 1u);
    }

    void dayListTakesRecordsOverMidnightOnBothDays() {
        const auto overMidnight = record("ann", at(2026, 3, 1, 23, 30), at(2026, 3, 2, 1, 15));
        store::appendRecord(*db, overMidnight);
        add("ann", at(2026, 3, 2, 8, 0), at(2026, 3, 2, 9, 0));
        add("ann", at(2026, 3, 3, 0, 0), at(2026, 3, 3, 1, 0));
        add("bob", at(2026, 3, 2, 10, 0), at(2026, 3, 2, 11, 0));
        const auto day = store::dayRecords(*db, "ann", QDate(2026, 3, 2));
        QCOMPARE(day.size(), 2u);
        QCOMPARE(day[0], overMidnight);
        QCOMPARE(qRound(day[0].days() * 24 * 60), 105);
        QCOMPARE(day[1].beginTime, at(2026, 3, 2, 8, 0));
        QCOMPARE(store::dayRecords(*db, "ann", QDate(2026, 3, 1)).size(), 1u);
    }

    // Another tool can write past the schema's checks. A record whose dates
    // cannot be read is named, never shown as a negative or giant span.
    void unreadableDatesAreNamed_data() {
        QTest::addColumn<QStringList>("dates"); // Date, BeginTime, EndTime
        QTest::addColumn<bool>("dayList");      // or else the Time Control window's latest
        QTest::newRow("latest, Julian day")
            << QStringList{"2026-03-02 15:00:00", "2026-03-02 14:00:00", "2460747.0"} << false;
        QTest::newRow("latest, made-on day alone")
            << QStringList{"2026-03-02", "2026-03-02 14:00:00", "2026-03-02 15:00:00"} << false;
        QTest::newRow("day list, no seconds")
            << QStringList{"2026-03-02 15:00:00", "2026-03-02 10:30", "2026-03-02 11:00:00"}
            << true;
        QTest::newRow("day list, T between")
            << QStringList{"2026-03-02 15:00:00", "2026-03-02 09:00:00", "2026-03-02T10:00:00"}
            << true;
    }
    void unreadableDatesAreNamed() {
        QFETCH(QStringList, dates);
        QFETCH(bool, dayList);
        add("ann", at(2026, 3, 2, 12, 0), at(2026, 3, 2, 13, 0));
        db->exec("PRAGMA ignore_check_constraints = ON");
        store::Statement insert(*db, "INSERT INTO tblTimeSheet VALUES (?, ?, ?, 7, 'Acme', 3, "
                                     "'Design', 'ann')");
        insert.bind(1, dates[0]).bind(2, dates[1]).bind(3, dates[2]).run();
        try {
            if (dayList)
                store::dayRecords(*db, "ann", QDate(2026, 3, 2));
            else
                store::recentRecords(*db, "ann", store::recentCutoff(kNow),
                                     store::RecentOrder::EndTimeDesc, std::nullopt, 1);
            QFAIL("an unreadable record was read");
        } catch (const store::DbError& error) {
            const QString unreadable = *std::find_if(
                dates.begin(), dates.end(), [](auto& d) { return !store::isStoredDateText(d); });
            for (const QString& named : {QString("\"ann\" beginning \"%1\"").arg(dates[1]),
                                         QString("Acme"), QString("Design"), unreadable})
                QVERIFY2(error.message().contains(named), qPrintable(error.message()));
        }
    }

    void appendsStampTheirDateAsEachWindowDoes() {
        const QDateTime recordedAt = at(2026, 3, 2, 17, 42, 10).addMSecs(640);
        const auto span = record("ann", at(2026, 3, 2, 16, 0), at(2026, 3, 2, 17, 0));
        store::addControlRecord(*file, span, recordedAt);
        store::addClockRecord(*file, span, recordedAt);
        const auto rows = store::dayRecords(*db, "ann", QDate(2026, 3, 2));
        QCOMPARE(rows.size(), 2u);
        QCOMPARE((QSet<QDateTime>{rows[0].date, rows[1].date}),
                 (QSet<QDateTime>{at(2026, 3, 2, 17, 42, 10), at(2026, 3, 2, 0, 0)}));
        QCOMPARE(rows[0].beginTime, span.beginTime);
        QCOMPARE(rows[1].endTime, span.endTime);
    }

    void textsAreStoredAndFoundExactly() {
        const std::pair<QString, QString> storedAndSearched[] = {
            {"O'Brien", "O'Brien"},
            {"The \"Big\" Client", "The \"Big\" Client"},
            {"x'; DROP TABLE tblTimeSheet; --", "x'; DROP TABLE tblTimeSheet; --"},
            {"100% _done_", "100% _done_"},
            {QString::fromUtf8("Zoë Łukasz 東京"), QString::fromUtf8("Zoë Łukasz 東京")},
            {" ", " "}, // the default employee
            {"Ann Smith", "ANN SMITH"},
            {QString(255, QChar(0xe9)), QString(255, QChar(0xe9))}, // the longest, 510 bytes
        };
        add("someone else", at(2026, 3, 2, 14, 0), at(2026, 3, 2, 15, 0));
        for (const auto& [name, searched] : storedAndSearched) {
            const auto r = record(name, at(2026, 3, 2, 14, 0), at(2026, 3, 2, 15, 0), name, name);
            store::appendRecord(*db, r);
            const auto rows = store::recentRecords(*db, searched, store::recentCutoff(kNow),
                                                   store::RecentOrder::EndTimeDesc);
            QVERIFY2(rows.size() == 1 && rows[0] == r, qPrintable(name));
            QVERIFY(store::deleteLastRecord(*db, searched, kNow));
            QCOMPARE(rowCount(*db), 1);
        }
    }

    void unstorableTextIsRefusedBeforeAnythingIsWritten() {
        const QString ok = "ok", longest(256, 'x');
        const QStringList bad[] = {{"", ok, ok},
                                   {ok, "", ok},
                                   {ok, ok, ""},
                                   {longest, ok, ok},
                                   {ok, longest, ok},
                                   {ok, ok, longest},
                                   {"Ac\nme", ok, ok},
                                   {ok, "De\tsign", ok},
                                   {ok, ok, "Pat\r"},
                                   {ok, ok, "Pat\x7f"},
                                   {ok, ok, "\x1b[31m"},
                                   {ok, ok, QString::fromUtf8("Pat\u2028Lee")},
                                   {QString(QChar(0)), ok, ok}};
        for (const QStringList& texts : bad) {
            const auto r = record(texts[2], kNow.addSecs(-60), kNow, texts[0], texts[1]);
            QVERIFY_THROWS_EXCEPTION(store::DbError, store::appendRecord(*db, r));
            QVERIFY_THROWS_EXCEPTION(store::DbError, store::addClockRecord(*file, r, kNow));
            // Inside a larger transaction the earlier good row goes back with it
            QVERIFY_THROWS_EXCEPTION(
                store::DbError, store::writeTransaction(*db, [&](store::Transaction& transaction) {
                    store::insertRecord(transaction, record("ann", kNow, kNow));
                    store::insertRecord(transaction, r);
                }));
        }
        QCOMPARE(rowCount(*db), 0);
    }

    void rangeCountsByBeginTimeFromMidnightToTheMidnightAfter() {
        span(at(2025, 3, 7, 23, 59), at(2025, 3, 8, 0, 30), 1, "Acme", 10, "Design");
        span(at(2025, 3, 8, 0, 0), at(2025, 3, 8, 1, 0), 1, "Acme", 10, "Design");
        span(at(2025, 3, 8, 23, 30), at(2025, 3, 9, 2, 0), 1, "Acme", 10, "Design");
        span(at(2025, 3, 9, 0, 0), at(2025, 3, 9, 0, 15), 1, "Acme", 10, "Design");
        span(at(2025, 3, 9, 0, 1), at(2025, 3, 9, 5, 0), 1, "Acme", 10, "Design");
        span(at(2025, 3, 8, 9, 0), at(2025, 3, 8, 17, 0), 1, "Acme", 10, "Design", "Bob");
        // From equal to To: the day, the record begun at 00:00 after it, the whole
        // of the one past midnight; not those a minute outside, nor Bob's
        QCOMPARE(report(QDate(2025, 3, 8), QDate(2025, 3, 8)),
                 QStringList{" 1 Acme 10 Design 225"});
        QCOMPARE(report(QDate(2025, 3, 9), QDate(2025, 3, 7)), QStringList{});
        QCOMPARE(report(QDate(2025, 3, 9), QDate(2025, 3, 7), true), QStringList{});

        // A record another tool wrote past the schema's checks is named, not
        // summed as a wrong span; the other days still report
        db->exec("PRAGMA ignore_check_constraints = ON;"
                 "INSERT INTO tblTimeSheet VALUES ('2025-03-08 11:00:00', '2025-03-08 10:30', "
                 "'2025-03-08 11:00:00', 1, 'Acme', 10, 'Design', 'Ann')");
        for (bool daily : {false, true}) {
            try {
                report(QDate(2025, 3, 8), QDate(2025, 3, 8), daily);
                QFAIL("a record with an unreadable date was summed");
            } catch (const store::DbError& error) {
                QVERIFY2(error.message().contains(
                             "\"Ann\" beginning \"2025-03-08 10:30\" (client \"Acme\", work "
                             "\"Design\")"),
                         qPrintable(error.message()));
            }
        }
        QCOMPARE(report(QDate(2025, 3, 9), QDate(2025, 3, 9)).size(), 1);
    }

    void sumsGroupedAndOrderedWithoutRegardToCase() {
        span(at(2025, 3, 3, 9), at(2025, 3, 3, 10, 30), 2, "beta", 20, "Support");
        span(at(2025, 3, 4, 9), at(2025, 3, 4, 9, 45), 1, "Acme", 20, "support");
        span(at(2025, 3, 5, 9), at(2025, 3, 5, 11), 1, "ACME", 10, "Design");
        span(at(2025, 3, 6, 9), at(2025, 3, 6, 9, 15), 2, "Beta", 20, "Support", "ann");
        span(at(2025, 3, 3, 23), at(2025, 3, 4, 1), 3, "Zeta", 10, "Design");
        const QStringList perItem = report(QDate(2025, 3, 2), QDate(2025, 3, 8));
        // Which spelling of a name the group shows is the engine's choice
        QCOMPARE(perItem.join(',').toLower(), " 1 acme 10 design 120, 1 acme 20 support 45, 2 beta "
                                              "20 support 105, 3 zeta 10 design 120");
        // Daily: each record whole under the day it began
        QCOMPARE(report(QDate(2025, 3, 3), QDate(2025, 3, 4), true),
                 QStringList({"3 2 beta 20 Support 90", "3 3 Zeta 10 Design 120",
                              "4 1 Acme 20 support 45"}));
        // Many short spans add up exactly: 90 of 90 seconds are 135 minutes
        for (int i = 0; i < 90; ++i)
            span(at(2025, 3, 7, 8).addSecs(i * 120), at(2025, 3, 7, 8).addSecs(i * 120 + 90), 1,
                 "Acme", 10, "Design");
        QCOMPARE(store::reportRows(*db, {QDate(2025, 3, 7), QDate(2025, 3, 7), false, "Ann"})[0]
                         .totalTime *
                     1440,
                 135.0);
    }
};

QTEST_GUILESS_MAIN(TestRecords)
#include "test_records.moc"
