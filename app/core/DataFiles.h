#pragma once

#include <QString>

// Read-only files installed with the program (the help file, blank.htm).
// They live in share/hourloom beside the executable's bin folder; the
// environment variable HOURLOOM_DATA_DIR names another folder instead (used
// by the tests and when running from the build tree).
QString installedDataFolder();

// The full path of one installed file. The file need not exist: callers say
// so to the user with this path.
QString installedDataFile(const QString& name);
