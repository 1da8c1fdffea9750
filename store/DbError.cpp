#include "DbError.h"

#include <sqlite3.h>

namespace store {

DbError::DbError(int code, const QString& message)
    : std::runtime_error(message.toStdString())
    , code_(code) {}

bool DbError::isBusy() const {
    return primaryCode() == SQLITE_BUSY || primaryCode() == SQLITE_LOCKED;
}

bool DbError::isRefusedValue() const {
    return primaryCode() == SQLITE_CONSTRAINT || primaryCode() == SQLITE_MISMATCH;
}

} // namespace store
