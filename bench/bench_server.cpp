// The interactive store operations and the report on a PostgreSQL server at
// 1,000,000 records, over loopback, as an employee's own login (so row-level
// security is part of every figure). Two databases are filled once and kept:
// bench_store with bench_store's layout (ten employees over four years) and
// bench_reports with bench_reports' layout (54 employees over five years).
//   tests/server/pg_cluster.sh start /tmp/hl-bench.state 55432
//   HOURLOOM_BENCH_SERVER=postgresql://127.0.0.1:55432 build/bench/bench_server
#include "PgStore.h"
#include "ServerSchema.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>

namespace {

using store::server::Connection;
using store::server::PgStore;

QString serverUrl(const char* database, const char* login) {
    return QStringLiteral("%1/%2?user=%3")
        .arg(qEnvironmentVariable("HOURLOOM_BENCH_SERVER"), QLatin1String(database),
             QLatin1String(login));
}

// bench_store's records: employee `who` begins a 15-minute record every 21
// minutes from 3 January 2022, 8:00, offset by `who` minutes.
constexpr const char* kStoreFill = R"sql(
INSERT INTO tblTimeSheet (Date, BeginTime, EndTime, ClientNumber, ClientName, WorkCode,
                          WorkDescription, Employee)
SELECT b + interval '15 min', b, b + interval '15 min', 1 + who % 7, 'Client ' || (1 + who % 7),
       1 + who % 5, 'Work ' || (1 + who % 5), 'Employee ' || who
FROM generate_series(0, 99999) k, generate_series(0, 9) who,
     LATERAL (SELECT timestamp '2022-01-03 08:00' + make_interval(mins => k * 21 + who)) t(b)
)sql";

// bench_reports' records: ten 45-minute records a day per employee, 54
// employees, five years from 1 January 2021.
constexpr const char* kReportsFill = R"sql(
INSERT INTO tblTimeSheet (Date, BeginTime, EndTime, ClientNumber, ClientName, WorkCode,
                          WorkDescription, Employee)
SELECT b + interval '45 min', b, b + interval '45 min', (i * 7) % 30, 'Client ' || ((i * 7) % 30),
       (i * 3) % 15, 'Work ' || ((i * 3) % 15), 'Employee ' || (i % 54)
FROM generate_series(0, 999999) i,
     LATERAL (SELECT date '2021-01-01' + ((i / 54) / 10) % 1825 + time '08:00'
                     + make_interval(mins => ((i / 54) % 10) * 50)) t(b)
)sql";

// An employee's store on a filled database; filled on first use.
PgStore& storeOf(const char* database, const char* fill, const char* login, const char* name) {
    static std::map<QString, std::unique_ptr<PgStore>> open;
    auto& slot = open[QLatin1String(database)];
    if (!slot) {
        Connection cluster(serverUrl("postgres", "hourloom_admin"));
        if (cluster
                .exec("SELECT 1 FROM pg_database WHERE datname = $1",
                      store::server::Params() << QLatin1String(database))
                .rows() == 0) {
            cluster.exec(QByteArray("CREATE DATABASE ") + database);
            const QString admin = serverUrl(database, "hourloom_admin");
            store::server::serverInit(admin);
            Connection filling(admin);
            store::server::UnboundedStatements longWork(filling);
            std::fprintf(stderr, "filling %s with 1,000,000 records...\n", database);
            filling.execScript(fill);
            filling.execScript("VACUUM ANALYZE tblTimeSheet");
        }
        store::server::addEmployee(serverUrl(database, "hourloom_admin"), login, name, false);
        slot = std::make_unique<PgStore>(serverUrl(database, login));
    }
    return *slot;
}

PgStore& storeBench() {
    return storeOf("bench_store", kStoreFill, "employee3", "Employee 3");
}

const QString kWho = QStringLiteral("Employee 3");
// An hour after Employee 3's last record ends.
const QDateTime kNow =
    QDateTime(QDate(2022, 1, 3), QTime(8, 0)).addSecs(60 * (99999LL * 21 + 3 + 15 + 60));

store::ActivityRecord recordAt(const QDateTime& begin) {
    return {begin.addSecs(900), begin, begin.addSecs(900), 4, "Client 4", 4, "Work 4", kWho};
}

void BM_ServerAppend(benchmark::State& state) {
    PgStore& server = storeBench();
    for (auto _ : state)
        server.appendRecord(recordAt(kNow.addSecs(-3600)));
    // Leave the records as they were for the next run.
    Connection(serverUrl("bench_store", "hourloom_admin"))
        .exec("DELETE FROM tblTimeSheet WHERE Employee = $1 AND BeginTime = $2",
              store::server::Params() << kWho << kNow.addSecs(-3600));
}

void BM_ServerRecentRecords(benchmark::State& state) {
    PgStore& server = storeBench();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            server.recentRecords(kWho, kNow.addSecs(-5 * 3600), store::RecentOrder::EndTimeDesc));
}

void BM_ServerCaptureCheck(benchmark::State& state) {
    PgStore& server = storeBench();
    for (auto _ : state)
        benchmark::DoNotOptimize(server.hasRecordEndingAtOrAfter(kWho, kNow));
}

void BM_ServerUndo(benchmark::State& state) {
    PgStore& server = storeBench();
    for (auto _ : state) {
        state.PauseTiming();
        server.appendRecord(recordAt(kNow.addSecs(-1800)));
        state.ResumeTiming();
        if (!server.deleteLatestEndingSince(kWho, kNow.addSecs(-5 * 3600)))
            state.SkipWithError("undo found nothing");
    }
}

void BM_ServerDayRecords(benchmark::State& state) {
    PgStore& server = storeBench();
    size_t found = 0;
    for (auto _ : state) {
        const auto rows = server.dayRecords(kWho, kNow.date().addDays(-200));
        found = rows.size();
        benchmark::DoNotOptimize(rows.data());
    }
    state.counters["rows"] = static_cast<double>(found);
}

void BM_ServerReport(benchmark::State& state) {
    PgStore& server = storeOf("bench_reports", kReportsFill, "employee0", "Employee 0");
    const QDate from(2024, 1, 1);
    const store::ReportCriteria criteria{from, from.addDays(state.range(0) - 1),
                                         state.range(1) != 0, QStringLiteral("Employee 0")};
    size_t rows = 0;
    for (auto _ : state) {
        const auto result = server.reportRows(criteria);
        rows = result.size();
        benchmark::DoNotOptimize(result.data());
    }
    state.counters["rows"] = static_cast<double>(rows);
}

} // namespace

BENCHMARK(BM_ServerAppend)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ServerRecentRecords)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ServerCaptureCheck)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ServerUndo)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ServerDayRecords)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ServerReport)
    ->ArgNames({"days", "daily"})
    ->ArgsProduct({{7, 366}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("HOURLOOM_BENCH_SERVER")) {
        std::fprintf(stderr, "Set HOURLOOM_BENCH_SERVER to the server, for example "
                             "postgresql://127.0.0.1:55432 (see the top of bench_server.cpp).\n");
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    try {
        benchmark::RunSpecifiedBenchmarks();
    } catch (const store::DbError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 3;
    }
    return 0;
}
