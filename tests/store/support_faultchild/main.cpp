// A copy of the program's store that performs seeded operations on one file
// while the file system fails under it (libfiu's POSIX preload must be in
// LD_PRELOAD), or kills itself at a chosen file-system call. It tells its
// parent, one line each, what it expects the file to hold:
//   before <ids>   the records before an operation
//   begin <kind>   the operation starts
//   after <ids>    what the file holds if the operation commits
//   ok | error <message>   how the operation ended
//   calls <n>      file-system calls the operation made
// In "faults" mode it also checks the file itself after every operation
// (faults off, a fresh connection) and ends with code 3 on any difference.
#include "Backup.h"
#include "Maintenance.h"
#include "Records.h"
#include "Schema.h"

#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fiu-control.h>
#include <fiu.h>
#include <functional>
#include <random>
#include <set>
#include <unistd.h>

namespace {

const QString kEmployee = QStringLiteral("Pat");
const QString kFileName = QStringLiteral("Faults.HL1");
constexpr int kInitialRecords = 12;
constexpr int kOperations = 6;
constexpr double kFailureChance = 0.05;

// The file-system calls that change a file or a folder.
constexpr const char* kFailurePoints[] = {
    "posix/io/rw/write",     "posix/io/rw/pwrite",  "posix/io/rw/pwritev",
    "posix/io/rw/ftruncate", "posix/io/sync/fsync", "posix/io/sync/fdatasync",
    "posix/io/dir/rename",   "posix/io/dir/unlink",
};

std::mt19937 faultRandom;
bool failing = false; // fail calls at random
long callsMade = 0;   // calls counted since the operation began
long killAtCall = 0;  // 0: never

int onFileSystemCall(const char*, int*, void**, unsigned int*) {
    ++callsMade;
    if (killAtCall > 0 && callsMade == killAtCall)
        ::kill(::getpid(), SIGKILL);
    if (!failing)
        return 0;
    return std::bernoulli_distribution(kFailureChance)(faultRandom) ? 1 : 0;
}

void say(const QByteArray& line) {
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

QByteArray idText(const std::set<int>& ids) {
    QByteArray text;
    for (int id : ids)
        text += QByteArray::number(id) + ' ';
    return text.trimmed();
}

QDateTime beginOf(int id) {
    return QDateTime(QDate(2026, 1, 5), QTime(8, 0)).addSecs(600LL * id);
}

store::ActivityRecord recordFor(int id) {
    store::ActivityRecord r;
    r.beginTime = beginOf(id);
    r.endTime = r.beginTime.addSecs(300);
    r.date = r.endTime;
    r.clientNumber = id;
    r.clientName = QStringLiteral("Client %1").arg(id);
    r.workCode = id;
    r.workDescription = QStringLiteral("Work %1").arg(id);
    r.employee = kEmployee;
    return r;
}

std::set<int> storedIds(store::Database& db) {
    std::set<int> ids;
    store::Statement rows(db, "SELECT ClientNumber, ClientName, WorkDescription FROM tblTimeSheet");
    while (rows.step()) {
        const int id = static_cast<int>(rows.int64(0));
        // A record whose fields disagree counts as a foreign one.
        const bool whole = rows.text(1) == QStringLiteral("Client %1").arg(id) &&
                           rows.text(2) == QStringLiteral("Work %1").arg(id);
        ids.insert(whole && !ids.count(id) ? id : -1 - id);
    }
    return ids;
}

QString integrity(store::Database& db) {
    store::Statement check(db, "PRAGMA integrity_check");
    check.step();
    return check.text(0);
}

enum class Kind { Append, Correct, Purge, Compact };

struct Operation {
    Kind kind;
    std::set<int> after;
    std::function<void(store::Database&)> run;
};

Operation plan(Kind kind, const std::set<int>& ids, int& nextId, std::mt19937& random) {
    Operation op{kind, ids, {}};
    switch (kind) {
    case Kind::Append: {
        const int id = nextId++;
        op.after.insert(id);
        op.run = [id](store::Database& db) { store::appendRecord(db, recordFor(id)); };
        break;
    }
    case Kind::Correct: {
        // The Activity Log's correction: the old record out, the new one in, as one unit.
        auto old = ids.begin();
        std::advance(old, std::uniform_int_distribution<int>(0, int(ids.size()) - 1)(random));
        const int from = *old;
        const int to = nextId++;
        op.after.erase(from);
        op.after.insert(to);
        op.run = [from, to](store::Database& db) {
            store::writeTransaction(db, [&] {
                store::Statement remove(db, "DELETE FROM tblTimeSheet WHERE ClientNumber = ? "
                                            "AND Employee = ?");
                remove.bind(1, from).bind(2, kEmployee);
                remove.run();
                store::insertRecord(db, recordFor(to));
            });
        };
        break;
    }
    case Kind::Purge: {
        // Everything older than the third oldest record: two records.
        auto third = ids.begin();
        std::advance(third, 2);
        const QDateTime cutoff = beginOf(*third);
        op.after.erase(op.after.begin(), op.after.find(*third));
        op.run = [cutoff](store::Database& db) {
            if (!store::purgeRecordsBefore(db, kEmployee, cutoff, 2))
                throw store::DbError(0, QStringLiteral("purge counted another number"));
        };
        break;
    }
    case Kind::Compact:
        op.run = [](store::Database& db) { store::compactDatabase(db); };
        break;
    }
    return op;
}

const char* nameOf(Kind kind) {
    switch (kind) {
    case Kind::Append:
        return "append";
    case Kind::Correct:
        return "correct";
    case Kind::Purge:
        return "purge";
    case Kind::Compact:
        return "compact";
    }
    return "?";
}

Kind pickKind(std::mt19937& random, const std::set<int>& ids) {
    const int roll = std::uniform_int_distribution<int>(0, 99)(random);
    if (roll < 35 || ids.size() < 4)
        return Kind::Append;
    if (roll < 60)
        return Kind::Correct;
    if (roll < 80)
        return Kind::Purge;
    return Kind::Compact;
}

// Checks the file through a fresh connection, as the next start of the
// program would see it. Returns an empty text when all is well.
QByteArray checkFile(const QString& path, const std::set<int>& expected) {
    try {
        store::Database fresh = store::connectDataBase(path, kFileName);
        const QString result = integrity(fresh);
        if (result != QLatin1String("ok"))
            return "integrity " + result.toUtf8();
        const std::set<int> stored = storedIds(fresh);
        if (stored != expected)
            return "stored [" + idText(stored) + "] expected [" + idText(expected) + "]";
    } catch (const store::DbError& error) {
        return QByteArray("cannot open: ") + error.what();
    }
    return {};
}

// The copy kept before a purge or compaction that committed must hold the
// records as they were just before it.
QByteArray checkBackup(const QString& path, const std::set<int>& before) {
    try {
        store::Database copy(store::backupPath(path), store::databaseKey());
        if (integrity(copy) != QLatin1String("ok"))
            return "backup integrity";
        if (storedIds(copy) != before)
            return "backup holds [" + idText(storedIds(copy)) + "]";
    } catch (const store::DbError& error) {
        return QByteArray("backup: ") + error.what();
    }
    return {};
}

void setUp(const QString& path, std::set<int>& ids, int& nextId) {
    QFile::remove(path);
    QFile::remove(store::backupPath(path));
    store::Database db = store::connectDataBase(path, kFileName);
    store::writeTransaction(db, [&] {
        for (; nextId < kInitialRecords; ++nextId)
            store::insertRecord(db, recordFor(nextId));
    });
    for (int id = 0; id < kInitialRecords; ++id)
        ids.insert(id);
}

// Runs operations with random file-system failures; checks after each.
int faults(const QString& path, unsigned seed) {
    std::mt19937 random(seed);
    faultRandom.seed(seed * 7919u + 1u);
    std::set<int> ids;
    int nextId = 0;
    setUp(path, ids, nextId);
    store::Database db = store::connectDataBase(path, kFileName);
    for (int n = 0; n < kOperations; ++n) {
        Operation op = plan(pickKind(random, ids), ids, nextId, random);
        say("before " + idText(ids));
        say(QByteArray("begin ") + nameOf(op.kind));
        say("after " + idText(op.after));
        bool committed = false;
        failing = true;
        try {
            op.run(db);
            committed = true;
        } catch (const store::DbError& error) {
            failing = false;
            say(QByteArray("error ") + error.what());
        }
        failing = false;
        if (committed)
            say("ok");
        const std::set<int> before = ids;
        if (committed)
            ids = op.after;
        QByteArray problem = checkFile(path, ids);
        if (problem.isEmpty() && committed && (op.kind == Kind::Purge || op.kind == Kind::Compact))
            problem = checkBackup(path, before);
        if (!problem.isEmpty()) {
            say("MISMATCH " + problem);
            return 3;
        }
        say("checked");
    }
    return 0;
}

// Runs `warmUp` operations, then one of `kind`, killing itself at file-system
// call `killAt` of that operation (0: never; it then reports the calls made).
int crash(const QString& path, unsigned seed, Kind kind, long killAt) {
    std::mt19937 random(seed);
    std::set<int> ids;
    int nextId = 0;
    setUp(path, ids, nextId);
    store::Database db = store::connectDataBase(path, kFileName);
    const int warmUp = std::uniform_int_distribution<int>(0, 3)(random);
    for (int n = 0; n < warmUp; ++n) {
        Operation op = plan(pickKind(random, ids), ids, nextId, random);
        op.run(db);
        ids = op.after;
    }
    Operation op = plan(kind, ids, nextId, random);
    say("before " + idText(ids));
    say(QByteArray("begin ") + nameOf(kind));
    say("after " + idText(op.after));
    callsMade = 0;
    killAtCall = killAt;
    try {
        op.run(db);
        say("ok");
    } catch (const store::DbError& error) {
        say(QByteArray("error ") + error.what());
    }
    killAtCall = 0;
    say("calls " + QByteArray::number(callsMade));
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    fiu_init(0);
    for (const char* point : kFailurePoints)
        fiu_enable_external(point, 1, nullptr, 0, onFileSystemCall);
    try {
        if (args.size() == 4 && args[1] == "faults")
            return faults(args[2], args[3].toUInt());
        if (args.size() == 6 && args[1] == "crash") {
            const Kind kinds[] = {Kind::Append, Kind::Correct, Kind::Purge, Kind::Compact};
            return crash(args[2], args[3].toUInt(), kinds[args[4].toInt() % 4], args[5].toLong());
        }
    } catch (const store::DbError& error) {
        std::fprintf(stderr, "set-up failed: %s\n", error.what());
        return 2;
    }
    std::fprintf(stderr, "usage: faults <file> <seed> | crash <file> <seed> <kind 0-3> <killAt>\n");
    return 1;
}
