#include "Maintenance.h"

namespace store {

void compactDatabase(Database& db) {
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
    return writeTransaction(db, [&]() -> std::optional<int> {
        if (countRecordsBefore(db, employee, cutoff) != expected)
            return std::nullopt;
        Statement purge(db, "DELETE FROM tblTimeSheet WHERE BeginTime < ? AND Employee = ?");
        purge.bind(1, cutoff).bind(2, employee);
        purge.run();
        return db.changes();
    });
}

} // namespace store
