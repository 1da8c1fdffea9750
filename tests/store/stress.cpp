// The long runs: file-system calls fail at random under the store (libfiu's
// POSIX preload), a copy is killed in the middle of an operation, and eight
// copies append at once. What an operation reports must be the truth and the
// file must stay whole. This program is also each of those copies: see main().
#include "StoreTest.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <bit>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <random>
#include <unistd.h>
#ifdef HL_FIU_PRELOAD
#include <fiu-control.h>
#include <fiu.h>
#endif

using namespace testing;

namespace {

const QString kFileName = QStringLiteral("Shared.HL1");
const char* const kKinds[] = {"append", "purge", "compact"};
enum Kind { Append, Purge, Compact };
// A set of numbered records: bit n for record n. A run numbers fewer than 63.
using Ids = quint64;
constexpr Ids kDamaged = Ids(1) << 63; // a record written in part or twice

// Memory-backed when possible: a real disk's flushes would make hundreds of
// runs slow.
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

Ids storedIds(store::Database& db) {
    Ids ids = 0;
    store::Statement rows(db, "SELECT ClientNumber, ClientName, WorkDescription FROM tblTimeSheet");
    while (rows.step()) {
        const int id = static_cast<int>(rows.int64(0));
        const Ids bit = id >= 0 && id < 63 ? Ids(1) << id : kDamaged;
        const bool whole = rows.text(1) == QStringLiteral("Client %1").arg(id) &&
                           rows.text(2) == QStringLiteral("Work %1").arg(id);
        ids |= whole && !(ids & bit) ? bit : kDamaged;
    }
    return ids;
}

// What the next start of the program finds at `path`: empty when the file
// opens whole and holds exactly `expected`.
QByteArray problemWith(const QString& path, Ids expected) {
    try {
        store::Database db(path, store::databaseKey());
        if (integrity(db) != QLatin1String("ok"))
            return "integrity: " + integrity(db).toUtf8();
        if (storedIds(db) != expected)
            return "holds " + QByteArray::number(storedIds(db), 2) + ", expected " +
                   QByteArray::number(expected, 2);
    } catch (const store::DbError& error) {
        return error.what();
    }
    return {};
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

// A new file of twelve numbered records and seeded operations on it.
struct Session {
    std::mt19937 random;
    Ids ids = (Ids(1) << 12) - 1; // what the file holds
    int nextId = 12;
    store::Database db;

    Session(const QString& path, unsigned seed)
        : random(seed)
        , db(path, store::databaseKey(), store::Database::Mode::Create) {
        store::createSchema(db);
        store::writeTransaction(db, [&](store::Transaction& transaction) {
            for (int id = 0; id < nextId; ++id)
                store::insertRecord(transaction, numbered(id));
        });
    }

    Kind pick() {
        const int roll = std::uniform_int_distribution<int>(0, 99)(random);
        return roll < 50 || std::popcount(ids) < 4 ? Append : roll < 75 ? Purge : Compact;
    }

    // What the file holds once `kind` commits: a purge takes the two oldest.
    Ids after(Kind kind) const {
        if (kind == Append)
            return ids | Ids(1) << nextId;
        const Ids withoutOldest = ids & (ids - 1);
        return kind == Purge ? withoutOldest & (withoutOldest - 1) : ids;
    }

    void run(Kind kind) {
        if (kind == Append)
            store::appendRecord(db, numbered(nextId++));
        else if (kind == Compact)
            store::compactDatabase(db);
        else if (!store::purgeRecordsBefore(db, "Pat",
                                            numbered(std::countr_zero(after(Purge))).beginTime, 2))
            throw store::DbError(0, QStringLiteral("purge counted another number"));
    }
};

// One to four random operations while 5 % of the file-system calls fail,
// then one of `last`, killed at its file-system call `killAt` (0: never).
// Each must leave the file holding what it reported, and a purge or
// compaction the copy holding the file as it was.
int operationsChild(const QString& path, unsigned seed, Kind last, long killAt) {
    Session session(path, seed);
    faultRandom.seed(seed * 7919u + 1u);
    failing = true;
    for (int n = std::uniform_int_distribution<int>(1, 4)(session.random); n >= 0; --n) {
        const Kind kind = n == 0 ? last : session.pick();
        const Ids before = session.ids, after = session.after(kind);
        if (n == 0) {
            say(QByteArray::number(before) + ' ' + QByteArray::number(after));
            failing = false;
            callsMade = 0;
            killAtCall = killAt;
        }
        QByteArray outcome = "ok";
        armed = true;
        try {
            session.run(kind);
            session.ids = after;
        } catch (const store::DbError& error) {
            outcome = QByteArray("error ") + error.what();
        }
        armed = false;
        say(outcome);
        QByteArray problem = problemWith(path, session.ids);
        if (problem.isEmpty() && outcome == "ok" && kind != Append)
            problem = problemWith(store::backupPath(path), before);
        if (!problem.isEmpty()) {
            say(QByteArray("MISMATCH after ") + kKinds[kind] + ": " + problem);
            return 3;
        }
    }
    say(QByteArray::number(callsMade));
    return 0;
}

// ---- The test's side

std::unique_ptr<QProcess> start(const QStringList& arguments, bool faults = false) {
    auto child = std::make_unique<QProcess>();
#ifdef HL_FIU_PRELOAD
    if (faults)
        child->setEnvironment(QProcess::systemEnvironment() << "LD_PRELOAD=" HL_FIU_PRELOAD);
#endif
    Q_UNUSED(faults);
    child->start(QCoreApplication::applicationFilePath(), arguments);
    return child;
}

struct Finished {
    int code; // -1 when it was killed
    QByteArrayList lines;
    QByteArray where; // its arguments and output, for a failure's message
};

Finished finish(QProcess& child) {
    child.waitForFinished(600'000);
    Finished done{child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1,
                  child.readAllStandardOutput().trimmed().split('\n'),
                  {}};
    done.where = child.arguments().join(' ').toUtf8() + '\n' + done.lines.join('\n') + '\n' +
                 child.readAllStandardError();
    return done;
}

// A run of operationsChild under the fault-injecting preload.
Finished operations(const QString& file, int seed, int kind, long killAt = 0) {
    return finish(*start({"--operations", file, QString::number(seed), QString::number(kind),
                          QString::number(killAt)},
                         true));
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
#ifndef HL_FIU_PRELOAD
        QSKIP("libfiu is not installed");
#endif
        QFETCH(int, kind);
        qsizetype committed = 0, refused = 0;
        for (int seed = 1; seed <= 40; ++seed) {
            // A folder of its own for each run: a failure may leave files behind.
            QTemporaryDir probeDir(scratchFolder()), dir(scratchFolder());
            const int seeded = 3 * seed + kind; // each kind on other random operations
            const Finished probe = operations(probeDir.filePath(kFileName), seeded, kind);
            const long calls = probe.lines.last().toLong();
            QVERIFY2(probe.code == 0 && calls > 0, probe.where.constData());
            for (const QByteArray& line : probe.lines) {
                committed += line == "ok";
                refused += line.startsWith("error ");
            }
            // The same run again, killed at one of the last operation's calls
            std::mt19937 random(seed * 31u + unsigned(kind));
            const long killAt = std::uniform_int_distribution<long>(1, calls)(random);
            const QString file = dir.filePath(kFileName);
            const Finished killed = operations(file, seeded, kind, killAt);
            QVERIFY2(killed.code == -1, killed.where.constData());
            const QByteArrayList beforeAndAfter = killed.lines.last().split(' ');
            const QByteArray problem = problemWith(file, beforeAndAfter.value(0).toULongLong());
            QVERIFY2(problem.isEmpty() ||
                         problemWith(file, beforeAndAfter.value(1).toULongLong()).isEmpty(),
                     (killed.where + problem).constData());
        }
        qInfo("%lld operations committed, %lld refused by an injected failure",
              qlonglong(committed), qlonglong(refused));
        QVERIFY(refused > 0 && committed > 0);
    }

    void eightWritersLoseNothingAndDuplicateNothing() {
        QTemporaryDir dir(scratchFolder());
        const QString file = dir.filePath(kFileName);
        store::connectDataBase(file, kFileName);
        const int perWriter = 2500;
        std::vector<std::unique_ptr<QProcess>> writers;
        for (int w = 0; w < 8; ++w)
            writers.push_back(
                start({"--write", file, QString::number(w), QString::number(perWriter)}));
        for (auto& writer : writers) {
            const Finished done = finish(*writer);
            QVERIFY2(done.code == 0, done.where.constData());
        }
        store::Database db = store::connectDataBase(file, kFileName);
        QCOMPARE(integrity(db), QStringLiteral("ok"));
        QCOMPARE(rowCount(db), 8 * perWriter);
        QCOMPARE(rowCount(db, "SELECT count(DISTINCT Employee || '/' || ClientNumber) FROM "
                              "tblTimeSheet"),
                 8 * perWriter);
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
            return operationsChild(a[2], a[3].toUInt(), Kind(a[4].toInt()), a[5].toLong());
        }
#endif
        if (a.value(1) == "--write") {
            store::Database db = store::connectDataBase(a[2], kFileName);
            for (int id = 0; id < a[4].toInt(); ++id)
                store::appendRecord(db, numbered(id, "writer " + a[3]));
            return 0;
        }
    } catch (const store::DbError& error) {
        std::fprintf(stderr, "ended on an error: %s\n", error.what());
        return 2;
    }
    TestStress test;
    return QTest::qExec(&test, argc, argv);
}

#include "stress.moc"
