#include "Backup.h"

#include "Schema.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace store {

namespace {

qint64 activityCount(Database& db) {
    Statement count(db, "SELECT count(*) FROM tblTimeSheet");
    count.step();
    return count.int64(0);
}

QString integrity(Database& db) {
    Statement check(db, "PRAGMA integrity_check");
    check.step();
    return check.text(0);
}

[[noreturn]] void backupFailed(const QString& copy, const QString& why) {
    throw DbError(SQLITE_IOERR,
                  QStringLiteral("Cannot write the backup copy %1: %2.").arg(copy, why));
}

// Copies every page of `source` into the empty database `copy` in one pass,
// reading under one lock, so the copy is a snapshot and never half old, half new.
void copyPages(Database& source, Database& copy) {
    sqlite3_backup* backup = sqlite3_backup_init(copy.handle(), "main", source.handle(), "main");
    if (!backup)
        copy.fail(sqlite3_extended_errcode(copy.handle()), QStringLiteral("Cannot back up to"));
    const int stepped = sqlite3_backup_step(backup, -1);
    // Finishing hands the step's error, with its message, to the copy's connection.
    const int finished = sqlite3_backup_finish(backup);
    if (stepped != SQLITE_DONE)
        copy.fail(stepped, QStringLiteral("Cannot copy into"));
    if (finished != SQLITE_OK)
        copy.fail(finished, QStringLiteral("Cannot copy into"));
}

// A rename is only durable once the folder entry itself is on disk.
void syncFolder(const QString& file) {
    const int folder = ::open(QFile::encodeName(QFileInfo(file).absolutePath()).constData(),
                              O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

// Writes the copy at `partial` and reads it back through a fresh connection.
void writeCheckedCopy(Database& db, const QString& partial) {
    qint64 expected = 0;
    {
        Database copy(partial, databaseKey(), Database::Mode::Create);
        retryWhileBusy([&] {
            // Outside a transaction, count and copy under one read lock so
            // that a record committed by another copy in between cannot make
            // a good copy look wrong.
            const bool ownSnapshot = sqlite3_get_autocommit(db.handle()) != 0;
            if (ownSnapshot)
                db.exec("BEGIN");
            try {
                expected = activityCount(db);
                copyPages(db, copy);
            } catch (...) {
                if (ownSnapshot)
                    sqlite3_exec(db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
                throw;
            }
            if (ownSnapshot)
                db.exec("COMMIT");
        });
    }
    Database check(partial, databaseKey());
    const QString result = integrity(check);
    if (result != QLatin1String("ok"))
        throw DbError(SQLITE_CORRUPT,
                      QStringLiteral("The copy does not pass its check (%1).").arg(result));
    const qint64 copied = activityCount(check);
    if (copied != expected)
        throw DbError(
            SQLITE_CORRUPT,
            QStringLiteral("The copy holds %1 records instead of %2.").arg(copied).arg(expected));
}

} // namespace

QString backupPath(const QString& databasePath) {
    return databasePath + QStringLiteral(".bak");
}

void backupDatabase(Database& db) {
    backupDatabaseTo(db, backupPath(db.path()));
}

void backupDatabaseTo(Database& db, const QString& target) {
    // Writing the copy over the file itself would destroy the only original.
    if (QFileInfo(target).absoluteFilePath() == QFileInfo(db.path()).absoluteFilePath() ||
        (QFileInfo::exists(target) &&
         QFileInfo(target).canonicalFilePath() == QFileInfo(db.path()).canonicalFilePath()))
        backupFailed(target, QStringLiteral("it is the database itself"));
    const QString partial = target + QStringLiteral(".new");
    // A side file left by an earlier attempt that was cut short is ours to replace.
    QFile::remove(partial + QStringLiteral("-journal"));
    QFile::remove(partial);
    try {
        writeCheckedCopy(db, partial);
    } catch (const DbError& error) {
        QFile::remove(partial);
        if (error.isBusy())
            throw; // the caller waits and tries again
        throw DbError(error.code(),
                      QStringLiteral("The backup copy %1 could not be written, so the database "
                                     "was left unchanged. %2")
                          .arg(target, error.message()));
    }
    // rename() replaces the previous copy in one step: a crash leaves the old
    // copy or the new one, never neither.
    if (std::rename(QFile::encodeName(partial).constData(),
                    QFile::encodeName(target).constData()) != 0) {
        QFile::remove(partial);
        backupFailed(target, QStringLiteral("the finished copy could not take its name, so the "
                                            "database was left unchanged"));
    }
    syncFolder(target);
}

} // namespace store
