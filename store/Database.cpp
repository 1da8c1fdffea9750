#include "Database.h"

#include "KeyCache.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QThread>
#include <sqlite3.h>

namespace store {

namespace {

// How long one statement waits for another copy of the program to let go of
// the file, in polls of about a millisecond each.
constexpr int kBusyPolls = 2000;
constexpr int kWriteAttempts = 12;
constexpr auto kStoredFormat = "yyyy-MM-dd HH:mm:ss";

// SQLite's own busy wait backs off to 100 ms between looks at the lock, so a
// copy that is kept waiting almost never catches the short gap between two
// transactions of the others. Looking about every millisecond, at a random
// offset, gives every waiting copy a fair chance.
int pollWhileBusy(void*, int polls) {
    if (polls >= kBusyPolls)
        return 0;
    QThread::usleep(QRandomGenerator::global()->bounded(500, 1500));
    return 1;
}

QString reasonFor(int rc, sqlite3* db) {
    switch (rc & 0xff) {
    case SQLITE_NOTADB:
        return QStringLiteral("the file is not an Hourloom database, or it was made with "
                              "another password");
    case SQLITE_CORRUPT:
        return QStringLiteral("the file is damaged");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("the file is in use by another copy of the program; try again");
    case SQLITE_READONLY:
        return QStringLiteral("the file or its folder cannot be written");
    case SQLITE_CANTOPEN:
        return QStringLiteral("the file cannot be opened (missing, no access, or its folder "
                              "is unreachable)");
    default:
        break;
    }
    if (db)
        return QString::fromUtf8(sqlite3_errmsg(db));
    return QString::fromUtf8(sqlite3_errstr(rc));
}

} // namespace

Database::Database(const QString& path, const QByteArray& key, Mode mode)
    : path_(path) {
    if (mode == Mode::Create && QFileInfo::exists(path))
        throw DbError(SQLITE_CANTOPEN,
                      QStringLiteral("Cannot create %1: the database already exists.").arg(path));

    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX;
    if (mode == Mode::Create) {
        open(flags | SQLITE_OPEN_CREATE, key);
        return;
    }
    if (const std::optional<QByteArray> derived = cachedRawKey(path, key)) {
        try {
            open(flags, *derived);
            return;
        } catch (const DbError&) {
            // A key kept for another file that had the same name: the
            // password decides, and the right key is kept below.
        }
    }
    open(flags, key);
    rememberKey(path, key);
}

void Database::open(int flags, const QByteArray& key) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path_.toUtf8().constData(), &raw, flags, nullptr);
    db_ = raw; // sqlite3_open_v2 hands out a handle even when it fails
    // A constructor that throws runs no destructor: close the handle here, or
    // every refused file would leak a handle and its open file.
    try {
        if (rc != SQLITE_OK)
            fail(rc, QStringLiteral("Cannot open"));
        sqlite3_extended_result_codes(db_, 1);
        sqlite3_busy_handler(db_, pollWhileBusy, nullptr);
        const int keyed = sqlite3_key(db_, key.constData(), static_cast<int>(key.size()));
        if (keyed != SQLITE_OK)
            fail(keyed, QStringLiteral("Cannot unlock"));
        // A wrong key or a foreign file shows only at the first read.
        retryWhileBusy([this] { exec("SELECT count(*) FROM sqlite_master"); });
    } catch (...) {
        close();
        throw;
    }
}

Database::~Database() {
    close();
}

Database::Database(Database&& other) noexcept
    : db_(std::exchange(other.db_, nullptr))
    , path_(std::move(other.path_)) {}

Database& Database::operator=(Database&& other) noexcept {
    if (this != &other) {
        close();
        db_ = std::exchange(other.db_, nullptr);
        path_ = std::move(other.path_);
    }
    return *this;
}

void Database::close() noexcept {
    if (db_)
        sqlite3_close_v2(db_);
    db_ = nullptr;
}

void Database::exec(const char* sql) {
    char* error = nullptr;
    const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &error);
    sqlite3_free(error);
    if (rc != SQLITE_OK)
        fail(rc, QStringLiteral("Cannot use"));
}

int Database::changes() const {
    return sqlite3_changes(db_);
}

void Database::fail(int rc, const QString& what) const {
    const int extended = db_ ? sqlite3_extended_errcode(db_) : rc;
    const int code = (extended & 0xff) == (rc & 0xff) ? extended : rc;
    throw DbError(code,
                  QStringLiteral("%1 the database %2: %3.").arg(what, path_, reasonFor(code, db_)));
}

Statement::Statement(Database& db, const char* sql)
    : db_(db) {
    const int rc = sqlite3_prepare_v2(db.handle(), sql, -1, &stmt_, nullptr);
    if (rc != SQLITE_OK)
        db_.fail(rc, QStringLiteral("Cannot read"));
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

Statement& Statement::bind(int index, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    // A null QString would bind as SQL NULL; the program's texts are never null.
    const char* data = utf8.isNull() ? "" : utf8.constData();
    check(sqlite3_bind_text(stmt_, index, data, static_cast<int>(utf8.size()), SQLITE_TRANSIENT));
    return *this;
}

Statement& Statement::bind(int index, qint64 value) {
    check(sqlite3_bind_int64(stmt_, index, value));
    return *this;
}

Statement& Statement::bind(int index, double value) {
    check(sqlite3_bind_double(stmt_, index, value));
    return *this;
}

Statement& Statement::bind(int index, const QDateTime& value) {
    if (!value.isValid())
        return bindNull(index);
    return bind(index, toStoredText(value));
}

Statement& Statement::bindNull(int index) {
    check(sqlite3_bind_null(stmt_, index));
    return *this;
}

void Statement::check(int rc) const {
    // A value that was not bound must not let the statement run with NULL in its place.
    if (rc != SQLITE_OK)
        db_.fail(rc, QStringLiteral("Cannot use"));
}

bool Statement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    sqlite3_reset(stmt_);
    db_.fail(rc, QStringLiteral("Cannot use"));
}

void Statement::run() {
    while (step()) {
    }
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

QString Statement::text(int column) const {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return QString::fromUtf8(data, sqlite3_column_bytes(stmt_, column));
}

qint64 Statement::int64(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

double Statement::real(int column) const {
    return sqlite3_column_double(stmt_, column);
}

QDateTime Statement::dateTime(int column) const {
    return isNull(column) ? QDateTime() : fromStoredText(text(column));
}

Transaction::Transaction(Database& db)
    : db_(db) {
    db_.exec("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
    if (!done_)
        sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit() {
    db_.exec("COMMIT");
    done_ = true;
}

ReadTransaction::ReadTransaction(Database& db)
    : db_(db) {
    db_.exec("BEGIN");
}

ReadTransaction::~ReadTransaction() {
    // Nothing was written: ending it either way only lets go of the lock.
    sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

namespace detail {

void backoffOrRethrow(const DbError& error, int attempt) {
    if (attempt >= kWriteAttempts)
        throw error;
    // A short random pause keeps several waiting writers from colliding again.
    QThread::msleep(QRandomGenerator::global()->bounded(5, 20 * attempt));
}

} // namespace detail

QString toStoredText(const QDateTime& value) {
    // Every stored moment is local wall-clock time, whatever zone the value carries.
    return value.isValid() ? value.toLocalTime().toString(QLatin1String(kStoredFormat)) : QString();
}

namespace {

// The calendar day and time of day of a text in the stored form; an invalid
// date or time for any other text. Read by hand: every listed record carries
// three of these, and the general format parser costs more than the query
// that found them.
std::pair<QDate, QTime> storedParts(const QString& text) {
    if (text.size() != 19 || text[4] != u'-' || text[7] != u'-' || text[10] != u' ' ||
        text[13] != u':' || text[16] != u':')
        return {};
    const auto number = [&text](int from, int length) {
        int value = 0;
        for (int i = from; i < from + length; ++i) {
            const char16_t c = text[i].unicode();
            if (c < u'0' || c > u'9')
                return -1;
            value = value * 10 + (c - u'0');
        }
        return value;
    };
    const int year = number(0, 4);
    if (year < 0) // a negative year is valid to QDate
        return {};
    return {QDate(year, number(5, 2), number(8, 2)),
            QTime(number(11, 2), number(14, 2), number(17, 2))};
}

} // namespace

bool isStoredDateText(const QString& text) {
    const auto [date, time] = storedParts(text);
    return date.isValid() && time.isValid();
}

QDateTime fromStoredText(const QString& text) {
    const auto [date, time] = storedParts(text);
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

} // namespace store
