// Moving a team's .HL1 file onto the server: every record and code entry
// arrives, the per-employee counts and sums agree, and a second run is refused.
#include "ServerTest.h"

#include "FileStore.h"
#include "Migrate.h"
#include "Records.h"
#include "Schema.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <map>

using namespace servertest;

namespace {

constexpr int kRecords = 100'000;
const QStringList kEmployees = {"Pat", "pat", "Lee", "O'Neil \\ the second", "Zoë", "Kim", "Ana",
                                "Bo",  "Cy",  "Di"};

using Sums = std::map<QString, std::pair<qint64, qint64>>; // employee: records, seconds

Sums fileSums(store::Database& db) {
    Sums sums;
    store::Statement rows(db, "SELECT Employee, count(*), sum(CAST(round((julianday(EndTime) - "
                              "julianday(BeginTime)) * 86400) AS INTEGER)) FROM tblTimeSheet "
                              "GROUP BY Employee COLLATE BINARY");
    while (rows.step())
        sums[rows.text(0)] = {rows.int64(1), rows.int64(2)};
    return sums;
}

Sums serverSums(store::server::Connection& server) {
    Sums sums;
    const auto rows = server.exec("SELECT Employee::text, count(*), extract(epoch FROM "
                                  "sum(EndTime - BeginTime))::bigint FROM tblTimeSheet GROUP BY 1");
    for (int row = 0; row < rows.rows(); ++row)
        sums[rows.text(row, 0)] = {rows.int64(row, 1), rows.int64(row, 2)};
    return sums;
}

} // namespace

class TestMigrate : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void fileMovesOnceWithEqualCountsAndSums() {
        const QString path = dir.filePath("Team.HL1");
        store::FileStore source(store::connectDataBase(path, "Team.HL1"));
        store::Database& file = source.database();
        const QDateTime first(QDate(2025, 1, 6), QTime(7, 0));
        store::writeTransaction(file, [&](store::Transaction& transaction) {
            for (int n = 0; n < kRecords; ++n) {
                // Lengths of 1 to 120 minutes plus odd seconds; some cross midnight.
                const QDateTime begin = first.addSecs(qint64(n) * 317);
                const QDateTime end = begin.addSecs(60 * (1 + n % 120) + n % 7);
                store::insertRecord(transaction, {end, begin, end, n % 13,
                                                  QStringLiteral("Client %1").arg(n % 13), n % 5,
                                                  QStringLiteral("Work %1").arg(n % 5),
                                                  kEmployees[n % kEmployees.size()]});
            }
            file.exec("INSERT INTO tblClient VALUES (1, 'Acme'), (2, 'Tab\tand \\ back'), "
                      "(3, 'Zoë'); INSERT INTO tblWork VALUES (1, 'Design'), (2, 'Code')");
        });
        const QString url = freshDatabase(QStringLiteral("migrate"));
        store::server::addEmployee(url, "pat", "Pat", false);

        // Only the administrator moves a whole team's records.
        QVERIFY_THROWS_EXCEPTION(
            store::DbError,
            store::server::migrateFile(source, urlFor(QStringLiteral("migrate"), "pat")));

        QElapsedTimer took;
        took.start();
        const auto summary = store::server::migrateFile(source, url);
        qInfo("%lld records of %d employees moved in %lld ms", summary.records, summary.employees,
              took.elapsed());
        QCOMPARE(summary.records, kRecords);
        QCOMPARE(summary.employees, int(kEmployees.size()));
        QCOMPARE(summary.clients, 3);
        QCOMPARE(summary.works, 2);

        store::server::Connection server(url);
        const Sums expected = fileSums(file);
        QCOMPARE(expected.size(), size_t(kEmployees.size()));
        QCOMPARE(serverSums(server), expected);
        store::server::PgStore target(url);
        QCOMPARE(target.codeEntries(store::CodeTable::Client),
                 source.codeEntries(store::CodeTable::Client));
        QCOMPARE(target.codeEntries(store::CodeTable::Work),
                 source.codeEntries(store::CodeTable::Work));

        // A second run finds records there and copies nothing.
        try {
            store::server::migrateFile(source, url);
            QFAIL("a second migration was not refused");
        } catch (const store::DbError& error) {
            QVERIFY2(error.message().contains("already holds 100000 records"),
                     qPrintable(error.message()));
        }
        QCOMPARE(serverSums(server), expected);
        QCOMPARE(firstCell(server, "SELECT count(*) FROM tblClient"), QString("3"));
    }
};

HL_SERVER_TEST_MAIN(TestMigrate)
#include "test_migrate.moc"
