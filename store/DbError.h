#pragma once

#include <QString>
#include <stdexcept>

namespace store {

// The one exception type of the store. It carries the engine's result code
// (SQLITE_BUSY, SQLITE_NOTADB, ...) and a message that already names the file.
class DbError : public std::runtime_error {
public:
    DbError(int code, const QString& message);

    int code() const { return code_; }
    // The primary result code, without the extended bits.
    int primaryCode() const { return code_ & 0xff; }
    bool isBusy() const;
    // A value the store refuses to hold (an empty or too long text, a number
    // out of range), as opposed to a store that cannot be used.
    bool isRefusedValue() const;
    QString message() const { return QString::fromUtf8(what()); }

private:
    int code_;
};

} // namespace store
