#include "RecordFactory.h"

#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace testing;

Q_DECLARE_METATYPE(store::ActivityRecord)

namespace {

// The moment every test records at: 2 March 2026, 16:00.
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

private slots:
    void init() {
        const QString name = QStringLiteral("Records%1.HL1").arg(++fileNumber);
        db = std::make_unique<store::Database>(store::connectDataBase(dir.filePath(name), name));
    }
    void cleanup() { db.reset(); }

    void undoReachesBackFiveHours_data() {
        QTest::addColumn<QDateTime>("end");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("ended an hour ago") << kNow.addSecs(-3600) << true;
        QTest::newRow("ended exactly five hours ago") << kNow.addSecs(-5 * 3600) << true;
        QTest::newRow("ended five hours and a second ago") << kNow.addSecs(-5 * 3600 - 1) << false;
        QTest::newRow("ended six hours ago") << kNow.addSecs(-6 * 3600) << false;
        QTest::newRow("ends in the future") << kNow.addSecs(1800) << true;
    }
    void undoReachesBackFiveHours() {
        QFETCH(QDateTime, end);
        QFETCH(bool, deleted);
        add("ann", end.addSecs(-1800), end);
        QCOMPARE(store::deleteLastRecord(*db, "ann", kNow), deleted);
        QCOMPARE(rowCount(*db), deleted ? 0 : 1);
    }

    void twoUndosTakeBackTheLatestEndingFirst() {
        // Given records ending at 14:00 and 15:00, entered in the other order
        add("ann", at(2026, 3, 2, 14, 0), at(2026, 3, 2, 15, 0));
        add("ann", at(2026, 3, 2, 13, 0), at(2026, 3, 2, 14, 0));
        // When undo runs, the 15:00 record goes; a second undo takes the 14:00 one
        QVERIFY(store::deleteLastRecord(*db, "ann", kNow));
        QCOMPARE(endTimes(store::recentRecords(*db, "ann", store::recentCutoff(kNow),
                                               store::RecentOrder::EndTimeDesc)),
                 QList<QDateTime>{at(2026, 3, 2, 14, 0)});
        QVERIFY(store::deleteLastRecord(*db, "ann", kNow));
        QCOMPARE(rowCount(*db), 0);
        // And a third finds nothing to do
        QVERIFY(!store::deleteLastRecord(*db, "ann", kNow));
    }

    void undoTakesOneRecordWhenTwoEndTogether() {
        add("ann", at(2026, 3, 2, 14, 0), at(2026, 3, 2, 15, 0));
        add("ann", at(2026, 3, 2, 14, 30), at(2026, 3, 2, 15, 0));
        QVERIFY(store::deleteLastRecord(*db, "ann", kNow));
        QCOMPARE(rowCount(*db), 1);
    }

    void anotherEmployeesRecordsAreNeverTouchedOrCounted() {
        // Given bob's record ends later than ann's, and one ends in the future
        add("ann", at(2026, 3, 2, 13, 0), at(2026, 3, 2, 14, 0));
        add("bob", at(2026, 3, 2, 14, 0), at(2026, 3, 2, 15, 30));
        add("bob", at(2026, 3, 2, 16, 0), at(2026, 3, 2, 18, 0));
        // Then ann sees and undoes only her own
        QCOMPARE(store::recentRecords(*db, "ann", store::recentCutoff(kNow),
                                      store::RecentOrder::EndTimeDesc)
                     .size(),
                 1u);
        QVERIFY(!store::hasRecordEndingAtOrAfter(*db, "ann", kNow));
        QVERIFY(store::hasRecordEndingAtOrAfter(*db, "bob", kNow));
        QVERIFY(store::deleteLastRecord(*db, "ann", kNow));
        QVERIFY(!store::deleteLastRecord(*db, "ann", kNow));
        QCOMPARE(rowCount(*db, "SELECT count(*) FROM tblTimeSheet WHERE Employee = 'bob'"), 2);
    }

    void employeeMatchIgnoresCase() {
        add("Ann Smith", at(2026, 3, 2, 14, 0), at(2026, 3, 2, 15, 0));
        QCOMPARE(store::recentRecords(*db, "ANN SMITH", store::recentCutoff(kNow),
                                      store::RecentOrder::BeginTimeDesc)
                     .size(),
                 1u);
        QVERIFY(store::deleteLastRecord(*db, "ann smith", kNow));
        QCOMPARE(rowCount(*db), 0);
    }

    void recordOverMidnightKeepsItsDatesAndSpan() {
        // 5 March 11:30 PM to 6 March 1:15 AM
        const auto r = record("ann", at(2026, 3, 5, 23, 30), at(2026, 3, 6, 1, 15));
        store::appendRecord(*db, r);
        const auto rows =
            store::recentRecords(*db, "ann", at(2026, 3, 5, 0, 0), store::RecentOrder::EndTimeDesc);
        QCOMPARE(rows.size(), 1u);
        QCOMPARE(rows[0], r);
        QCOMPARE(qRound(rows[0].days() * 24 * 60), 105);
        // It belongs to the day list of both days
        QCOMPARE(store::dayRecords(*db, "ann", QDate(2026, 3, 5)).size(), 1u);
        QCOMPARE(store::dayRecords(*db, "ann", QDate(2026, 3, 6)).size(), 1u);
        QCOMPARE(store::dayRecords(*db, "ann", QDate(2026, 3, 7)).size(), 0u);
    }

    void appendsStampTheirDateAsEachWindowDoes() {
        const QDateTime recordedAt = at(2026, 3, 2, 17, 42, 10).addMSecs(640);
        const auto span = record("ann", at(2026, 3, 2, 16, 0), at(2026, 3, 2, 17, 0));
        store::addControlRecord(*db, span, recordedAt);
        store::addClockRecord(*db, span, recordedAt);
        const auto rows = store::dayRecords(*db, "ann", QDate(2026, 3, 2));
        QCOMPARE(rows.size(), 2u);
        QSet<QDateTime> stamps{rows[0].date, rows[1].date};
        QCOMPARE(stamps, (QSet<QDateTime>{at(2026, 3, 2, 17, 42, 10), at(2026, 3, 2, 0, 0)}));
        QCOMPARE(rows[0].beginTime, span.beginTime);
        QCOMPARE(rows[1].endTime, span.endTime);
    }

    void recentQueriesOrderAndBoundAsAsked() {
        // A long record that began first but ends last, a short one inside
        // it, one ending in the future and one too old
        add("ann", at(2026, 3, 2, 12, 0), at(2026, 3, 2, 15, 30));
        add("ann", at(2026, 3, 2, 13, 0), at(2026, 3, 2, 14, 0));
        add("ann", at(2026, 3, 2, 15, 30), at(2026, 3, 2, 17, 0));
        add("ann", at(2026, 3, 2, 9, 0), at(2026, 3, 2, 10, 0));
        const QDateTime cutoff = store::recentCutoff(kNow);
        QCOMPARE(
            endTimes(store::recentRecords(*db, "ann", cutoff, store::RecentOrder::EndTimeDesc)),
            (QList<QDateTime>{at(2026, 3, 2, 17, 0), at(2026, 3, 2, 15, 30),
                              at(2026, 3, 2, 14, 0)}));
        // Latest begin first, and with the present as the upper bound
        QCOMPARE(endTimes(store::recentRecords(*db, "ann", cutoff,
                                               store::RecentOrder::BeginTimeDesc, kNow)),
                 (QList<QDateTime>{at(2026, 3, 2, 14, 0), at(2026, 3, 2, 15, 30)}));
        QCOMPARE(store::recentRecords(*db, "ann", cutoff, store::RecentOrder::EndTimeDesc,
                                      std::nullopt, 1)
                     .size(),
                 1u);
    }

    void dayListKeepsToTheDayAndTheEmployee() {
        add("ann", at(2026, 3, 2, 8, 0), at(2026, 3, 2, 9, 0));
        add("ann", at(2026, 3, 1, 22, 0), at(2026, 3, 2, 0, 30)); // from the evening before
        add("ann", at(2026, 3, 3, 0, 0), at(2026, 3, 3, 1, 0));   // next day at midnight
        add("bob", at(2026, 3, 2, 10, 0), at(2026, 3, 2, 11, 0));
        const auto rows = store::dayRecords(*db, "ann", QDate(2026, 3, 2));
        QCOMPARE(rows.size(), 2u);
        QCOMPARE(rows[0].beginTime, at(2026, 3, 1, 22, 0));
        QCOMPARE(rows[1].beginTime, at(2026, 3, 2, 8, 0));
    }

    void textsWithQuotesAndWildcardsAreStoredAndFoundExactly_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("apostrophe") << "O'Brien";
        QTest::newRow("double quote") << "The \"Big\" Client";
        QTest::newRow("semicolon and SQL") << "x'; DROP TABLE tblTimeSheet; --";
        QTest::newRow("percent and underscore") << "100% _done_";
        QTest::newRow("non-ASCII") << QString::fromUtf8("Zoë Müller-Łukasz 東京");
        QTest::newRow("one blank (the default employee)") << " ";
    }
    void textsWithQuotesAndWildcardsAreStoredAndFoundExactly() {
        QFETCH(QString, name);
        const auto r = record(name, at(2026, 3, 2, 14, 0), at(2026, 3, 2, 15, 0), name, name);
        store::appendRecord(*db, r);
        add("someone else", at(2026, 3, 2, 14, 0), at(2026, 3, 2, 15, 0));
        const auto rows = store::recentRecords(*db, name, store::recentCutoff(kNow),
                                               store::RecentOrder::EndTimeDesc);
        QCOMPARE(rows.size(), 1u);
        QCOMPARE(rows[0], r);
        QVERIFY(store::deleteLastRecord(*db, name, kNow));
        QCOMPARE(rowCount(*db), 1);
    }

    void unstorableTextIsRefusedBeforeAnythingIsWritten_data() {
        QTest::addColumn<QString>("client");
        QTest::addColumn<QString>("work");
        QTest::addColumn<QString>("employee");
        const QString ok = "fine";
        QTest::newRow("empty client") << "" << ok << ok;
        QTest::newRow("empty work") << ok << "" << ok;
        QTest::newRow("empty employee") << ok << ok << "";
        QTest::newRow("256-character client") << QString(256, 'c') << ok << ok;
        QTest::newRow("256-character employee") << ok << ok << QString(256, 'e');
    }
    void unstorableTextIsRefusedBeforeAnythingIsWritten() {
        QFETCH(QString, client);
        QFETCH(QString, work);
        QFETCH(QString, employee);
        const auto bad =
            record(employee, at(2026, 3, 2, 14, 0), at(2026, 3, 2, 15, 0), client, work);
        QVERIFY_THROWS_EXCEPTION(store::DbError, store::appendRecord(*db, bad));
        QVERIFY_THROWS_EXCEPTION(store::DbError, store::addClockRecord(*db, bad, kNow));
        // Inside a larger transaction the earlier good row is rolled back with it
        const auto good = record("ann", at(2026, 3, 2, 12, 0), at(2026, 3, 2, 13, 0));
        QVERIFY_THROWS_EXCEPTION(store::DbError, store::writeTransaction(*db, [&] {
                                     store::insertRecord(*db, good);
                                     store::insertRecord(*db, bad);
                                 }));
        QCOMPARE(rowCount(*db), 0);
    }

    void longestStorableTextIsKept() {
        const QString longest(255, QChar(0x00e9)); // 255 characters, 510 bytes
        const auto r =
            record(longest, at(2026, 3, 2, 14, 0), at(2026, 3, 2, 15, 0), longest, longest);
        store::appendRecord(*db, r);
        QCOMPARE(store::dayRecords(*db, longest, QDate(2026, 3, 2)).at(0), r);
    }
};

QTEST_GUILESS_MAIN(TestRecords)
#include "test_records.moc"
