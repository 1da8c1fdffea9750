#include "RecordEdits.h"

#include "Records.h"

namespace store {

bool deleteRecord(Transaction& transaction, const QString& employee, RecordId id) {
    Database& db = transaction.database();
    Statement remove(db, "DELETE FROM tblTimeSheet WHERE rowid = ? AND Employee = ?");
    remove.bind(1, id).bind(2, employee);
    remove.run();
    return db.changes() > 0;
}

bool deleteRecord(Database& db, const QString& employee, RecordId id) {
    return writeTransaction(
        db, [&](Transaction& transaction) { return deleteRecord(transaction, employee, id); });
}

void replaceRecord(Database& db, const QString& employee, RecordId id,
                   const ActivityRecord& replacement) {
    writeTransaction(db, [&](Transaction& transaction) {
        deleteRecord(transaction, employee, id);
        insertRecord(transaction, replacement);
    });
}

} // namespace store
