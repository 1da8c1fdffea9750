// What every store backend does, checked through the store interface alone:
// each test function runs once on a new database file and, when the test
// cluster is up, once on the PostgreSQL server.
#include "Appends.h"
#include "FileStore.h"
#include "Records.h"
#include "Schema.h"
#include "ServerTest.h"

#include <QTemporaryDir>
#include <functional>
#include <memory>

using store::ActivityRecord;
using store::CodeTable;
using store::RecentOrder;

namespace {

QDateTime at(int month, int day, int hour, int minute, int second = 0) {
    return QDateTime(QDate(2026, month, day), QTime(hour, minute, second));
}

const QDateTime kNow = at(3, 2, 16, 0);

ActivityRecord record(const QString& employee, const QDateTime& begin, const QDateTime& end,
                      const QString& client = "Acme", const QString& work = "Design") {
    const bool acme = client.compare("Acme", Qt::CaseInsensitive) == 0;
    const bool design = work.compare("Design", Qt::CaseInsensitive) == 0;
    return {end, begin, end, acme ? 7 : 8, client, design ? 3 : 4, work, employee};
}

QList<QDateTime> endsOf(const std::vector<ActivityRecord>& records) {
    QList<QDateTime> ends;
    for (const auto& r : records)
        ends << r.endTime;
    return ends;
}

// Local time in a zone whose clocks change, for as long as it lives.
struct LocalZone {
    const QByteArray before = qgetenv("TZ");
    explicit LocalZone(const char* zone) {
        qputenv("TZ", zone);
        tzset();
    }
    ~LocalZone() {
        before.isNull() ? qunsetenv("TZ") : qputenv("TZ", before);
        tzset();
    }
};

std::unique_ptr<store::Store> emptyFileStore() {
    static QTemporaryDir dir;
    static int files = 0;
    const QString name = QStringLiteral("Contract%1.HL1").arg(++files);
    return std::make_unique<store::FileStore>(store::connectDataBase(dir.filePath(name), name));
}

// As the server's administrator, who sees every employee's records as the file does.
std::unique_ptr<store::Store> emptyServerStore() {
    static const QString url = servertest::freshDatabase(QStringLiteral("contract"));
    store::server::Connection(url).exec("TRUNCATE tblTimeSheet, tblClient, tblWork");
    return std::make_unique<store::server::PgStore>(url);
}

struct Backend {
    const char* name;
    std::function<std::unique_ptr<store::Store>()> open; // an empty store
};

std::vector<Backend> backends() {
    std::vector<Backend> list{{"file", emptyFileStore}};
    if (!servertest::clusterState().isEmpty())
        list.push_back({"server", emptyServerStore});
    return list;
}

} // namespace

class TestContract : public QObject {
    Q_OBJECT
    std::unique_ptr<store::Store> db;

    void add(const QString& employee, const QDateTime& begin, const QDateTime& end) {
        db->appendRecord(record(employee, begin, end));
    }
    int records() { return static_cast<int>(db->check().records); }

private slots:
    void initTestCase_data() {
        QTest::addColumn<int>("backend");
        const auto list = backends();
        for (size_t i = 0; i < list.size(); ++i)
            QTest::newRow(list[i].name) << static_cast<int>(i);
        if (list.size() == 1)
            qInfo(
                "the server rows are skipped: no PostgreSQL test cluster (package postgresql-15)");
    }
    void init() {
        QFETCH_GLOBAL(int, backend);
        db = backends()[static_cast<size_t>(backend)].open();
    }
    void cleanup() { db.reset(); }

    // New York's clocks went forward at 2:00 AM on 9 March 2025 and back at
    // 2:00 AM on 2 November 2025: five hours are five hours of the wall clock.
    void undoReachesBackFiveWallClockHours_data() {
        QTest::addColumn<QString>("now");
        QTest::addColumn<QString>("ended");
        QTest::addColumn<bool>("reached");
        const auto row = [](const char* name, const char* now, const char* ended, bool reached) {
            QTest::newRow(name) << now << ended << reached;
        };
        row("an hour ago", "2026-03-02 16:00:00", "2026-03-02 15:00:00", true);
        row("exactly five hours ago", "2026-03-02 16:00:00", "2026-03-02 11:00:00", true);
        row("five hours and a second", "2026-03-02 16:00:00", "2026-03-02 10:59:59", false);
        row("ends later", "2026-03-02 16:00:00", "2026-03-02 16:30:00", true);
        row("spring, 5:30 wall, 4:30 elapsed", "2025-03-09 06:00:00", "2025-03-09 00:30:00", false);
        row("spring, 4:30 wall", "2025-03-09 06:00:00", "2025-03-09 01:30:00", true);
        row("spring, skipped cutoff, 5:31 wall", "2025-03-09 07:30:00", "2025-03-09 01:59:00",
            false);
        row("spring, skipped cutoff, 4:30 wall", "2025-03-09 07:30:00", "2025-03-09 03:00:00",
            true);
        row("autumn, 4:30 wall, 5:30 elapsed", "2025-11-02 05:00:00", "2025-11-02 00:30:00", true);
        row("autumn, 5:01 wall", "2025-11-02 05:00:00", "2025-11-01 23:59:00", false);
    }
    void undoReachesBackFiveWallClockHours() {
        QFETCH(QString, now);
        QFETCH(QString, ended);
        QFETCH(bool, reached);
        LocalZone zone("America/New_York");
        QVERIFY(!QDateTime(QDate(2025, 3, 9), QTime(2, 30)).isValid()); // the zone is in force
        const QDateTime moment = store::fromStoredText(now), end = store::fromStoredText(ended);
        add("ann", end.addSecs(-1800), end);
        const auto recent =
            db->recentRecords("ann", store::recentCutoff(moment), RecentOrder::EndTimeDesc);
        QCOMPARE(recent.size(), size_t(reached));
        QCOMPARE(store::undoLastRecord(*db, "ann", moment), reached);
        QCOMPARE(records(), reached ? 0 : 1);
    }

    void undoTakesTheLatestEndingOfThatEmployeeOnly() {
        // Entered out of order; two of Ann's end together at 15:00.
        add("ann", at(3, 2, 14, 0), at(3, 2, 15, 0));
        add("ann", at(3, 2, 13, 0), at(3, 2, 14, 0));
        add("ann", at(3, 2, 14, 30), at(3, 2, 15, 0));
        add("bob", at(3, 2, 15, 0), at(3, 2, 15, 30));
        add("bob", at(3, 2, 16, 0), at(3, 2, 18, 0));
        QVERIFY(!db->hasRecordEndingAtOrAfter("ann", kNow));
        QVERIFY(db->hasRecordEndingAtOrAfter("bob", kNow));
        QVERIFY(store::undoLastRecord(*db, "ANN", kNow));
        QVERIFY(store::undoLastRecord(*db, "ann", kNow));
        QCOMPARE(endsOf(db->recentRecords("ann", at(3, 1, 0, 0), RecentOrder::EndTimeDesc)),
                 QList<QDateTime>{at(3, 2, 14, 0)});
        QVERIFY(store::undoLastRecord(*db, "ann", kNow));
        QVERIFY(!store::undoLastRecord(*db, "ann", kNow));
        QCOMPARE(records(), 2);
    }

    void recentRecordsOrderAndBounds() {
        // Begins in one order, ends in the other.
        add("ann", at(3, 2, 12, 0), at(3, 2, 15, 0));
        add("ann", at(3, 2, 13, 0), at(3, 2, 14, 0));
        add("ann", at(3, 2, 9, 0), at(3, 2, 10, 0));
        add("bob", at(3, 2, 13, 0), at(3, 2, 15, 30));
        const QDateTime from = at(3, 2, 11, 0);
        QCOMPARE(endsOf(db->recentRecords("Ann", from, RecentOrder::EndTimeDesc)),
                 (QList<QDateTime>{at(3, 2, 15, 0), at(3, 2, 14, 0)}));
        QCOMPARE(endsOf(db->recentRecords("ann", from, RecentOrder::BeginTimeDesc)),
                 (QList<QDateTime>{at(3, 2, 14, 0), at(3, 2, 15, 0)}));
        QCOMPARE(endsOf(db->recentRecords("ann", from, RecentOrder::EndTimeDesc, at(3, 2, 14, 0))),
                 QList<QDateTime>{at(3, 2, 14, 0)});
        QCOMPARE(endsOf(db->recentRecords("ann", at(3, 1, 0, 0), RecentOrder::EndTimeDesc, {}, 1)),
                 QList<QDateTime>{at(3, 2, 15, 0)});
        QVERIFY(db->hasRecordEndingAtOrAfter("ann", at(3, 2, 15, 0)));
        QVERIFY(!db->hasRecordEndingAtOrAfter("ann", at(3, 2, 15, 0, 1)));
    }

    void dayListHoldsWhatEndsOrBeginsThatDay_data() {
        QTest::addColumn<QDateTime>("begin");
        QTest::addColumn<QDateTime>("end");
        QTest::addColumn<bool>("listed");
        QTest::newRow("within the day") << at(3, 5, 9, 0) << at(3, 5, 10, 0) << true;
        QTest::newRow("from the evening before") << at(3, 4, 23, 0) << at(3, 5, 1, 0) << true;
        QTest::newRow("ends at its midnight") << at(3, 4, 23, 0) << at(3, 5, 0, 0) << true;
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
    // Activity Log with that day's midnight; a correction is stamped anew.
    void recordsAreStampedFoundAndCorrectedByTheirKey() {
        const auto span = record("ann", at(3, 2, 9, 0), at(3, 2, 10, 0));
        store::addControlRecord(*db, span, at(3, 2, 17, 42, 10).addMSecs(640));
        store::addClockRecord(*db, span, at(3, 2, 17, 42, 10));
        add("bob", at(3, 2, 10, 0), at(3, 2, 11, 0));
        std::vector<ActivityRecord> all;
        db->forEachRecord([&](const ActivityRecord& r) { all.push_back(r); });
        QCOMPARE(all.size(), size_t(3));
        QCOMPARE(all[0].date, at(3, 2, 17, 42, 10));
        QCOMPARE(all[1].date, at(3, 2, 0, 0));
        QVERIFY(all[0].id != all[1].id && all[1].id != all[2].id && all[0].id != 0);

        QVERIFY(!db->deleteRecord("ann", all[2].id)); // Bob's
        auto corrected = record("ann", at(3, 2, 8, 0), at(3, 2, 10, 0), "Beta");
        store::replaceClockRecord(*db, "ANN", all[0].id, corrected, at(3, 3, 9, 0));
        corrected.date = at(3, 3, 0, 0);
        auto day = db->dayRecords("ann", QDate(2026, 3, 2));
        QCOMPARE(day.size(), size_t(2));
        QCOMPARE(day.front(), corrected);
        QCOMPARE(day.back().id, all[1].id);
        QVERIFY(db->deleteRecord("ann", day.front().id));
        QVERIFY(!db->deleteRecord("ann", day.front().id));
        QCOMPARE(records(), 2);
    }

    void correctionThatCannotBeStoredKeepsTheOldRecord() {
        add("ann", at(3, 2, 9, 0), at(3, 2, 10, 0));
        const auto before = db->dayRecords("ann", QDate(2026, 3, 2));
        QVERIFY_THROWS_EXCEPTION(
            store::DbError,
            db->replaceRecord("ann", before.front().id,
                              record("ann", at(3, 2, 9, 0), at(3, 2, 10, 0), QString(256, 'x'))));
        QCOMPARE(db->dayRecords("ann", QDate(2026, 3, 2)), before);
    }

    // Each text goes into the client, the work and the employee field in turn.
    void textsAreStoredAsGivenOrRefused_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("searched"); // as the employee is looked up
        QTest::addColumn<bool>("stored");
        const auto row = [](const char* name, const QString& text, bool stored,
                            const QString& searched = {}) {
            QTest::newRow(name) << text << (searched.isNull() ? text : searched) << stored;
        };
        row("quotes and SQL", "O'Brien \"Big\"; DROP TABLE tblTimeSheet; --", true);
        row("wildcards", "100% _done_", true);
        row("backslash, letters beyond ASCII", QString::fromUtf8("C:\\Zoë Łukasz 東京"), true);
        row("a blank, the default employee", " ", true);
        row("found in another case", "Ann Smith", true, "ANN SMITH");
        row("255 characters of two bytes", QString(255, QChar(0xe9)), true);
        row("256 characters", QString(256, 'x'), false);
        row("empty", "", false);
        row("line break", "Ac\nme", false);
        row("tab", QString::fromUtf8("Zoë\tKöln"), false);
        row("carriage return", "Pat\r", false);
        row("delete", "Pat\x7f", false);
        row("escape", "\x1b[31m", false);
        row("line separator", QString::fromUtf8("Pat\u2028Lee"), false);
        row("nul", QString(QChar(0)), false);
    }
    void textsAreStoredAsGivenOrRefused() {
        QFETCH(QString, text);
        QFETCH(QString, searched);
        QFETCH(bool, stored);
        add("someone else", at(3, 2, 14, 0), at(3, 2, 15, 0));
        for (int field = 0; field < 3; ++field) {
            const auto r = record(field == 2 ? text : "ann", at(3, 2, 14, 0), at(3, 2, 15, 0),
                                  field == 0 ? text : "Acme", field == 1 ? text : "Design");
            if (!stored) {
                QVERIFY_THROWS_EXCEPTION(store::DbError, db->appendRecord(r));
                continue;
            }
            db->appendRecord(r);
            const QString employee = field == 2 ? searched : "ann";
            const auto found =
                db->recentRecords(employee, kNow.addDays(-1), RecentOrder::EndTimeDesc);
            QVERIFY2(found.size() == 1 && found[0] == r, qPrintable(text));
            QVERIFY(store::undoLastRecord(*db, employee, kNow));
        }
        QCOMPARE(records(), 1);
    }

    void codeListsRefuseTakenNumbersAndNames_data() {
        QTest::addColumn<CodeTable>("table");
        QTest::newRow("clients") << CodeTable::Client;
        QTest::newRow("work codes") << CodeTable::Work;
    }
    void codeListsRefuseTakenNumbersAndNames() {
        QFETCH(CodeTable, table);
        QCOMPARE(db->highestCode(table), std::nullopt);
        QCOMPARE(db->addCodeEntry(table, {7, "Acme"}), store::AddOutcome::Added);
        QCOMPARE(db->addCodeEntry(table, {7, "Other"}), store::AddOutcome::NumberTaken);
        QCOMPARE(db->addCodeEntry(table, {8, "ACME"}), store::AddOutcome::NameTaken);
        QCOMPARE(db->addCodeEntry(table, {3, "Beta"}), store::AddOutcome::Added);
        QVERIFY_THROWS_EXCEPTION(store::DbError, db->addCodeEntry(table, {9, ""}));
        QCOMPARE(db->codeEntries(table), (std::vector<store::CodeEntry>{{3, "Beta"}, {7, "Acme"}}));
        QCOMPARE(db->highestCode(table), std::optional<qint32>(7));
        QCOMPARE(db->deleteCodeEntry(table, {7, "Other"}), 0);
        QCOMPARE(db->deleteCodeEntry(table, {7, "Acme"}), 1);
        QCOMPARE(db->codeEntries(table).size(), size_t(1));
    }

    void reportSumsByBeginTime_data() {
        QTest::addColumn<bool>("daily");
        QTest::newRow("per item") << false;
        QTest::newRow("per day") << true;
    }
    void reportSumsByBeginTime() {
        QFETCH(bool, daily);
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
        const auto rows = db->reportRows({QDate(2026, 3, 2), QDate(2026, 3, 4), daily, "ANN"});
        const auto sum = [](int seconds, QDate day, const char* client, const char* work) {
            const bool beta = qstrcmp(client, "beta") == 0, code = qstrcmp(work, "code") == 0;
            return store::ReportRow{seconds / 86400.0, day, beta ? 8 : 7, client,
                                    code ? 4 : 3,      work};
        };
        // By client name, then work description (daily: by day first).
        const std::vector<store::ReportRow> expected =
            daily ? std::vector<store::ReportRow>{sum(600, QDate(2026, 3, 2), "acme", "code"),
                                                  sum(5400, QDate(2026, 3, 2), "acme", "design"),
                                                  sum(2701, QDate(2026, 3, 3), "acme", "design"),
                                                  sum(1200, QDate(2026, 3, 3), "beta", "code"),
                                                  sum(8100, QDate(2026, 3, 4), "acme", "design"),
                                                  sum(1200, QDate(2026, 3, 5), "beta", "code")}
                  : std::vector<store::ReportRow>{sum(600, {}, "acme", "code"),
                                                  sum(16201, {}, "acme", "design"),
                                                  sum(2400, {}, "beta", "code")};
        // Which spelling of a name a sum shows is the engine's choice.
        auto lowered = rows;
        for (auto& row : lowered) {
            row.clientName = row.clientName.toLower();
            row.workDescription = row.workDescription.toLower();
        }
        QCOMPARE(lowered, expected);
        QCOMPARE(db->reportRows({QDate(2026, 3, 4), QDate(2026, 3, 2), daily, "ann"}).size(),
                 size_t(0));
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
    QCoreApplication app(argc, argv);
    TestContract test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_contract.moc"
