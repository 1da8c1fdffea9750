#pragma once

#include "Store.h"

#include <QString>

namespace store::server {

struct MigrationSummary {
    qint64 records = 0;
    qint64 clients = 0; // code entries added to the server's lists
    qint64 works = 0;
    int employees = 0;
};

// Copies the code lists and every record of `file` onto the server at `url`,
// laid out by serverInit, as one server transaction. Code entries the server
// already holds with the same number and name are kept once. Before it
// commits, it compares, per employee, the number of records and the summed
// seconds on the server with those read from the file; any difference, a
// server that already holds records, or a login that does not own the tables
// throws DbError and leaves the server as it was.
MigrationSummary migrateFile(Store& file, const QString& url);

} // namespace store::server
