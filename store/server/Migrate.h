#pragma once

#include "ServerBackend.h"
#include "Store.h"

#include <QString>

namespace store::server {

using store::MigrationSummary;

// Copies the code lists and every record of `file` onto the server at `url`,
// laid out by serverInit, as one server transaction. Code entries the server
// already holds with the same number and name are kept once. Before it
// commits, it compares, per employee, the number of records and the summed
// seconds on the server with those read from the file; any difference, a
// server that already holds records, or a login that does not own the tables
// throws DbError and leaves the server as it was.
MigrationSummary migrateFile(Store& file, const QString& url);

} // namespace store::server
