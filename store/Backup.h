#pragma once

#include "Database.h"

#include <QString>

namespace store {

// The copy of a database file kept beside it before maintenance work:
// "<file>.bak", for example "Hourloom.HL1.bak".
QString backupPath(const QString& databasePath);

// Writes a copy of the open database to backupPath(db.path()). The copy is
// written to a side file first, checked (it opens with the key, its integrity
// check passes and it holds as many activity records as the database), and
// only then renamed over the previous copy, so the previous copy survives any
// failure. Inside a transaction of `db` the copy shows what that transaction
// sees; otherwise it is one consistent snapshot. Throws DbError naming the
// copy when it cannot be made; the database itself is never changed.
void backupDatabase(Database& db);

// The same checked copy written to `target` instead, replacing a file there
// in one step. Refuses the database file itself.
void backupDatabaseTo(Database& db, const QString& target);

} // namespace store
