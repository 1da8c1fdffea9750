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

} // namespace

class TestRecords : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<store::Database> db;
    int fileNumber = 0;

    void add(const QString& employee, const QDateTime& begin, const QDateTime& end) {
        store::appendRecord(*db, record(employee, begin, end));
    }
    QList<QDateTime> recentEnds(const QString& employee, store::RecentOrder order,
                                const std::optional<QDateTime>& to = std::nullopt) {
        return endTimes(store::recentRecords(*db, employee, store::recentCutoff(kNow), order, to));
    }

private slots:
    void init() {
        const QString name = QStringLiteral("Records%1.HL1").arg(++fileNumber);
        db = std::make_unique<store::Database>(store::connectDataBase(dir.filePath(name), name));
    }
    void cleanup() { db.reset(); }

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

    void appendsStampTheirDateAsEachWindowDoes() {
        const QDateTime recordedAt = at(2026, 3, 2, 17, 42, 10).addMSecs(640);
        const auto span = record("ann", at(2026, 3, 2, 16, 0), at(2026, 3, 2, 17, 0));
        store::addControlRecord(*db, span, recordedAt);
        store::addClockRecord(*db, span, recordedAt);
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
        const QStringList bad[] = {{"", ok, ok},      {ok, "", ok},      {ok, ok, ""},
                                   {longest, ok, ok}, {ok, longest, ok}, {ok, ok, longest}};
        for (const QStringList& texts : bad) {
            const auto r = record(texts[2], kNow.addSecs(-60), kNow, texts[0], texts[1]);
            QVERIFY_THROWS_EXCEPTION(store::DbError, store::appendRecord(*db, r));
            QVERIFY_THROWS_EXCEPTION(store::DbError, store::addClockRecord(*db, r, kNow));
            // Inside a larger transaction the earlier good row goes back with it
            QVERIFY_THROWS_EXCEPTION(store::DbError, store::writeTransaction(*db, [&] {
                                         store::insertRecord(*db, record("ann", kNow, kNow));
                                         store::insertRecord(*db, r);
                                     }));
        }
        QCOMPARE(rowCount(*db), 0);
    }
};

QTEST_GUILESS_MAIN(TestRecords)
#include "test_records.moc"
