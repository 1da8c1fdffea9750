#include "Maintenance.h"

#include "Backup.h"

namespace store {

void compactDatabase(Database& db) {
    // The copy beside the file is the user's way back if the rebuilt file is
    // not what they expected; no copy, no compaction.
    backupDatabase(db);
    // VACUUM keeps the original pages in the rollback journal until it
    // commits, so the only good copy never lives in a temporary file.
    for (int attempt = 1;; ++attempt) {
        try {
            db.exec("VACUUM");
            return;
        } catch (const DbError& error) {
            if (!error.isBusy())
                throw;
            detail::backoffOrRethrow(error, attempt);
        }
    }
}

int countRecordsBefore(Database& db, const QString& employee, const QDateTime& cutoff) {
    Statement count(db, "SELECT count(BeginTime) FROM tblTimeSheet "
                        "WHERE BeginTime < ? AND Employee = ?");
    count.bind(1, cutoff).bind(2, employee);
    count.step();
    return static_cast<int>(count.int64(0));
}

std::optional<int> purgeRecordsBefore(Database& db, const QString& employee,
                                      const QDateTime& cutoff, int expected) {
    // The copy is taken just before the write transaction: a copy cannot be
    // read through a connection that is writing.
    backupDatabase(db);
    return writeTransaction(db, [&]() -> std::optional<int> {
        if (countRecordsBefore(db, employee, cutoff) != expected)
            return std::nullopt;
        Statement purge(db, "DELETE FROM tblTimeSheet WHERE BeginTime < ? AND Employee = ?");
        purge.bind(1, cutoff).bind(2, employee);
        purge.run();
        return db.changes();
    });
}

CheckResult checkDatabase(Database& db) {
    return retryWhileBusy([&] {
        CheckResult result;
        // One snapshot, so the counts agree with what was checked.
        const ReadTransaction snapshot(db);
        Statement check(db, "PRAGMA integrity_check");
        while (check.step())
            if (check.text(0) != QLatin1String("ok"))
                result.problems << check.text(0);
        Statement counts(db, "SELECT (SELECT count(*) FROM tblTimeSheet), "
                             "(SELECT count(*) FROM tblClient), (SELECT count(*) FROM tblWork)");
        counts.step();
        result.records = counts.int64(0);
        result.clients = counts.int64(1);
        result.works = counts.int64(2);
        return result;
    });
}

} // namespace store
