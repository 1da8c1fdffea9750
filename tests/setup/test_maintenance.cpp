#include "Maintenance.h"
#include "Schema.h"
#include "SetupFixtures.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstdio>
#include <list>
#include <sqlite3.h>

// A layer over the engine's file system that counts writes, syncs, truncations
// and deletions and sends SIGKILL just before the chosen one: no timing involved.
namespace killing {
sqlite3_vfs *base, vfs;
long operations = 0, killAt = -1;
struct Methods {
    sqlite3_io_methods io;
    const sqlite3_io_methods* real;
};
std::list<Methods> wrapped;

int tick() {
    return ++operations == killAt ? std::raise(SIGKILL) : 0;
}
const sqlite3_io_methods* real(sqlite3_file* f) {
    return reinterpret_cast<const Methods*>(f->pMethods)->real;
}
int open(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags) {
    const int rc = base->xOpen(base, name, f, flags, outFlags);
    if (f->pMethods) {
        Methods& m = wrapped.emplace_back(Methods{*f->pMethods, f->pMethods});
        m.io.xWrite = [](sqlite3_file* f, auto... a) { return tick(), real(f)->xWrite(f, a...); };
        m.io.xSync = [](sqlite3_file* f, auto... a) { return tick(), real(f)->xSync(f, a...); };
        m.io.xTruncate = [](sqlite3_file* f, auto... a) {
            return tick(), real(f)->xTruncate(f, a...);
        };
        f->pMethods = &m.io;
    }
    return rc;
}

// The child: compacts the file, dying at operation `at`; prints how many
// operations the whole compaction took.
int compact(const QString& path, long at) {
    base = sqlite3_vfs_find(nullptr);
    vfs = *base;
    vfs.zName = "killing";
    vfs.xOpen = open;
    // Deleting the journal is the commit point.
    vfs.xDelete = [](sqlite3_vfs*, auto... a) { return tick(), base->xDelete(base, a...); };
    sqlite3_vfs_register(&vfs, 1);
    store::Database db(path, store::databaseKey());
    operations = 0;
    killAt = at;
    store::compactDatabase(db);
    return std::printf("%ld\n", operations) < 0;
}
} // namespace killing

class TestMaintenance : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    const QDateTime now{QDate(2026, 3, 11), QTime(15, 0)};
    QString file(const char* name = "Hourloom.HL1") const { return dir.filePath(name); }
    store::Database open() { return store::connectDataBase(file(), "Hourloom.HL1"); }

    QProcess* compactInChild(long killAt) {
        auto* child = new QProcess(this);
        child->setEnvironment(QProcess::systemEnvironment()
                              << "HL_COMPACT=" + file() << "HL_KILL_AT=" + QString::number(killAt));
        child->start(QCoreApplication::applicationFilePath(), {});
        child->waitForFinished(60000);
        return child;
    }

private slots:
    void init() { QFile::remove(file()); }

    void anotherConnectionKeepsWorkingAfterCompaction() {
        store::Database mine = open();
        store::Database theirs = open();
        addDaily(mine, "ann", now, 500);
        store::purgeRecordsBefore(mine, "ann", now.addDays(-10), 489);
        QCOMPARE(count(theirs), 11);
        store::compactDatabase(mine);
        QCOMPARE(rows(theirs), rows(mine));
        addDaily(theirs, "bob", now, 1);
        addDaily(mine, "ann", now.addSecs(60), 1);
        QCOMPARE(count(mine), 13);
        QCOMPARE(rows(theirs), rows(mine));
    }

    void killedAtAnyDiskOperationLeavesEveryRow() {
        QString expected;
        {
            store::Database db = open();
            addDaily(db, "ann", now, 1500);
            addDaily(db, "bob", now, 300);
            store::purgeRecordsBefore(db, "ann", now.addDays(-200), 1299);
            expected = rows(db);
        }
        QVERIFY(QFile::copy(file(), file("pristine.HL1")));
        QProcess* complete = compactInChild(-1);
        QVERIFY2(complete->exitStatus() == QProcess::NormalExit && complete->exitCode() == 0,
                 complete->readAllStandardError().constData());
        const long total = complete->readAllStandardOutput().trimmed().toLong();
        QVERIFY2(total > 10, "the compaction wrote almost nothing");
        // An even spread, plus every one of the last, where the commit happens
        const long step = std::max(1L, total / 60);
        for (long killAt = 1; killAt <= total; killAt += killAt >= total - 12 ? 1 : step) {
            QFile::remove(file());
            QFile::remove(file() + "-journal");
            QVERIFY(QFile::copy(file("pristine.HL1"), file()));
            const QString at = QString("operation %1 of %2").arg(killAt).arg(total);
            QVERIFY2(compactInChild(killAt)->exitStatus() == QProcess::CrashExit,
                     qPrintable("not killed at " + at));
            store::Database reopened(file(), store::databaseKey());
            store::Statement check(reopened, "PRAGMA integrity_check");
            QVERIFY(check.step());
            QCOMPARE(check.text(0), "ok");
            QVERIFY2(rows(reopened) == expected, qPrintable("rows changed when killed at " + at));
        }
    }
};

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsSet("HL_COMPACT"))
        return killing::compact(qEnvironmentVariable("HL_COMPACT"),
                                qEnvironmentVariableIntValue("HL_KILL_AT"));
    QCoreApplication app(argc, argv);
    TestMaintenance test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_maintenance.moc"
