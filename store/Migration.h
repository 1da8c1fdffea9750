#pragma once

#include "Database.h"

namespace store {

// Brings a file made by an earlier version of the program up to the layout
// this version reads, one version step at a time, after keeping a checked
// copy of the file as it was (see backupDatabase). Every step runs in the
// one write transaction that also re-reads the version, so two copies of the
// program starting at once on an old file migrate it once. Throws DbError
// (and leaves the file as it was) when a step cannot keep every record, and
// when the file was made by a later version than this one.
void migrateSchema(Database& db);

} // namespace store
