#pragma once

#include "Database.h"

#include <QString>
#include <optional>
#include <vector>

// The two code tables: tblClient (ClientNumber, ClientName) and tblWork
// (WorkCode, WorkDescription). Both have the same shape, so one set of
// operations serves both; the SQL of each is fixed text chosen by this value.
enum class CodeTable { Client, Work };

struct CodeEntry {
    qint32 number = 0;
    QString name;
    bool operator==(const CodeEntry&) const = default;
};

enum class AddOutcome { Added, NumberTaken, NameTaken };

// Every entry, by number ascending.
std::vector<CodeEntry> codeEntries(store::Database& db, CodeTable table);

// The highest number in the table, or nothing when it is empty.
std::optional<qint32> highestCode(store::Database& db, CodeTable table);

// Adds the entry unless its number, or its name (compared as the database
// compares text, without regard to case), is already in the table. Check and
// insert are one write transaction, so two copies of the program cannot both
// add the same number. Throws store::DbError for a name that cannot be stored
// (empty or longer than 255 characters).
AddOutcome addCodeEntry(store::Database& db, CodeTable table, const CodeEntry& entry);

// Deletes the entries with exactly this number and name; returns how many went.
int deleteCodeEntry(store::Database& db, CodeTable table, const CodeEntry& entry);
