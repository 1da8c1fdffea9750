#pragma once

#include "Store.h"

#include <QString>
#include <memory>

namespace store {

// Where the stored data lives is named by one text: the path of a database
// file, or the URI of a database server ("postgresql://host/db").

// Whether `location` names a database server rather than a file.
bool isServerLocation(const QString& location);

// Opens the store at `location`. A file must already be an Hourloom
// database: a missing file is refused, never created. Throws DbError naming
// the location and the reason.
std::unique_ptr<Store> openStore(const QString& location);

// Creates a new database file at `location` with the three tables, as the
// database button of Time and Settings does, and opens it. Refuses a file
// that exists. Throws DbError.
std::unique_ptr<Store> createStore(const QString& location);

} // namespace store
