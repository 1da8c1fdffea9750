// Eight copies of the program append to one file while two more read day
// lists and report sums in a loop. Every record must arrive, no copy may end
// on an error it did not recover from, and no reader may ever see a record
// in part. The test executable starts copies of itself as the processes.
#include "support_faultrun.h"

#include "Records.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <memory>

namespace {

constexpr int kWriters = 8;
constexpr int kReaders = 2;
constexpr int kRecordsPerWriter = 2500;
const QString kFileName = QStringLiteral("Shared.HL1");
const QDate kDay(2026, 2, 2);

QString writerName(int writer) {
    return QStringLiteral("writer %1").arg(writer);
}

// Record i of a writer: 20 seconds long, one every 30 seconds of the day.
store::ActivityRecord recordOf(int writer, int i) {
    store::ActivityRecord r;
    r.beginTime = QDateTime(kDay, QTime(0, 0)).addSecs(30LL * i);
    r.endTime = r.beginTime.addSecs(20);
    r.date = r.endTime;
    r.clientNumber = i;
    r.clientName = QStringLiteral("Client %1").arg(i);
    r.workCode = writer;
    r.workDescription = QStringLiteral("Work %1").arg(writer);
    r.employee = writerName(writer);
    return r;
}

int writeAsChild(const QString& path, int writer, int count) {
    store::Database db = store::connectDataBase(path, kFileName);
    for (int i = 0; i < count; ++i)
        store::appendRecord(db, recordOf(writer, i));
    return 0;
}

// One report sum: records and their total span in seconds, read in one statement.
std::pair<qint64, double> reportSum(store::Database& db, const QString& employee) {
    store::Statement sum(db, "SELECT count(*), "
                             "total(julianday(EndTime) - julianday(BeginTime)) * 86400.0 "
                             "FROM tblTimeSheet WHERE Employee = ? AND BeginTime >= ? "
                             "AND BeginTime < ? GROUP BY ClientNumber, WorkCode");
    sum.bind(1, employee)
        .bind(2, QDateTime(kDay, QTime(0, 0)))
        .bind(3, QDateTime(kDay.addDays(1), QTime(0, 0)));
    return store::retryWhileBusy([&] {
        std::pair<qint64, double> result{0, 0.0};
        while (sum.step()) {
            result.first += sum.int64(0);
            result.second += sum.real(1);
        }
        return result;
    });
}

// Reads until `stopFile` appears; ends with 3 on a record seen in part or a
// list that shrank, and prints how many reads it made.
int readAsChild(const QString& path, const QString& stopFile) {
    store::Database db = store::connectDataBase(path, kFileName);
    std::vector<qint64> seen(kWriters, 0);
    long reads = 0;
    for (int round = 0; !QFile::exists(stopFile); ++round) {
        const int writer = round % kWriters;
        const auto day = store::dayRecords(db, writerName(writer), kDay);
        for (const store::ActivityRecord& r : day) {
            if (r != recordOf(writer, r.clientNumber)) {
                std::fprintf(stderr, "record in part: %s %d\n", qPrintable(r.employee),
                             r.clientNumber);
                return 3;
            }
        }
        const auto [count, seconds] = reportSum(db, writerName(writer));
        if (qint64(day.size()) < seen[writer] || count < qint64(day.size()) ||
            qAbs(seconds - 20.0 * double(count)) > 0.01 * double(count + 1)) {
            std::fprintf(stderr, "inconsistent read: list %zu, before %lld, sum %lld / %f\n",
                         day.size(), static_cast<long long>(seen[writer]),
                         static_cast<long long>(count), seconds);
            return 3;
        }
        seen[writer] = qint64(day.size());
        reads += 2;
    }
    std::printf("%ld\n", reads);
    return 0;
}

std::unique_ptr<QProcess> startChild(const QStringList& arguments) {
    auto child = std::make_unique<QProcess>();
    child->start(QCoreApplication::applicationFilePath(), arguments);
    child->waitForStarted(30'000);
    return child;
}

} // namespace

class TestLoadShared : public QObject {
    Q_OBJECT

private slots:
    void eightWritersAndTwoReadersLoseNothing() {
        // Given one new shared file (on disk when HOURLOOM_LOAD_DIR names a folder)
        const QString base = qEnvironmentVariable("HOURLOOM_LOAD_DIR");
        QTemporaryDir dir(base.isEmpty() ? faultrun::scratchFolder()
                                         : base + QStringLiteral("/hourloom-load-XXXXXX"));
        const QString file = dir.filePath(kFileName);
        const QString stop = dir.filePath("stop");
        store::connectDataBase(file, kFileName);
        const int perWriter = faultrun::runs("HOURLOOM_LOAD_RECORDS", kRecordsPerWriter);

        // When eight copies append and two read at the same time
        QElapsedTimer elapsed;
        elapsed.start();
        std::vector<std::unique_ptr<QProcess>> readers, writers;
        for (int r = 0; r < kReaders; ++r)
            readers.push_back(startChild({"--read", file, stop}));
        for (int w = 0; w < kWriters; ++w)
            writers.push_back(
                startChild({"--write", file, QString::number(w), QString::number(perWriter)}));
        for (auto& writer : writers) {
            QVERIFY(writer->waitForFinished(600'000));
            QVERIFY2(writer->exitStatus() == QProcess::NormalExit && writer->exitCode() == 0,
                     writer->readAllStandardError().constData());
        }
        const qint64 ms = elapsed.elapsed();
        QFile(stop).open(QIODevice::WriteOnly);
        long reads = 0;
        for (auto& reader : readers) {
            QVERIFY(reader->waitForFinished(120'000));
            QVERIFY2(reader->exitStatus() == QProcess::NormalExit && reader->exitCode() == 0,
                     reader->readAllStandardError().constData());
            reads += reader->readAllStandardOutput().trimmed().toLong();
        }

        // Then every record of every writer is there once, and the file is whole
        store::Database db = store::connectDataBase(file, kFileName);
        QCOMPARE(faultrun::integrity(db), QStringLiteral("ok"));
        store::Statement distinct(db, "SELECT count(*), count(DISTINCT Employee || '/' || "
                                      "ClientNumber) FROM tblTimeSheet");
        distinct.step();
        QCOMPARE(distinct.int64(0), qint64(kWriters) * perWriter);
        QCOMPARE(distinct.int64(1), qint64(kWriters) * perWriter);
        QVERIFY(reads > 0);
        qInfo("%d records by %d writers in %lld ms: %.0f records per second; %ld reads alongside",
              kWriters * perWriter, kWriters, ms, 1000.0 * kWriters * perWriter / double(ms),
              reads);
    }
};

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    try {
        if (args.size() == 5 && args[1] == "--write")
            return writeAsChild(args[2], args[3].toInt(), args[4].toInt());
        if (args.size() == 4 && args[1] == "--read")
            return readAsChild(args[2], args[3]);
    } catch (const store::DbError& error) {
        std::fprintf(stderr, "ended on an error: %s\n", error.what());
        return 2;
    }
    TestLoadShared test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_load_shared.moc"
