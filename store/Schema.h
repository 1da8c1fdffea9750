#pragma once

#include "Database.h"

#include <QString>

namespace store {

// The password every Hourloom database file is keyed with.
QByteArray databaseKey();

// The name the folder listing gives for the file at `path`, or an empty text
// when there is no such file or its folder cannot be read (an unreachable
// network path, for instance).
QString listedFileName(const QString& path);

// Whether `path` holds the database file named `name`, spelled exactly so.
bool databaseFound(const QString& path, const QString& name);

// Opens the database at `path`, first creating it with the three tables when
// the folder holds no file spelled exactly `name`. Throws DbError when the
// file cannot be created or opened, or is not an Hourloom database.
Database connectDataBase(const QString& path, const QString& name);

// Creates the three tables (and the two lookup indexes) in an empty database,
// marked with the current layout version.
void createSchema(Database& db);

// The version of the file's layout that this program makes and reads, kept
// in the file as PRAGMA user_version. Files made before it was kept read 0.
constexpr int kSchemaVersion = 1;

// Marks the file as holding the current layout version (inside the write
// transaction that made it so).
void markCurrentLayout(Database& db);

// The statement that creates tblTimeSheet, with its checks, as `table`.
QByteArray timeSheetTableSql(const char* table);

// The two lookup indexes of tblTimeSheet.
inline constexpr const char* kTimeSheetIndexes =
    "CREATE INDEX idxTimeSheetEmployeeEnd ON tblTimeSheet (Employee, EndTime);"
    "CREATE INDEX idxTimeSheetEmployeeBegin ON tblTimeSheet (Employee, BeginTime);";

// The schema's check on a date field, as an SQL condition on `field`: true
// exactly when the value is a text that isStoredDateText() accepts.
QByteArray storedDateCheck(const char* field);

} // namespace store
