#pragma once

#include "Database.h"
#include "Store.h"

#include <optional>
#include <vector>

namespace store {

// The operations on the two code tables of a database file; the SQL of each
// table is fixed text chosen by the CodeTable value.

// Every entry, by number ascending.
std::vector<CodeEntry> codeEntries(Database& db, CodeTable table);

// The highest number in the table, or nothing when it is empty.
std::optional<qint32> highestCode(Database& db, CodeTable table);

// Adds the entry unless its number, or its name (compared as the database
// compares text, without regard to case), is already in the table. Check and
// insert are one write transaction, so two copies of the program cannot both
// add the same number. Throws DbError for a name that cannot be stored (empty
// or longer than 255 characters).
AddOutcome addCodeEntry(Database& db, CodeTable table, const CodeEntry& entry);

// Deletes the entries with exactly this number and name; returns how many went.
int deleteCodeEntry(Database& db, CodeTable table, const CodeEntry& entry);

} // namespace store
