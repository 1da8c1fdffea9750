#pragma once

#include "Store.h"

#include <QString>
#include <vector>

// One entry of a list pair: the texts of the two fields shown.
struct CodeRow {
    QString first;
    QString second;
};

// The clients (by client number) and work codes (by work code), each row as
// the two fields named. A name that is not a field of the table falls back to
// the table's default field.
std::vector<CodeRow> clientRows(store::Store& store, const QString& field1, const QString& field2);
std::vector<CodeRow> workRows(store::Store& store, const QString& field1, const QString& field2);

// The field names the lists may show, spelled as in the tables: `field`
// when it names one (in any letter case), otherwise `fallback`.
QString clientFieldOr(const QString& field, const QString& fallback);
QString workFieldOr(const QString& field, const QString& fallback);
