#pragma once

#include "Database.h"

#include <QString>
#include <vector>

// One entry of a list pair: the texts of the two fields shown.
struct CodeRow {
    QString first;
    QString second;
};

// The clients (by client number) and work codes (by work code), each row as
// the two fields named. A name that is not a field of the table falls back to
// the table's default field, so only fixed column names reach the query.
std::vector<CodeRow> clientRows(store::Database& db, const QString& field1, const QString& field2);
std::vector<CodeRow> workRows(store::Database& db, const QString& field1, const QString& field2);
