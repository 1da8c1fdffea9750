#include "AppState.h"

#include <sqlite3.h>

store::Store& AppState::db() {
    if (!gDataBase)
        throw store::DbError(
            SQLITE_MISUSE, QStringLiteral("No database is open. Choose one in Time and Settings."));
    return *gDataBase;
}
