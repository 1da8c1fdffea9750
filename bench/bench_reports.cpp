// The report query at 100,000 and 1,000,000 records: one employee's week and
// year, per item and per day. The records are spread over five years and
// several employees (about ten records a working day each), as a shared file
// fills up. Files are built once and kept in the temp folder.
#include "Records.h"
#include "ReportSums.h"
#include "Schema.h"

#include <QDir>
#include <QFileInfo>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>

namespace {

constexpr int kYears = 5;
constexpr int kPerDay = 10;
const QDate kFirstDay(2021, 1, 1);

int employeesFor(int records) {
    return std::max(1, records / (kPerDay * 365 * kYears));
}

QString benchFile(int records) {
    return QDir::temp().filePath(QStringLiteral("hourloom-bench-reports-%1.HL1").arg(records));
}

void fill(store::Database& db, int records) {
    const int employees = employeesFor(records);
    const int days = 365 * kYears;
    store::writeTransaction(db, [&](store::Transaction& transaction) {
        for (int i = 0; i < records; ++i) {
            const int employee = i % employees;
            const int slot = i / employees; // this employee's n-th record
            const QDate day = kFirstDay.addDays((slot / kPerDay) % days);
            const QDateTime begin(day, QTime(8, 0).addSecs((slot % kPerDay) * 50 * 60));
            store::ActivityRecord r;
            r.date = begin.addSecs(45 * 60);
            r.beginTime = begin;
            r.endTime = r.date;
            r.clientNumber = (i * 7) % 30;
            r.clientName = QStringLiteral("Client %1").arg(r.clientNumber);
            r.workCode = (i * 3) % 15;
            r.workDescription = QStringLiteral("Work %1").arg(r.workCode);
            r.employee = QStringLiteral("Employee %1").arg(employee);
            store::insertRecord(transaction, r);
        }
    });
}

store::Database& databaseWith(int records) {
    static std::map<int, std::unique_ptr<store::Database>> open;
    auto& slot = open[records];
    if (!slot) {
        const QString path = benchFile(records);
        const QString name = QFileInfo(path).fileName();
        const bool fresh = !QFileInfo::exists(path);
        slot = std::make_unique<store::Database>(store::connectDataBase(path, name));
        if (fresh)
            fill(*slot, records);
        // As every open by the program: the report reads its own index
        // (HL_BENCH_NO_REPORT_INDEX=1 measures a file that lacks it).
        if (qEnvironmentVariableIsEmpty("HL_BENCH_NO_REPORT_INDEX"))
            store::ensureReportIndex(*slot);
        // Lets a run try a connection setting (HL_BENCH_PRAGMA="PRAGMA cache_size=-32000").
        if (const QByteArray pragma = qgetenv("HL_BENCH_PRAGMA"); !pragma.isEmpty())
            slot->exec(pragma.constData());
    }
    return *slot;
}

void BM_Report(benchmark::State& state) {
    const int records = static_cast<int>(state.range(0));
    const int days = static_cast<int>(state.range(1));
    const bool daily = state.range(2) != 0;
    store::Database& db = databaseWith(records);
    const QDate from(2024, 1, 1);
    const store::ReportCriteria criteria{from, from.addDays(days - 1), daily,
                                         QStringLiteral("Employee 0")};
    size_t rows = 0;
    for (auto _ : state) {
        const auto result = store::reportRows(db, criteria);
        rows = result.size();
        benchmark::DoNotOptimize(result.data());
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["employees"] = employeesFor(records);
}

} // namespace

BENCHMARK(BM_Report)
    ->ArgNames({"records", "days", "daily"})
    ->ArgsProduct({{100'000, 1'000'000}, {7, 366}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
