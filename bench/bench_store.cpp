// Speed of the interactive store operations on files of 10,000, 100,000 and
// 1,000,000 records spread over ten employees and four years. The files are
// made once under $HOURLOOM_BENCH_CACHE (default /tmp/hourloom-bench) and reused.
#include "Records.h"
#include "Schema.h"

#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>

namespace {

constexpr int kEmployees = 10;
constexpr int kYears = 4;
const QDateTime kFirstBegin(QDate(2022, 1, 3), QTime(8, 0));

QString employee(int n) {
    return QStringLiteral("Employee %1").arg(n);
}

// Minutes between two records of one employee, so that each file covers the years.
qint64 stepMinutes(int records) {
    const qint64 perEmployee = records / kEmployees;
    return std::max<qint64>(20, qint64(kYears) * 365 * 24 * 60 / perEmployee);
}

// The moment the queries run at: an hour after the last record ends.
QDateTime nowFor(int records) {
    const qint64 perEmployee = records / kEmployees;
    return kFirstBegin.addSecs(60 * (stepMinutes(records) * (perEmployee - 1) + 15 + 60));
}

store::ActivityRecord make(int who, const QDateTime& begin) {
    store::ActivityRecord r;
    r.beginTime = begin;
    r.endTime = begin.addSecs(15 * 60);
    r.date = r.endTime;
    r.clientNumber = 1 + who % 7;
    r.clientName = QStringLiteral("Client %1").arg(r.clientNumber);
    r.workCode = 1 + who % 5;
    r.workDescription = QStringLiteral("Work %1").arg(r.workCode);
    r.employee = employee(who);
    return r;
}

void fill(store::Database& db, int records) {
    const qint64 perEmployee = records / kEmployees;
    const qint64 step = stepMinutes(records);
    store::writeTransaction(db, [&](store::Transaction& transaction) {
        for (qint64 k = 0; k < perEmployee; ++k)
            for (int who = 0; who < kEmployees; ++who)
                store::insertRecord(transaction,
                                    make(who, kFirstBegin.addSecs(60 * (k * step + who))));
    });
}

store::Database& databaseOf(int records) {
    static std::map<int, std::unique_ptr<store::Database>> open;
    auto& slot = open[records];
    if (!slot) {
        const QString folder = qEnvironmentVariable("HOURLOOM_BENCH_CACHE", "/tmp/hourloom-bench");
        QDir().mkpath(folder);
        const QString name = QStringLiteral("records-%1.HL1").arg(records);
        const QString path = folder + QLatin1Char('/') + name;
        const bool made = store::databaseFound(path, name);
        slot = std::make_unique<store::Database>(store::connectDataBase(path, name));
        if (!made)
            fill(*slot, records);
    }
    return *slot;
}

const QString kWho = employee(3);

void BM_Append(benchmark::State& state) {
    const int records = static_cast<int>(state.range(0));
    store::Database& db = databaseOf(records);
    const QDateTime now = nowFor(records);
    for (auto _ : state)
        store::appendRecord(db, make(3, now.addSecs(-3600)));
    // Leave the file as it was for the next run.
    store::writeTransaction(db, [&] {
        store::Statement remove(db,
                                "DELETE FROM tblTimeSheet WHERE Employee = ? AND BeginTime = ?");
        remove.bind(1, kWho).bind(2, now.addSecs(-3600));
        remove.run();
    });
}

void BM_RecentRecords(benchmark::State& state) {
    const int records = static_cast<int>(state.range(0));
    store::Database& db = databaseOf(records);
    const QDateTime now = nowFor(records);
    size_t found = 0;
    for (auto _ : state) {
        auto rows = store::recentRecords(db, kWho, store::recentCutoff(now),
                                         store::RecentOrder::EndTimeDesc);
        found = rows.size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = static_cast<double>(found);
}

void BM_RecentRecordsActivityLog(benchmark::State& state) {
    const int records = static_cast<int>(state.range(0));
    store::Database& db = databaseOf(records);
    const QDateTime now = nowFor(records);
    for (auto _ : state) {
        auto rows = store::recentRecords(db, kWho, store::recentCutoff(now),
                                         store::RecentOrder::BeginTimeDesc, now);
        benchmark::DoNotOptimize(rows);
    }
}

void BM_CaptureCheck(benchmark::State& state) {
    const int records = static_cast<int>(state.range(0));
    store::Database& db = databaseOf(records);
    const QDateTime now = nowFor(records);
    for (auto _ : state)
        benchmark::DoNotOptimize(store::hasRecordEndingAtOrAfter(db, kWho, now));
}

void BM_Undo(benchmark::State& state) {
    const int records = static_cast<int>(state.range(0));
    store::Database& db = databaseOf(records);
    const QDateTime now = nowFor(records);
    for (auto _ : state) {
        state.PauseTiming();
        store::appendRecord(db, make(3, now.addSecs(-1800)));
        state.ResumeTiming();
        if (!store::deleteLastRecord(db, kWho, now))
            state.SkipWithError("undo found nothing");
    }
}

void BM_DayRecords(benchmark::State& state) {
    const int records = static_cast<int>(state.range(0));
    store::Database& db = databaseOf(records);
    const QDate day = nowFor(records).date().addDays(-200);
    size_t found = 0;
    for (auto _ : state) {
        auto rows = store::dayRecords(db, kWho, day);
        found = rows.size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = static_cast<double>(found);
}

void sizes(benchmark::internal::Benchmark* bench) {
    bench->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
}

} // namespace

BENCHMARK(BM_Append)->Apply(sizes);
BENCHMARK(BM_RecentRecords)->Apply(sizes);
BENCHMARK(BM_RecentRecordsActivityLog)->Apply(sizes);
BENCHMARK(BM_CaptureCheck)->Apply(sizes);
BENCHMARK(BM_Undo)->Apply(sizes);
BENCHMARK(BM_DayRecords)->Apply(sizes);

BENCHMARK_MAIN();
