#pragma once

#include "ActivityRecord.h"
#include "Database.h"

#include <QString>

namespace store {

// Changes to one stored record of a database file, found by its key (the
// rowid) and only when it is the employee's.

// Deletes record `id` of `employee` inside the caller's transaction; false
// when there is no such record (deleted meanwhile, or another employee's).
bool deleteRecord(Transaction& transaction, const QString& employee, RecordId id);

// The same in a write transaction of its own.
bool deleteRecord(Database& db, const QString& employee, RecordId id);

// Deletes record `id` of `employee` and appends `replacement` as given, as
// one transaction: when the append fails, the old record stays. A record
// deleted meanwhile by another copy of the program is replaced all the same.
void replaceRecord(Database& db, const QString& employee, RecordId id,
                   const ActivityRecord& replacement);

} // namespace store
