#pragma once

#include "Database.h"
#include "Store.h"

#include <QDateTime>
#include <QString>
#include <optional>

namespace store {

// Rebuilds the open database file in place so that the space of deleted rows
// is given back. It runs as one transaction under an exclusive lock: a crash
// at any point leaves either the old or the compacted file, both complete, and
// other connections to the file keep working. Waits a bounded time for other
// copies of the program to release the file; throws DbError when it cannot
// run (the file is then left as it was). First keeps a checked copy of the
// file as it was (see backupDatabase); without that copy nothing is compacted.
void compactDatabase(Database& db);

// How many of the employee's records began before `cutoff`.
int countRecordsBefore(Database& db, const QString& employee, const QDateTime& cutoff);

// Deletes the employee's records that began before `cutoff`, but only when
// their number is still `expected` (the number the user agreed to): counting
// and deleting share one transaction, so nothing added meanwhile by another
// copy of the program is deleted unseen. Returns the number deleted, or
// nothing (and deletes nothing) when the count has changed. Before deleting,
// keeps a checked copy of the file (see backupDatabase); when the copy cannot
// be made, nothing is deleted and DbError is thrown.
std::optional<int> purgeRecordsBefore(Database& db, const QString& employee,
                                      const QDateTime& cutoff, int expected);

// The engine's integrity check (every problem it reports, none when sound)
// and the number of records, clients and work codes.
CheckResult checkDatabase(Database& db);

} // namespace store
