// What every store backend does, checked through the store interface alone:
// each test function runs once on a new database file and, when the test
// cluster is up, once on the PostgreSQL server.
#include "Appends.h"
#include "FileStore.h"
#include "ServerTest.h"
#include "StoreTest.h"

#include <QTemporaryDir>
#include <memory>

using namespace testing;
using store::CodeTable;
using store::RecentOrder;

const QDateTime kNow = at(3, 2, 16, 0);

class TestContract : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    int files = 0;
    std::unique_ptr<store::Store> db;

    void add(const QString& employee, const QDateTime& begin, const QDateTime& end) {
        db->appendRecord(record(employee, begin, end));
    }
    int records() { return static_cast<int>(db->check().records); }

private slots:
    void initTestCase_data() {
        QTest::addColumn<bool>("server");
        QTest::newRow("file") << false;
        if (!servertest::clusterState().isEmpty())
            QTest::newRow("server") << true;
        else
            qInfo(
                "the server rows are skipped: no PostgreSQL test cluster (package postgresql-15)");
    }
    // An empty store: a new file, or the server's tables emptied and used by
    // the administrator, who sees every employee's records as the file does.
    void init() {
        QFETCH_GLOBAL(bool, server);
        if (!server) {
            const QString name = QStringLiteral("Contract%1.HL1").arg(++files);
            db = std::make_unique<store::FileStore>(
                store::connectDataBase(dir.filePath(name), name));
            return;
        }
        static const QString url = servertest::freshDatabase(QStringLiteral("contract"));
        store::server::Connection(url).exec("TRUNCATE tblTimeSheet, tblClient, tblWork");
        db = std::make_unique<store::server::PgStore>(url);
    }
    void cleanup() { db.reset(); }

    // The tests run in New York's local time (see main). Its clocks went
    // forward at 2:00 AM on 9 March 2025 and back at 2:00 AM on 2 November
    // 2025: five hours are five hours of the wall clock.
    void undoReachesBackFiveWallClockHours_data() {
        QTest::addColumn<QString>("now");
        QTest::addColumn<QString>("ended");
        QTest::addColumn<bool>("reached");
        const auto row = [](const char* name, const char* now, const char* ended, bool reached) {
            QTest::newRow(name) << now << ended << reached;
        };
        row("five hours", "2026-03-02 16:00:00", "2026-03-02 11:00:00", true);
        row("five hours and a second", "2026-03-02 16:00:00", "2026-03-02 10:59:59", false);
        row("spring, 5:30 wall, 4:30 elapsed", "2025-03-09 06:00:00", "2025-03-09 00:30:00", false);
        row("spring, skipped cutoff, 4:30", "2025-03-09 07:30:00", "2025-03-09 03:00:00", true);
        row("autumn, 4:30 wall, 5:30 elapsed", "2025-11-02 05:00:00", "2025-11-02 00:30:00", true);
    }
    void undoReachesBackFiveWallClockHours() {
        QFETCH(QString, now);
        QFETCH(QString, ended);
        QFETCH(bool, reached);
        QVERIFY(!QDateTime(QDate(2025, 3, 9), QTime(2, 30)).isValid()); // the zone is in force
        const QDateTime moment = store::fromStoredText(now), end = store::fromStoredText(ended);
        add("ann", end.addSecs(-1800), end);
        const auto recent =
            db->recentRecords("ann", store::recentCutoff(moment), RecentOrder::EndTimeDesc);
        QCOMPARE(recent.size(), size_t(reached));
        QCOMPARE(store::undoLastRecord(*db, "ann", moment), reached);
        QCOMPARE(records(), reached ? 0 : 1);
    }

    void recentRecordsAndUndoTakeTheLatestOfThatEmployee() {
        // Begun in one order, ended in another; two end together at 15:00.
        add("ann", at(3, 2, 12, 0), at(3, 2, 15, 0));
        add("ann", at(3, 2, 13, 0), at(3, 2, 14, 0));
        add("ann", at(3, 2, 14, 30), at(3, 2, 15, 0));
        add("ann", at(3, 2, 9, 0), at(3, 2, 10, 0));
        add("bob", at(3, 2, 15, 0), at(3, 2, 15, 30));
        add("bob", at(3, 2, 16, 0), at(3, 2, 18, 0));
        const auto ends = [&](RecentOrder order, std::optional<QDateTime> to = {}, int limit = -1) {
            QList<QDateTime> ends;
            for (const auto& r : db->recentRecords("Ann", at(3, 2, 11, 0), order, to, limit))
                ends << r.endTime;
            return ends;
        };
        const QDateTime three = at(3, 2, 15, 0), two = at(3, 2, 14, 0);
        QCOMPARE(ends(RecentOrder::EndTimeDesc), (QList<QDateTime>{three, three, two}));
        QCOMPARE(ends(RecentOrder::BeginTimeDesc), (QList<QDateTime>{three, two, three}));
        QCOMPARE(ends(RecentOrder::EndTimeDesc, two), QList<QDateTime>{two});
        QCOMPARE(ends(RecentOrder::BeginTimeDesc, {}, 1), QList<QDateTime>{three});
        QVERIFY(db->hasRecordEndingAtOrAfter("ann", three));
        QVERIFY(!db->hasRecordEndingAtOrAfter("ann", three.addSecs(1)));
        QVERIFY(store::undoLastRecord(*db, "ANN", kNow));
        QVERIFY(store::undoLastRecord(*db, "ann", kNow));
        QCOMPARE(ends(RecentOrder::EndTimeDesc), QList<QDateTime>{two});
        QVERIFY(store::undoLastRecord(*db, "ann", kNow));
        QVERIFY(!store::undoLastRecord(*db, "ann", kNow)); // 10:00 is more than five hours back
        QCOMPARE(records(), 3);
    }

    void dayListHoldsWhatEndsOrBeginsThatDay_data() {
        QTest::addColumn<QDateTime>("begin");
        QTest::addColumn<QDateTime>("end");
        QTest::addColumn<bool>("listed");
        QTest::newRow("from the evening before") << at(3, 4, 23, 0) << at(3, 5, 1, 0) << true;
        QTest::newRow("into the next day") << at(3, 5, 23, 30) << at(3, 6, 0, 30) << true;
        QTest::newRow("the day before") << at(3, 4, 9, 0) << at(3, 4, 10, 0) << false;
        QTest::newRow("begins after 11:59 PM") << at(3, 5, 23, 59, 30) << at(3, 6, 0, 10) << false;
    }
    void dayListHoldsWhatEndsOrBeginsThatDay() {
        QFETCH(QDateTime, begin);
        QFETCH(QDateTime, end);
        QFETCH(bool, listed);
        add("ann", begin, end);
        add("bob", at(3, 5, 9, 0), at(3, 5, 10, 0));
        const auto rows = db->dayRecords("ANN", QDate(2026, 3, 5));
        QCOMPARE(rows.size(), size_t(listed ? 1 : 0));
        if (listed)
            QCOMPARE(rows.front(), record("ann", begin, end));
    }

    // The Time Control window stamps a record with the moment it is made, the
    // Activity Log with that day's midnight; a correction is stamped anew,
    // and one that cannot be stored leaves the old record.
    void recordsAreStampedFoundAndCorrectedByTheirKey() {
        const auto span = record("ann", at(3, 2, 9, 0), at(3, 2, 10, 0));
        store::addControlRecord(*db, span, at(3, 2, 17, 42, 10).addMSecs(640));
        store::addClockRecord(*db, span, at(3, 2, 17, 42, 10));
        add("bob", at(3, 2, 10, 0), at(3, 2, 11, 0));
        std::vector<store::ActivityRecord> all;
        db->forEachRecord([&](const store::ActivityRecord& r) { all.push_back(r); });
        QCOMPARE(all.size(), size_t(3));
        QCOMPARE(all[0].date, at(3, 2, 17, 42, 10));
        QCOMPARE(all[1].date, at(3, 2, 0, 0));
        QVERIFY(all[0].id != all[1].id && all[1].id != all[2].id && all[0].id != 0);

        QVERIFY(!db->deleteRecord("ann", all[2].id)); // Bob's
        auto corrected = record("ann", at(3, 2, 8, 0), at(3, 2, 10, 0), QString(256, 'x'));
        QVERIFY_THROWS_EXCEPTION(store::DbError, db->replaceRecord("ann", all[0].id, corrected));
        QCOMPARE(records(), 3);
        corrected.clientName = "Beta";
        store::replaceClockRecord(*db, "ANN", all[0].id, corrected, at(3, 3, 9, 0));
        corrected.date = at(3, 3, 0, 0);
        const auto day = db->dayRecords("ann", QDate(2026, 3, 2));
        QCOMPARE(day.size(), size_t(2));
        QCOMPARE(day.front(), corrected);
        QCOMPARE(day.back().id, all[1].id);
        QVERIFY(db->deleteRecord("ann", day.front().id));
        QVERIFY(!db->deleteRecord("ann", day.front().id));
        QCOMPARE(records(), 2);
    }

    // Each text goes into the client, the work and the employee field in turn.
    void textsAreStoredAsGivenOrRefused_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("stored");
        const auto row = [](const char* name, const QString& text, bool stored) {
            QTest::newRow(name) << text << stored;
        };
        row("quotes and SQL", "O'Brien \"Big\"; DROP TABLE tblTimeSheet; --", true);
        row("wildcards", "100% _done_", true);
        row("backslash, letters beyond ASCII", QString::fromUtf8("C:\\Zoë Łukasz 東京"), true);
        row("a blank, the default employee", " ", true);
        row("255 characters of two bytes", QString(255, QChar(0xe9)), true);
        row("256 characters", QString(256, 'x'), false);
        row("empty", "", false);
        row("line break", "Ac\nme", false);
        row("line separator", QString::fromUtf8("Pat\u2028Lee"), false);
    }
    void textsAreStoredAsGivenOrRefused() {
        QFETCH(QString, text);
        QFETCH(bool, stored);
        add("someone else", at(3, 2, 14, 0), at(3, 2, 15, 0));
        for (int field = 0; field < 3; ++field) {
            const QString employee = field == 2 ? text : "ann";
            const auto r = record(employee, at(3, 2, 14, 0), at(3, 2, 15, 0),
                                  field == 0 ? text : "Acme", field == 1 ? text : "Design");
            if (!stored) {
                QVERIFY_THROWS_EXCEPTION(store::DbError, db->appendRecord(r));
                continue;
            }
            db->appendRecord(r);
            const auto found =
                db->recentRecords(employee, kNow.addDays(-1), RecentOrder::EndTimeDesc);
            QVERIFY2(found.size() == 1 && found[0] == r, qPrintable(text));
            QVERIFY(store::undoLastRecord(*db, employee, kNow));
        }
        QCOMPARE(records(), 1);
    }

    void codeListsRefuseTakenNumbersAndNames() {
        for (const CodeTable table : {CodeTable::Client, CodeTable::Work}) {
            QCOMPARE(db->highestCode(table), std::nullopt);
            QCOMPARE(db->addCodeEntry(table, {7, "Acme"}), store::AddOutcome::Added);
            QCOMPARE(db->addCodeEntry(table, {7, "Other"}), store::AddOutcome::NumberTaken);
            QCOMPARE(db->addCodeEntry(table, {8, "ACME"}), store::AddOutcome::NameTaken);
            QCOMPARE(db->addCodeEntry(table, {3, "Beta"}), store::AddOutcome::Added);
            QVERIFY_THROWS_EXCEPTION(store::DbError, db->addCodeEntry(table, {9, ""}));
            QCOMPARE(db->codeEntries(table),
                     (std::vector<store::CodeEntry>{{3, "Beta"}, {7, "Acme"}}));
            QCOMPARE(db->highestCode(table), std::optional<qint32>(7));
            QCOMPARE(db->deleteCodeEntry(table, {7, "Other"}), 0);
            QCOMPARE(db->deleteCodeEntry(table, {7, "Acme"}), 1);
            QCOMPARE(db->codeEntries(table).size(), size_t(1));
        }
    }

    void reportSumsByBeginTime() {
        add("ann", at(3, 2, 9, 0), at(3, 2, 10, 0));
        // Names that differ only in case are summed together, as the lists compare them.
        db->appendRecord(record("ann", at(3, 2, 10, 0), at(3, 2, 10, 30), "ACME", "design"));
        db->appendRecord(record("ann", at(3, 2, 11, 0), at(3, 2, 11, 10), "Acme", "Code"));
        add("ann", at(3, 3, 9, 0), at(3, 3, 9, 45, 1));
        db->appendRecord(record("ann", at(3, 3, 23, 50), at(3, 4, 0, 10), "Beta", "Code"));
        // Many short spans add up exactly: 90 of 90 seconds are 135 minutes.
        for (int i = 0; i < 90; ++i)
            add("ann", at(3, 4, 8, 0).addSecs(i * 120), at(3, 4, 8, 0).addSecs(i * 120 + 90));
        // The day after the last counts at its midnight, not a second later.
        db->appendRecord(record("ann", at(3, 5, 0, 0), at(3, 5, 0, 20), "Beta", "Code"));
        add("ann", at(3, 5, 0, 0, 1), at(3, 5, 1, 0));
        add("ann", at(3, 1, 23, 0), at(3, 2, 1, 0));
        add("bob", at(3, 2, 9, 0), at(3, 2, 10, 0));
        // Day, client, work, seconds; the spelling a sum shows is the engine's choice.
        for (const bool daily : {false, true}) {
            QStringList sums;
            for (const auto& row :
                 db->reportRows({QDate(2026, 3, 2), QDate(2026, 3, 4), daily, "ANN"}))
                sums << QString::asprintf("%d %d %s %d %s %.1f", row.day.day(), row.clientNumber,
                                          qPrintable(row.clientName.toLower()), row.workCode,
                                          qPrintable(row.workDescription.toLower()),
                                          row.totalTime * 86400);
            // By client name, then work description (daily: by day first).
            QCOMPARE(sums,
                     (daily ? QStringList{"2 7 acme 4 code 600.0", "2 7 acme 3 design 5400.0",
                                          "3 7 acme 3 design 2701.0", "3 8 beta 4 code 1200.0",
                                          "4 7 acme 3 design 8100.0", "5 8 beta 4 code 1200.0"}
                            : QStringList{"0 7 acme 4 code 600.0", "0 7 acme 3 design 16201.0",
                                          "0 8 beta 4 code 2400.0"}));
            QCOMPARE(db->reportRows({QDate(2026, 3, 4), QDate(2026, 3, 2), daily, "ann"}).size(),
                     size_t(0));
        }
    }

    void purgeDeletesOnlyWhatTheUserAgreedTo() {
        for (int day = 1; day <= 3; ++day)
            add("ann", at(1, day, 9, 0), at(1, day, 10, 0));
        const QDateTime cutoff = at(2, 1, 0, 0);
        add("ann", cutoff, at(2, 1, 1, 0));
        add("bob", at(1, 1, 9, 0), at(1, 1, 10, 0));
        QCOMPARE(db->countRecordsBefore("ann", cutoff), 3);
        QCOMPARE(db->purgeRecordsBefore("ann", cutoff, 2), std::nullopt);
        QCOMPARE(db->countRecordsBefore("ann", cutoff), 3);
        QCOMPARE(db->purgeRecordsBefore("ANN", cutoff, 3), std::optional<int>(3));
        db->compact();
        QCOMPARE(records(), 2);
        QCOMPARE(db->countRecordsBefore("bob", cutoff), 1);
    }
};

int main(int argc, char** argv) {
    // A zone whose clocks change, for the undo test.
    qputenv("TZ", "America/New_York");
    QCoreApplication app(argc, argv);
    TestContract test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_contract.moc"
