#pragma once

#include <QString>

// The file name the export proposes in `folder` (ending in "/") for
// `employee`: employee.csv when no file there starts with the employee's name
// and ends in ".csv" (without regard to case); otherwise the name numbered
// with that count, counting up past names already taken. Earlier exports are
// never proposed for overwriting.
QString proposedExportPath(const QString& folder, const QString& employee);

// The folder part of a chosen path, ending in "/", as the export remembers it.
QString exportFolderOf(const QString& path);
