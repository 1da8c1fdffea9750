// What every store backend does, checked through the store interface alone:
// each test function runs once per backend in the list below.
#include "ServerTest.h"

#include <functional>
#include <memory>

using namespace servertest;
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

// An empty store on the test server, as its administrator (who sees every
// employee's records, as the file does).
std::unique_ptr<store::Store> emptyServerStore() {
    static const QString url = freshDatabase(QStringLiteral("contract"));
    store::server::Connection(url).exec("TRUNCATE tblTimeSheet, tblClient, tblWork");
    return std::make_unique<store::server::PgStore>(url);
}

struct Backend {
    const char* name;
    std::function<std::unique_ptr<store::Store>()> open; // an empty store
};

std::vector<Backend> backends() {
    std::vector<Backend> list;
    if (!clusterState().isEmpty())
        list.push_back({"server", emptyServerStore});
    return list;
}

} // namespace

class TestStoreContract : public QObject {
    Q_OBJECT
    std::unique_ptr<store::Store> db;

    void add(const QString& employee, const QDateTime& begin, const QDateTime& end) {
        db->appendRecord(record(employee, begin, end));
    }

private slots:
    void initTestCase_data() {
        QTest::addColumn<int>("backend");
        const auto list = backends();
        for (size_t i = 0; i < list.size(); ++i)
            QTest::newRow(list[i].name) << static_cast<int>(i);
    }
    void init() {
        QFETCH_GLOBAL(int, backend);
        db = backends()[static_cast<size_t>(backend)].open();
    }
    void cleanup() { db.reset(); }

    void undoReachesBackFiveHours_data() {
        QTest::addColumn<int>("endedSecondsAgo");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("an hour ago") << 3600 << true;
        QTest::newRow("exactly five hours ago") << 5 * 3600 << true;
        QTest::newRow("five hours and a second ago") << 5 * 3600 + 1 << false;
    }
    void undoReachesBackFiveHours() {
        QFETCH(int, endedSecondsAgo);
        QFETCH(bool, deleted);
        const QDateTime end = kNow.addSecs(-endedSecondsAgo);
        add("ann", end.addSecs(-1800), end);
        QCOMPARE(db->deleteLatestEndingSince("ann", kNow.addSecs(-5 * 3600)), deleted);
        QCOMPARE(db->countRecordsBefore("ann", kNow), deleted ? 0 : 1);
    }

    void undoTakesTheLatestEndingOfThatEmployeeOnly() {
        add("ann", at(3, 2, 13, 0), at(3, 2, 14, 0));
        add("ann", at(3, 2, 14, 0), at(3, 2, 15, 0));
        add("bob", at(3, 2, 15, 0), at(3, 2, 15, 30));
        const QDateTime cutoff = kNow.addSecs(-5 * 3600);
        QVERIFY(db->deleteLatestEndingSince("ANN", cutoff));
        QCOMPARE(endsOf(db->recentRecords("ann", cutoff, RecentOrder::EndTimeDesc)),
                 QList<QDateTime>{at(3, 2, 14, 0)});
        QVERIFY(db->deleteLatestEndingSince("ann", cutoff));
        QVERIFY(!db->deleteLatestEndingSince("ann", cutoff));
        QCOMPARE(db->recentRecords("bob", cutoff, RecentOrder::EndTimeDesc).size(), size_t(1));
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

    void recordsAreFoundByTheirKey() {
        add("ann", at(3, 2, 9, 0), at(3, 2, 10, 0));
        add("ann", at(3, 2, 10, 0), at(3, 2, 11, 0));
        add("bob", at(3, 2, 10, 0), at(3, 2, 11, 0));
        std::vector<ActivityRecord> all;
        db->forEachRecord([&](const ActivityRecord& r) { all.push_back(r); });
        QCOMPARE(all.size(), size_t(3));
        QVERIFY(all[0].id != all[1].id && all[1].id != all[2].id && all[0].id != 0);
        const store::RecordId first = all[0].id;
        const store::RecordId bobs = all[2].id;

        QVERIFY(!db->deleteRecord("ann", bobs)); // not hers
        const ActivityRecord corrected = record("ann", at(3, 2, 8, 0), at(3, 2, 10, 0), "Beta");
        db->replaceRecord("ann", first, corrected);
        auto day = db->dayRecords("ann", QDate(2026, 3, 2));
        QCOMPARE(day.size(), size_t(2));
        QCOMPARE(day.front(), corrected);
        // A record that is gone is not corrected into a new one.
        QVERIFY_THROWS_EXCEPTION(store::DbError, db->replaceRecord("ann", first, corrected));
        QCOMPARE(db->dayRecords("ann", QDate(2026, 3, 2)).size(), size_t(2));
        QVERIFY(db->deleteRecord("ann", day.front().id));
        QVERIFY(!db->deleteRecord("ann", day.front().id));
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

    void textsAreStoredAsGiven_data() {
        QTest::addColumn<QString>("client");
        QTest::addColumn<bool>("stored");
        QTest::newRow("quote and semicolon") << "O'Brien'; DROP TABLE tblTimeSheet; --" << true;
        QTest::newRow("backslash and accents") << "C:\\Zoë Köln" << true;
        QTest::newRow("tab") << "Zoë\tKöln" << false;
        QTest::newRow("255 characters") << QString(255, 'x') << true;
        QTest::newRow("256 characters") << QString(256, 'x') << false;
        QTest::newRow("empty") << QString("") << false;
    }
    void textsAreStoredAsGiven() {
        QFETCH(QString, client);
        QFETCH(bool, stored);
        const ActivityRecord r = record("ann", at(3, 2, 9, 0), at(3, 2, 10, 0), client);
        if (stored) {
            db->appendRecord(r);
            QCOMPARE(db->dayRecords("ann", QDate(2026, 3, 2)).front(), r);
        } else {
            QVERIFY_THROWS_EXCEPTION(store::DbError, db->appendRecord(r));
            QCOMPARE(db->dayRecords("ann", QDate(2026, 3, 2)).size(), size_t(0));
        }
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
        db->appendRecord(record("ann", at(3, 2, 9, 0), at(3, 2, 10, 0)));
        // Names that differ only in case are summed together, as the lists compare them.
        db->appendRecord(record("ann", at(3, 2, 10, 0), at(3, 2, 10, 30), "ACME", "design"));
        db->appendRecord(record("ann", at(3, 3, 9, 0), at(3, 3, 9, 45, 1)));
        db->appendRecord(record("ann", at(3, 3, 23, 50), at(3, 4, 0, 10), "Beta", "Code"));
        // The day after the last counts at its midnight, not a second later.
        db->appendRecord(record("ann", at(3, 5, 0, 0), at(3, 5, 0, 20), "Beta", "Code"));
        db->appendRecord(record("ann", at(3, 5, 0, 0, 1), at(3, 5, 1, 0)));
        db->appendRecord(record("ann", at(3, 1, 23, 0), at(3, 2, 1, 0)));
        db->appendRecord(record("bob", at(3, 2, 9, 0), at(3, 2, 10, 0)));
        const auto rows = db->reportRows({QDate(2026, 3, 2), QDate(2026, 3, 4), daily, "ANN"});
        const auto sum = [](int seconds, QDate day, bool beta) {
            return store::ReportRow{seconds / 86400.0,      day,          beta ? 8 : 7,
                                    beta ? "Beta" : "Acme", beta ? 4 : 3, beta ? "Code" : "Design"};
        };
        const std::vector<store::ReportRow> expected =
            daily ? std::vector<store::ReportRow>{sum(5400, QDate(2026, 3, 2), false),
                                                  sum(2701, QDate(2026, 3, 3), false),
                                                  sum(1200, QDate(2026, 3, 3), true),
                                                  sum(1200, QDate(2026, 3, 5), true)}
                  : std::vector<store::ReportRow>{sum(5400 + 2701, {}, false), sum(2400, {}, true)};
        const auto spellingAside = [](std::vector<store::ReportRow> sums) {
            for (auto& sum : sums) {
                sum.clientName = sum.clientName.toLower();
                sum.workDescription = sum.workDescription.toLower();
            }
            return sums;
        };
        QCOMPARE(spellingAside(rows), spellingAside(expected));
    }

    void purgeDeletesOnlyWhatTheUserAgreedTo() {
        for (int day = 1; day <= 3; ++day)
            add("ann", at(1, day, 9, 0), at(1, day, 10, 0));
        add("ann", at(3, 1, 9, 0), at(3, 1, 10, 0));
        add("bob", at(1, 1, 9, 0), at(1, 1, 10, 0));
        const QDateTime cutoff = at(2, 1, 0, 0);
        QCOMPARE(db->countRecordsBefore("ann", cutoff), 3);
        QCOMPARE(db->purgeRecordsBefore("ann", cutoff, 2), std::nullopt);
        QCOMPARE(db->countRecordsBefore("ann", cutoff), 3);
        QCOMPARE(db->purgeRecordsBefore("ann", cutoff, 3), std::optional<int>(3));
        QCOMPARE(db->countRecordsBefore("ann", at(4, 1, 0, 0)), 1);
        QCOMPARE(db->countRecordsBefore("bob", cutoff), 1);
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (backends().empty()) {
        std::puts("skipped: no backend to test (no PostgreSQL test cluster)");
        return 77;
    }
    TestStoreContract test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_store_contract.moc"
