#pragma once

#include "DbError.h"

#include <QDateTime>
#include <QString>
#include <optional>
#include <type_traits>

struct sqlite3;
struct sqlite3_stmt;

namespace store {

// An open connection to one database file. Owns the sqlite3 handle; the
// handle is adopted before the open's result is checked, so a failed open
// never leaks it. Move-only.
class Database {
public:
    enum class Mode { OpenExisting, Create };

    // Opens (or creates) `path` and applies `key`. For OpenExisting the key is
    // verified at once by reading the schema, so a foreign file, a damaged file
    // or another key fails here with a clear DbError rather than at first use;
    // a key kept in the key cache (see KeyCache.h) spares the derivation.
    Database(const QString& path, const QByteArray& key, Mode mode = Mode::OpenExisting);
    ~Database();
    Database(Database&& other) noexcept;
    Database& operator=(Database&& other) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const QString& path() const { return path_; }
    sqlite3* handle() const { return db_; }

    // Runs one or more statements without parameters (schema, pragmas).
    void exec(const char* sql);
    // Rows changed by the last INSERT, UPDATE or DELETE.
    int changes() const;

    // Throws a DbError for result `rc`, with the engine's message and the file.
    [[noreturn]] void fail(int rc, const QString& what) const;

private:
    // Opens the file with `flags` and applies `key` (a password, or a raw
    // key "x'...'"), checking it at once.
    void open(int flags, const QByteArray& key);
    void close() noexcept;

    sqlite3* db_ = nullptr;
    QString path_;
};

// A prepared statement. Values go in only through bind(); indexes start at 1.
class Statement {
public:
    Statement(Database& db, const char* sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int index, const QString& text);
    Statement& bind(int index, qint64 value);
    Statement& bind(int index, int value) { return bind(index, static_cast<qint64>(value)); }
    Statement& bind(int index, double value);
    // Date-times are stored as local wall-clock text "YYYY-MM-DD HH:MM:SS".
    Statement& bind(int index, const QDateTime& value);
    Statement& bindNull(int index);

    // Advances to the next row; false when the statement is done.
    bool step();
    // Runs a statement that returns no rows.
    void run();
    void reset();

    bool isNull(int column) const;
    QString text(int column) const;
    qint64 int64(int column) const;
    double real(int column) const;
    QDateTime dateTime(int column) const;

private:
    void check(int rc) const;

    Database& db_;
    sqlite3_stmt* stmt_ = nullptr;
};

// A write transaction: BEGIN IMMEDIATE on construction, ROLLBACK in the
// destructor unless commit() succeeded.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();
    // The connection the transaction runs on.
    Database& database() const { return db_; }

private:
    Database& db_;
    bool done_ = false;
};

// A read snapshot: BEGIN on construction, and the end of the transaction in
// the destructor, so several reads see the same state of the file.
class ReadTransaction {
public:
    explicit ReadTransaction(Database& db);
    ~ReadTransaction();
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

private:
    Database& db_;
};

// Runs `work` inside a write transaction and commits it. When another copy of
// the program holds the file (SQLITE_BUSY even after the busy timeout), the
// whole transaction is rolled back and tried again a bounded number of times,
// so `work` must only touch the database. `work` takes no argument, or the
// Transaction, which it hands to the functions that must run inside one.
// Returns what `work` returns.
template <class Work> auto writeTransaction(Database& db, Work&& work);

namespace detail {
// Sleeps a little before retry `attempt`; throws the last error when the
// attempts are used up.
void backoffOrRethrow(const DbError& error, int attempt);
} // namespace detail

// Runs `work`, which only reads, again when the file stays busy past the busy
// timeout: while other copies of the program append in a stream, a reader can
// miss every gap between their commits for a while.
template <class Work> auto retryWhileBusy(Work&& work) {
    for (int attempt = 1;; ++attempt) {
        try {
            return work();
        } catch (const DbError& error) {
            if (!error.isBusy())
                throw;
            detail::backoffOrRethrow(error, attempt);
        }
    }
}

template <class Work> auto writeTransaction(Database& db, Work&& work) {
    for (int attempt = 1;; ++attempt) {
        try {
            Transaction transaction(db);
            const auto run = [&] {
                if constexpr (std::is_invocable_v<Work&, Transaction&>)
                    return work(transaction);
                else
                    return work();
            };
            if constexpr (std::is_void_v<decltype(run())>) {
                run();
                transaction.commit();
                return;
            } else {
                auto result = run();
                transaction.commit();
                return result;
            }
        } catch (const DbError& error) {
            if (!error.isBusy())
                throw;
            detail::backoffOrRethrow(error, attempt);
        }
    }
}

// The text form of date-times in the file, and back. An invalid QDateTime
// is stored as NULL; a text in any other form than "YYYY-MM-DD HH:MM:SS",
// or naming a day or time that does not exist, reads as an invalid QDateTime.
QString toStoredText(const QDateTime& value);
QDateTime fromStoredText(const QString& text);

// Whether `text` is in the one form dates are stored in and names a real day
// and time of day (the schema's date check accepts exactly these texts). A
// local time that the clocks skip on the night they go forward is readable,
// although no QDateTime in local time can hold it.
bool isStoredDateText(const QString& text);

} // namespace store
