// Kills a compaction at every point where it touches the disk and checks
// that the file then opens with every row. The compaction runs in a child
// copy of this executable; a thin layer over the engine's file system counts
// the child's writes, syncs, truncations and deletions and sends SIGKILL to
// the child just before the chosen one. No timing is involved.
#include "Maintenance.h"
#include "Schema.h"
#include "SetupFixtures.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstdio>
#include <sqlite3.h>

using namespace fixtures;

namespace killing_vfs {

sqlite3_vfs* base = nullptr;
sqlite3_vfs shim;
sqlite3_io_methods io;
long operations = 0;
long killAt = -1;

void countOperation() {
    if (++operations == killAt)
        std::raise(SIGKILL);
}

struct File {
    sqlite3_file head;
    sqlite3_file* real;
};
sqlite3_file* real(sqlite3_file* f) {
    return reinterpret_cast<File*>(f)->real;
}

int xClose(sqlite3_file* f) {
    return real(f)->pMethods->xClose(real(f));
}
int xRead(sqlite3_file* f, void* buffer, int amount, sqlite3_int64 offset) {
    return real(f)->pMethods->xRead(real(f), buffer, amount, offset);
}
int xWrite(sqlite3_file* f, const void* buffer, int amount, sqlite3_int64 offset) {
    countOperation();
    return real(f)->pMethods->xWrite(real(f), buffer, amount, offset);
}
int xTruncate(sqlite3_file* f, sqlite3_int64 size) {
    countOperation();
    return real(f)->pMethods->xTruncate(real(f), size);
}
int xSync(sqlite3_file* f, int flags) {
    countOperation();
    return real(f)->pMethods->xSync(real(f), flags);
}
int xFileSize(sqlite3_file* f, sqlite3_int64* size) {
    return real(f)->pMethods->xFileSize(real(f), size);
}
int xLock(sqlite3_file* f, int level) {
    return real(f)->pMethods->xLock(real(f), level);
}
int xUnlock(sqlite3_file* f, int level) {
    return real(f)->pMethods->xUnlock(real(f), level);
}
int xCheckReservedLock(sqlite3_file* f, int* out) {
    return real(f)->pMethods->xCheckReservedLock(real(f), out);
}
int xFileControl(sqlite3_file* f, int op, void* arg) {
    return real(f)->pMethods->xFileControl(real(f), op, arg);
}
int xSectorSize(sqlite3_file* f) {
    return real(f)->pMethods->xSectorSize(real(f));
}
int xDeviceCharacteristics(sqlite3_file* f) {
    return real(f)->pMethods->xDeviceCharacteristics(real(f));
}

int xOpen(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags) {
    auto* file = reinterpret_cast<File*>(f);
    file->real = reinterpret_cast<sqlite3_file*>(file + 1);
    const int rc = base->xOpen(base, name, file->real, flags, outFlags);
    f->pMethods = file->real->pMethods ? &io : nullptr;
    return rc;
}
int xDelete(sqlite3_vfs*, const char* name, int syncDir) {
    countOperation(); // deleting the journal is the commit point
    return base->xDelete(base, name, syncDir);
}
int xAccess(sqlite3_vfs*, const char* name, int flags, int* out) {
    return base->xAccess(base, name, flags, out);
}
int xFullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
    return base->xFullPathname(base, name, size, out);
}
int xRandomness(sqlite3_vfs*, int size, char* out) {
    return base->xRandomness(base, size, out);
}
int xSleep(sqlite3_vfs*, int micro) {
    return base->xSleep(base, micro);
}
int xCurrentTime(sqlite3_vfs*, double* out) {
    return base->xCurrentTime(base, out);
}
int xGetLastError(sqlite3_vfs*, int size, char* out) {
    return base->xGetLastError(base, size, out);
}

void install() {
    base = sqlite3_vfs_find(nullptr);
    io = sqlite3_io_methods{};
    io.iVersion = 1;
    io.xClose = xClose;
    io.xRead = xRead;
    io.xWrite = xWrite;
    io.xTruncate = xTruncate;
    io.xSync = xSync;
    io.xFileSize = xFileSize;
    io.xLock = xLock;
    io.xUnlock = xUnlock;
    io.xCheckReservedLock = xCheckReservedLock;
    io.xFileControl = xFileControl;
    io.xSectorSize = xSectorSize;
    io.xDeviceCharacteristics = xDeviceCharacteristics;
    shim = sqlite3_vfs{};
    shim.iVersion = 1;
    shim.szOsFile = static_cast<int>(sizeof(File)) + base->szOsFile;
    shim.mxPathname = base->mxPathname;
    shim.zName = "killing";
    shim.xOpen = xOpen;
    shim.xDelete = xDelete;
    shim.xAccess = xAccess;
    shim.xFullPathname = xFullPathname;
    shim.xRandomness = xRandomness;
    shim.xSleep = xSleep;
    shim.xCurrentTime = xCurrentTime;
    shim.xGetLastError = xGetLastError;
    sqlite3_vfs_register(&shim, 1);
}

} // namespace killing_vfs

namespace {

const char* kChildFile = "HOURLOOM_COMPACT_CHILD";
const char* kChildKillAt = "HOURLOOM_COMPACT_KILL_AT";

// The child: compacts the file, dying at the chosen disk operation; prints
// how many operations the whole compaction took.
int runChild(const QString& path, long killAt) {
    killing_vfs::install();
    try {
        store::Database db(path, store::databaseKey());
        killing_vfs::operations = 0;
        killing_vfs::killAt = killAt;
        store::compactDatabase(db);
    } catch (const store::DbError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 2;
    }
    std::printf("%ld\n", killing_vfs::operations);
    return 0;
}

} // namespace

class TestCompactionCrash : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString pristine() const { return dir.filePath("pristine.HL1"); }
    QString work() const { return dir.filePath("Hourloom.HL1"); }
    QByteArray expectedRows;

    QProcess* startChild(long killAt) {
        auto* child = new QProcess(this);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(kChildFile, work());
        env.insert(kChildKillAt, QString::number(killAt));
        child->setProcessEnvironment(env);
        child->start(QCoreApplication::applicationFilePath(), {});
        return child;
    }

    void freshWorkCopy() {
        QFile::remove(work());
        QFile::remove(work() + "-journal");
        QVERIFY(QFile::copy(pristine(), work()));
    }

private slots:
    void initTestCase() {
        // A file with many deleted rows, so compaction moves many pages.
        store::Database db = store::connectDataBase(pristine(), "pristine.HL1");
        const QDateTime now(QDate(2026, 3, 11), QTime(15, 0));
        addDaily(db, "ann", now, 1500);
        addDaily(db, "bob", now, 300);
        const QDateTime cutoff = now.addDays(-200);
        store::purgeRecordsBefore(db, "ann", cutoff, store::countRecordsBefore(db, "ann", cutoff));
        expectedRows = rowsDigest(db);
        QCOMPARE(rowCount(db), 201 + 300);
    }

    void killedAtAnyDiskOperationLeavesEveryRow() {
        // A run to the end tells how many disk operations there are.
        freshWorkCopy();
        QProcess* complete = startChild(-1);
        QVERIFY(complete->waitForFinished(60000));
        QCOMPARE(complete->exitStatus(), QProcess::NormalExit);
        QCOMPARE(complete->exitCode(), 0);
        const long total = complete->readAllStandardOutput().trimmed().toLong();
        QVERIFY2(total > 10, "the compaction wrote almost nothing");

        // Every operation when there are few, else an even spread plus the
        // last ones, where the commit happens.
        std::vector<long> points;
        const long step = std::max(1L, total / 60);
        for (long k = 1; k <= total; k += step)
            points.push_back(k);
        for (long k = std::max(1L, total - 12); k <= total; ++k)
            points.push_back(k);

        for (long killAt : points) {
            freshWorkCopy();
            QProcess* child = startChild(killAt);
            QVERIFY(child->waitForFinished(60000));
            QVERIFY2(
                child->exitStatus() == QProcess::CrashExit,
                qPrintable(QString("not killed at operation %1 of %2").arg(killAt).arg(total)));
            delete child;

            store::Database reopened(work(), store::databaseKey());
            store::Statement check(reopened, "PRAGMA integrity_check");
            QVERIFY(check.step());
            QCOMPARE(check.text(0), QString("ok"));
            QVERIFY2(rowsDigest(reopened) == expectedRows,
                     qPrintable(QString("rows changed when killed at operation %1 of %2")
                                    .arg(killAt)
                                    .arg(total)));
        }
    }
};

int main(int argc, char** argv) {
    const QByteArray childFile = qgetenv(kChildFile);
    if (!childFile.isEmpty())
        return runChild(QString::fromLocal8Bit(childFile),
                        qEnvironmentVariableIntValue(kChildKillAt));
    QCoreApplication app(argc, argv);
    TestCompactionCrash test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_compactioncrash.moc"
