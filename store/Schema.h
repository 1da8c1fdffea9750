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

// Creates the three tables (and the two lookup indexes) in an empty database.
void createSchema(Database& db);

} // namespace store
