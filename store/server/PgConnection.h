#pragma once

#include "DbError.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

struct pg_conn;
struct pg_result;

namespace store::server {

// How long the program waits for the server before it gives up: a dead
// network or a hung server never freezes a window for longer.
constexpr int kConnectSeconds = 5;
constexpr int kStatementSeconds = 5;

// The values of one statement, each sent as text ($1, $2, ...). Nothing the
// user typed is ever put into the SQL itself.
class Params {
public:
    Params& operator<<(const QString& text);
    Params& operator<<(qint64 number);
    Params& operator<<(int number) { return *this << static_cast<qint64>(number); }
    // Local wall-clock time to the second; an invalid value is NULL.
    Params& operator<<(const QDateTime& moment);
    Params& operator<<(std::nullopt_t);

    int size() const { return static_cast<int>(values_.size()); }
    std::vector<const char*> pointers() const;

private:
    std::vector<std::optional<QByteArray>> values_;
};

// One statement's result. Owns the PGresult. Move-only.
class Result {
public:
    explicit Result(pg_result* result = nullptr);
    ~Result();
    Result(Result&& other) noexcept;
    Result& operator=(Result&& other) noexcept;
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;

    int rows() const;
    // Rows changed by an INSERT, UPDATE or DELETE.
    int affected() const;
    bool isNull(int row, int column) const;
    QString text(int row, int column) const;
    qint64 int64(int row, int column) const;
    QDateTime dateTime(int row, int column) const;
    pg_result* raw() const { return result_; }

private:
    pg_result* result_ = nullptr;
};

// One connection to the server, made from a libpq URI such as
// "postgresql://host/db?sslmode=verify-full". Passwords stay in libpq's own
// places (~/.pgpass, certificates); the URI is never shown in a message.
// Every wait on the server is bounded: connecting by kConnectSeconds, each
// statement by kStatementSeconds on the server and a little more here, after
// which the connection is dropped and the next use connects afresh. Move-only.
class Connection {
public:
    explicit Connection(const QString& url);
    ~Connection();
    Connection(Connection&& other) noexcept;
    Connection& operator=(Connection&& other) noexcept;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // "database DB on server HOST", for messages and the settings window.
    const QString& location() const { return location_; }
    const QString& url() const { return url_; }
    // Whether a connection is held (it may still turn out to be broken).
    bool isOpen() const { return conn_ != nullptr; }

    // Runs one statement. A lost connection is reported as such; the next
    // call connects again.
    Result exec(const char* sql, const Params& params = {});
    Result exec(const QByteArray& sql, const Params& params = {}) {
        return exec(sql.constData(), params);
    }
    // Runs statements without parameters (schema scripts), one after another.
    void execScript(const char* sql);
    // Sends rows in COPY text format to a COPY ... FROM STDIN statement.
    void copyIn(const char* sql, const QByteArray& rows);

    // Waits up to `seconds` for each statement from now on (0: no limit on
    // the server's side); long administrative work sets it for its duration.
    void setStatementSeconds(int seconds);
    // A name or login written into SQL as an identifier, quoted by libpq.
    QByteArray quotedIdentifier(const QString& name);

private:
    void connect();
    void ensureOpen();
    void dropConnection() noexcept;
    Result wait();
    [[noreturn]] void failConnection(const QString& reason);

    pg_conn* conn_ = nullptr;
    QString url_;
    QString location_;
    int statementSeconds_ = kStatementSeconds;
};

// A transaction: BEGIN on construction, ROLLBACK in the destructor unless
// commit() succeeded. A connection lost meanwhile has rolled it back already.
class Transaction {
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    Connection& connection_;
    bool done_ = false;
};

// Lifts the statement time limit for long administrative work (compaction,
// migration) and puts it back when the work ends.
class UnboundedStatements {
public:
    explicit UnboundedStatements(Connection& connection);
    ~UnboundedStatements();
    UnboundedStatements(const UnboundedStatements&) = delete;
    UnboundedStatements& operator=(const UnboundedStatements&) = delete;

private:
    Connection& connection_;
};

// "database DB on server HOST" for a libpq URI, without user or password.
QString describeServer(const QString& url);

// Whether a libpq URI carries a password (which must never be stored).
bool holdsPassword(const QString& url);

} // namespace store::server
