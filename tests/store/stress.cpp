// The long runs. The file system fails at random under the store (libfiu's
// POSIX preload), a copy of the program is killed with SIGKILL in the middle
// of an operation, and eight copies append while two read. Whatever each
// operation reports must be the truth and the file must stay whole. This
// program is also each of those copies: see main().
#include "ReportSums.h"
#include "StoreTest.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <functional>
#include <random>
#include <set>
#include <unistd.h>
#ifdef HL_FIU_PRELOAD
#include <fiu-control.h>
#include <fiu.h>
constexpr bool kFaults = true;
#else
constexpr bool kFaults = false;
#endif

using namespace testing;

namespace {

const QString kFileName = QStringLiteral("Shared.HL1");
const char* const kKinds[] = {"append", "purge", "compact"};
enum Kind { Append, Purge, Compact };

int runsFrom(const char* variable, int standard) {
    const int asked = qEnvironmentVariableIntValue(variable);
    return asked > 0 ? asked : standard;
}

// Memory-backed when possible: the faults are injected, and a real disk's
// flushes would make hundreds of runs slow.
QString scratchFolder() {
    return (QFileInfo("/dev/shm").isWritable() ? "/dev/shm" : QDir::tempPath()) + "/hl-XXXXXX";
}

// Record `id`: 20 seconds, one every 30 seconds of 5 January, its number
// repeated in its text fields so that a record written in part shows.
store::ActivityRecord numbered(int id, const QString& employee = "Pat") {
    const QDateTime begin = at(1, 5, 0).addSecs(30LL * id);
    auto r = record(employee, begin, begin.addSecs(20), QStringLiteral("Client %1").arg(id),
                    QStringLiteral("Work %1").arg(id));
    r.clientNumber = r.workCode = id;
    return r;
}

// The numbers of the numbered records in the file; one whose fields disagree
// with its number, or a second one of a number, shows as a negative number.
std::set<int> storedIds(store::Database& db) {
    std::set<int> ids;
    store::Statement rows(db, "SELECT ClientNumber, ClientName, WorkDescription FROM tblTimeSheet");
    while (rows.step()) {
        const int id = static_cast<int>(rows.int64(0));
        const bool whole = rows.text(1) == QStringLiteral("Client %1").arg(id) &&
                           rows.text(2) == QStringLiteral("Work %1").arg(id);
        ids.insert(whole && !ids.count(id) ? id : -1 - id);
    }
    return ids;
}

QByteArray idText(const std::set<int>& ids) {
    QByteArrayList parts;
    for (int id : ids)
        parts << QByteArray::number(id);
    return parts.join(' ');
}

std::set<int> idsFrom(const QByteArray& text) {
    std::set<int> ids;
    for (const QByteArray& id : text.split(' '))
        if (!id.isEmpty())
            ids.insert(id.toInt());
    return ids;
}

// ---- The copies' side

std::mt19937 faultRandom;
bool armed = false;   // while an operation runs: count its calls
bool failing = false; // and fail 5 % of them
long callsMade = 0;
long killAtCall = 0; // 0: never

// A failed call sets the errno it is handed, else the preload picks one at
// random and a run could not be repeated call for call.
[[maybe_unused]] int onFileSystemCall(const char*, int*, void** errnoToSet, unsigned int*) {
    if (!armed)
        return 0;
    if (++callsMade == killAtCall)
        ::kill(::getpid(), SIGKILL);
    const long errnos[] = {EIO, ENOSPC};
    *errnoToSet = reinterpret_cast<void*>(errnos[faultRandom() % 2]);
    return failing && std::bernoulli_distribution(0.05)(faultRandom) ? 1 : 0;
}

void say(const QByteArray& line) {
    std::fprintf(stdout, "%s\n", line.constData());
    std::fflush(stdout);
}

struct Operation {
    Kind kind;
    std::set<int> after; // the records if it commits
    std::function<void(store::Database&)> run;
};

store::Database fresh(const QString& path) {
    QFile::remove(path);
    QFile::remove(store::backupPath(path));
    return store::Database(path, store::databaseKey(), store::Database::Mode::Create);
}

// A file of twelve numbered records and seeded operations on it.
struct Session {
    std::mt19937 random;
    std::set<int> ids;
    int nextId = 12;
    store::Database db;

    Session(const QString& path, unsigned seed)
        : random(seed)
        , db(fresh(path)) {
        store::createSchema(db);
        store::writeTransaction(db, [&](store::Transaction& transaction) {
            for (int id = 0; id < nextId; ++id)
                store::insertRecord(transaction, numbered(id));
        });
        for (int id = 0; id < nextId; ++id)
            ids.insert(id);
    }

    Operation next(int kind = -1) {
        if (kind < 0) {
            const int roll = std::uniform_int_distribution<int>(0, 99)(random);
            kind = roll < 50 || ids.size() < 4 ? Append : roll < 75 ? Purge : Compact;
        }
        Operation op{Kind(kind), ids, {}};
        if (kind == Append) {
            const int id = nextId++;
            op.after.insert(id);
            op.run = [id](store::Database& db) { store::appendRecord(db, numbered(id)); };
        } else if (kind == Purge) { // the two oldest records
            const int third = *std::next(ids.begin(), 2);
            op.after.erase(op.after.begin(), op.after.find(third));
            op.run = [third](store::Database& db) {
                if (!store::purgeRecordsBefore(db, "Pat", numbered(third).beginTime, 2))
                    throw store::DbError(0, QStringLiteral("purge counted another number"));
            };
        } else {
            op.run = [](store::Database& db) { store::compactDatabase(db); };
        }
        return op;
    }
};

// What the next start of the program finds at `path`: empty when the file
// opens whole and holds exactly `expected`.
QByteArray problemWith(const QString& path, const std::set<int>& expected) {
    try {
        store::Database db(path, store::databaseKey());
        if (integrity(db) != QLatin1String("ok"))
            return "integrity: " + integrity(db).toUtf8();
        if (storedIds(db) != expected)
            return "holds [" + idText(storedIds(db)) + "], expected [" + idText(expected) + "]";
    } catch (const store::DbError& error) {
        return error.what();
    }
    return {};
}

// One to four random operations while 5 % of the file-system calls fail,
// then one of `kind` that is killed at its file-system call `killAt` (0:
// never). After each, the file must hold what was reported (and after a
// purge or compaction, the copy the file as it was). Before the last it
// prints the records before and after it, and at the end how many calls it
// made.
int operationsChild(const QString& path, unsigned seed, int kind, long killAt) {
    Session session(path, seed);
    faultRandom.seed(seed * 7919u + 1u);
    failing = true;
    for (int n = std::uniform_int_distribution<int>(1, 4)(session.random); n >= 0; --n) {
        Operation op = session.next(n == 0 ? kind : -1);
        const std::set<int> before = session.ids;
        if (n == 0) {
            say(idText(before) + '|' + idText(op.after));
            failing = false;
            callsMade = 0;
            killAtCall = killAt;
        }
        QByteArray outcome = "ok";
        armed = true;
        try {
            op.run(session.db);
            session.ids = op.after;
        } catch (const store::DbError& error) {
            outcome = QByteArray("error ") + error.what();
        }
        armed = false;
        say(outcome);
        QByteArray problem = problemWith(path, session.ids);
        if (problem.isEmpty() && outcome == "ok" && (op.kind == Purge || op.kind == Compact))
            problem = problemWith(store::backupPath(path), before);
        if (!problem.isEmpty()) {
            say(QByteArray("MISMATCH after ") + kKinds[op.kind] + ": " + problem);
            return 3;
        }
    }
    say(QByteArray::number(callsMade));
    return 0;
}

QString writerName(int writer) {
    return QStringLiteral("writer %1").arg(writer);
}

// Reads day lists and report sums until `stopFile` appears; ends with 3 on a
// record seen in part, a list that shrank or a sum that disagrees with its
// list, and prints how many reads it made.
int readChild(const QString& path, const QString& stopFile) {
    store::Database db = store::connectDataBase(path, kFileName);
    std::vector<size_t> seen(8, 0);
    long reads = 0;
    for (int writer = 0; !QFile::exists(stopFile); writer = (writer + 1) % 8, reads += 2) {
        const QString employee = writerName(writer);
        const auto day = store::dayRecords(db, employee, QDate(2026, 1, 5));
        for (const store::ActivityRecord& r : day)
            if (r != numbered(r.clientNumber, employee))
                return std::fprintf(stderr, "record in part: %d\n", r.clientNumber), 3;
        // Each record is a sum of its own: 20 seconds.
        const auto sums =
            store::reportRows(db, {QDate(2026, 1, 5), QDate(2026, 1, 5), false, employee});
        const bool whole = std::all_of(sums.begin(), sums.end(), [](const store::ReportRow& sum) {
            return qRound(sum.totalTime * 86400) == 20;
        });
        if (day.size() < seen[writer] || sums.size() < day.size() || !whole)
            return std::fprintf(stderr, "inconsistent read: %zu sums\n", sums.size()), 3;
        seen[writer] = day.size();
    }
    say(QByteArray::number(qlonglong(reads)));
    return 0;
}

// ---- The test's side

std::unique_ptr<QProcess> start(const QStringList& arguments, bool faults = false) {
    auto child = std::make_unique<QProcess>();
#ifdef HL_FIU_PRELOAD
    if (faults) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LD_PRELOAD", HL_FIU_PRELOAD);
        child->setProcessEnvironment(environment);
    }
#endif
    Q_UNUSED(faults);
    child->start(QCoreApplication::applicationFilePath(), arguments);
    child->waitForStarted(30'000);
    return child;
}

struct Finished {
    bool normal = false;
    int code = -1;
    QByteArrayList lines;
    QByteArray where;
};

Finished finish(QProcess& child, const QByteArray& what) {
    child.waitForFinished(600'000);
    Finished done{child.exitStatus() == QProcess::NormalExit,
                  child.exitCode(),
                  child.readAllStandardOutput().trimmed().split('\n'),
                  {}};
    done.where = what + '\n' + done.lines.mid(std::max(0, int(done.lines.size()) - 6)).join('\n') +
                 '\n' + child.readAllStandardError();
    return done;
}

// A run of operationsChild under the fault-injecting preload.
Finished operations(const QString& file, int seed, int kind, long killAt = 0) {
    const QStringList arguments{"--operations", file, QString::number(seed), QString::number(kind),
                                QString::number(killAt)};
    return finish(*start(arguments, true), arguments.join(' ').toUtf8());
}

} // namespace

class TestStress : public QObject {
    Q_OBJECT

private slots:
    void operationsTellTheTruthUnderWriteFailuresAndSurviveAKill_data() {
        QTest::addColumn<int>("kind");
        for (int kind : {Append, Purge, Compact})
            QTest::newRow(kKinds[kind]) << kind;
    }
    void operationsTellTheTruthUnderWriteFailuresAndSurviveAKill() {
        if (!kFaults)
            QSKIP("libfiu is not installed");
        QFETCH(int, kind);
        qsizetype committed = 0, refused = 0;
        for (int seed = 1; seed <= runsFrom("HOURLOOM_CRASH_RUNS", 40); ++seed) {
            // A folder of its own for each run: a failure may leave files behind.
            QTemporaryDir probeDir(scratchFolder()), dir(scratchFolder());
            const int run = 3 * seed + kind; // each kind on other random operations
            const Finished probe = operations(probeDir.filePath(kFileName), run, kind);
            const long calls = probe.lines.last().toLong();
            QVERIFY2(probe.normal && probe.code == 0 && calls > 0, probe.where.constData());
            committed += probe.lines.count("ok");
            refused +=
                std::count_if(probe.lines.begin(), probe.lines.end(),
                              [](const QByteArray& line) { return line.startsWith("error "); });
            // The same run again, killed at one of the last operation's calls
            std::mt19937 random(seed * 31u + unsigned(kind));
            const long killAt = std::uniform_int_distribution<long>(1, calls)(random);
            const QString file = dir.filePath(kFileName);
            const Finished killed = operations(file, run, kind, killAt);
            QVERIFY2(!killed.normal, killed.where.constData());
            const QByteArrayList beforeAndAfter = killed.lines.last().split('|');
            const QByteArray problem = problemWith(file, idsFrom(beforeAndAfter.value(0)));
            QVERIFY2(problem.isEmpty() ||
                         problemWith(file, idsFrom(beforeAndAfter.value(1))).isEmpty(),
                     (killed.where + problem).constData());
            if (QFile::exists(store::backupPath(file))) {
                store::Database copy(store::backupPath(file), store::databaseKey());
                QVERIFY2(integrity(copy) == QLatin1String("ok"), killed.where.constData());
            }
        }
        qInfo("%lld operations committed, %lld refused by an injected failure",
              qlonglong(committed), qlonglong(refused));
        QVERIFY(refused > 0 && committed > 0);
    }

    void eightWritersAndTwoReadersLoseNothing() {
        const QString base = qEnvironmentVariable("HOURLOOM_LOAD_DIR"); // a real disk, when set
        QTemporaryDir dir(base.isEmpty() ? scratchFolder() : base + "/hourloom-load-XXXXXX");
        const QString file = dir.filePath(kFileName);
        const QString stop = dir.filePath("stop");
        store::connectDataBase(file, kFileName);
        const int perWriter = runsFrom("HOURLOOM_LOAD_RECORDS", 2500);
        QElapsedTimer elapsed;
        elapsed.start();
        std::vector<std::unique_ptr<QProcess>> readers, writers;
        for (int r = 0; r < 2; ++r)
            readers.push_back(start({"--read", file, stop}));
        for (int w = 0; w < 8; ++w)
            writers.push_back(
                start({"--write", file, QString::number(w), QString::number(perWriter)}));
        for (auto& writer : writers) {
            const Finished done = finish(*writer, "writer");
            QVERIFY2(done.normal && done.code == 0, done.where.constData());
        }
        const qint64 ms = elapsed.elapsed();
        QVERIFY(writeBytes(stop, "stop"));
        long reads = 0;
        for (auto& reader : readers) {
            const Finished done = finish(*reader, "reader");
            QVERIFY2(done.normal && done.code == 0, done.where.constData());
            reads += done.lines.value(0).toLong();
        }
        store::Database db = store::connectDataBase(file, kFileName);
        QCOMPARE(integrity(db), QStringLiteral("ok"));
        QCOMPARE(rowCount(db), 8 * perWriter);
        QCOMPARE(rowCount(db, "SELECT count(DISTINCT Employee || '/' || ClientNumber) FROM "
                              "tblTimeSheet"),
                 8 * perWriter);
        QVERIFY(reads > 0);
        qInfo("%d records by 8 writers in %lld ms: %.0f records per second; %ld reads alongside",
              8 * perWriter, ms, 8000.0 * perWriter / double(ms), reads);
    }
};

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList a = QCoreApplication::arguments();
    try {
#ifdef HL_FIU_PRELOAD
        if (a.value(1) == "--operations") {
            fiu_init(0);
            for (const char* point :
                 {"posix/io/rw/write", "posix/io/rw/pwrite", "posix/io/rw/pwritev",
                  "posix/io/rw/ftruncate", "posix/io/sync/fsync", "posix/io/sync/fdatasync",
                  "posix/io/dir/rename", "posix/io/dir/unlink"})
                fiu_enable_external(point, 1, nullptr, 0, onFileSystemCall);
            return operationsChild(a[2], a[3].toUInt(), a[4].toInt(), a[5].toLong());
        }
#endif
        if (a.value(1) == "--write") {
            store::Database db = store::connectDataBase(a[2], kFileName);
            for (int id = 0; id < a[4].toInt(); ++id)
                store::appendRecord(db, numbered(id, writerName(a[3].toInt())));
            return 0;
        }
        if (a.value(1) == "--read")
            return readChild(a[2], a[3]);
    } catch (const store::DbError& error) {
        std::fprintf(stderr, "ended on an error: %s\n", error.what());
        return 2;
    }
    TestStress test;
    return QTest::qExec(&test, argc, argv);
}

#include "stress.moc"
