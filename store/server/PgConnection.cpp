#include "PgConnection.h"

#include "Database.h"

#include <QDeadlineTimer>
#include <QHash>
#include <cstdlib>
#include <libpq-fe.h>
#include <memory>
#include <poll.h>
#include <sqlite3.h>

namespace store::server {

namespace {

// The client waits a little longer than the server's own statement timeout,
// so that a busy server reports its timeout itself.
constexpr int kClientGraceSeconds = 2;

// The store speaks one language of result codes, the file engine's: what a
// caller does about an error (retry, report, refuse) does not depend on the
// backend.
int codeFor(const char* sqlState) {
    const QByteArray state(sqlState ? sqlState : "");
    if (state.startsWith("23"))
        return SQLITE_CONSTRAINT;
    if (state == "42501" || state.startsWith("28"))
        return SQLITE_AUTH;
    if (state == "40001" || state == "40P01" || state == "55P03")
        return SQLITE_BUSY;
    if (state == "57014")
        return SQLITE_INTERRUPT;
    if (state == "42P01")
        return SQLITE_NOTADB;
    if (state.startsWith("08") || state.startsWith("57P"))
        return SQLITE_IOERR;
    return SQLITE_ERROR;
}

// libpq's messages come in several indented lines; a message box wants one.
QString trimmedMessage(const char* text) {
    return QString::fromUtf8(text ? text : "").simplified();
}

// The server's reason: its message, and its detail or hint when it gives one.
QString reasonOf(const PGresult* result) {
    QString reason = trimmedMessage(PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY));
    if (reason.isEmpty())
        reason = trimmedMessage(PQresultErrorMessage(result));
    for (const int field : {PG_DIAG_MESSAGE_DETAIL, PG_DIAG_MESSAGE_HINT}) {
        const QString more = trimmedMessage(PQresultErrorField(result, field));
        if (!more.isEmpty())
            reason += QStringLiteral(" (%1)").arg(more);
    }
    return reason;
}

} // namespace

Params& Params::operator<<(const QString& text) {
    // A null QString would be sent as NULL; the program's texts are never null.
    QByteArray utf8 = text.toUtf8();
    if (utf8.isNull())
        utf8 = QByteArray("");
    values_.emplace_back(std::move(utf8));
    return *this;
}

Params& Params::operator<<(qint64 number) {
    values_.emplace_back(QByteArray::number(number));
    return *this;
}

Params& Params::operator<<(const QDateTime& moment) {
    if (!moment.isValid())
        return *this << std::nullopt;
    values_.emplace_back(toStoredText(moment).toLatin1());
    return *this;
}

Params& Params::operator<<(std::nullopt_t) {
    values_.emplace_back(std::nullopt);
    return *this;
}

std::vector<const char*> Params::pointers() const {
    std::vector<const char*> pointers;
    pointers.reserve(values_.size());
    for (const auto& value : values_)
        pointers.push_back(value ? value->constData() : nullptr);
    return pointers;
}

Result::Result(pg_result* result)
    : result_(result) {}

Result::~Result() {
    PQclear(result_);
}

Result::Result(Result&& other) noexcept
    : result_(std::exchange(other.result_, nullptr)) {}

Result& Result::operator=(Result&& other) noexcept {
    if (this != &other) {
        PQclear(result_);
        result_ = std::exchange(other.result_, nullptr);
    }
    return *this;
}

int Result::rows() const {
    return result_ ? PQntuples(result_) : 0;
}

int Result::affected() const {
    return result_ ? std::atoi(PQcmdTuples(result_)) : 0;
}

bool Result::isNull(int row, int column) const {
    return PQgetisnull(result_, row, column) != 0;
}

QString Result::text(int row, int column) const {
    return QString::fromUtf8(PQgetvalue(result_, row, column), PQgetlength(result_, row, column));
}

qint64 Result::int64(int row, int column) const {
    return std::strtoll(PQgetvalue(result_, row, column), nullptr, 10);
}

QDateTime Result::dateTime(int row, int column) const {
    // The session's DateStyle is ISO, so a timestamp(0) reads back as the
    // file's own text form.
    return isNull(row, column) ? QDateTime() : fromStoredText(text(row, column));
}

Connection::Connection(const QString& url)
    : url_(url)
    , location_(describeServer(url)) {
    connect();
}

Connection::~Connection() {
    dropConnection();
}

Connection::Connection(Connection&& other) noexcept
    : conn_(std::exchange(other.conn_, nullptr))
    , url_(std::move(other.url_))
    , location_(std::move(other.location_))
    , statementSeconds_(other.statementSeconds_) {}

Connection& Connection::operator=(Connection&& other) noexcept {
    if (this != &other) {
        dropConnection();
        conn_ = std::exchange(other.conn_, nullptr);
        url_ = std::move(other.url_);
        location_ = std::move(other.location_);
        statementSeconds_ = other.statementSeconds_;
    }
    return *this;
}

void Connection::dropConnection() noexcept {
    if (conn_)
        PQfinish(conn_);
    conn_ = nullptr;
}

void Connection::connect() {
    dropConnection();
    const QByteArray url = url_.toUtf8();
    const QByteArray timeout = QByteArray::number(kConnectSeconds);
    const QByteArray userTimeout = QByteArray::number(kConnectSeconds * 1000);
    // Values before dbname are defaults the URI may override; those after it
    // are the program's own.
    const char* keywords[] = {"connect_timeout",  "keepalives_idle",  "keepalives_interval",
                              "keepalives_count", "tcp_user_timeout", "fallback_application_name",
                              "dbname",           "client_encoding",  nullptr};
    const char* values[] = {
        timeout.constData(), "5",    "2",    "2", userTimeout.constData(), "hourloom",
        url.constData(),     "UTF8", nullptr};
    conn_ = PQconnectdbParams(keywords, values, 1);
    if (!conn_ || PQstatus(conn_) != CONNECTION_OK) {
        const QString reason =
            conn_ ? trimmedMessage(PQerrorMessage(conn_)) : QStringLiteral("out of memory");
        dropConnection();
        throw DbError(SQLITE_CANTOPEN,
                      QStringLiteral("Cannot connect to the %1: %2").arg(location_, reason));
    }
    // The server's notices (a role already a member, ...) are no one's business here.
    PQsetNoticeProcessor(
        conn_, [](void*, const char*) {}, nullptr);
    // Dates travel as "YYYY-MM-DD HH:MM:SS", no statement runs unbounded, and
    // no short query waits for the JIT compiler (it costs more than it saves).
    execScript(QByteArray("SET DateStyle = ISO, MDY; SET jit = off; SET statement_timeout = " +
                          QByteArray::number(statementSeconds_ * 1000))
                   .constData());
}

void Connection::ensureOpen() {
    if (!conn_ || PQstatus(conn_) != CONNECTION_OK)
        connect();
}

void Connection::failConnection(const QString& reason) {
    dropConnection();
    throw DbError(SQLITE_IOERR,
                  QStringLiteral("The connection to the %1 was lost (%2); the last action may "
                                 "not have been completed. The next action connects again.")
                      .arg(location_, reason.isEmpty() ? QStringLiteral("no answer") : reason));
}

Result Connection::wait() {
    const QDeadlineTimer deadline =
        statementSeconds_ > 0 ? QDeadlineTimer((statementSeconds_ + kClientGraceSeconds) * 1000)
                              : QDeadlineTimer(QDeadlineTimer::Forever);
    Result last;
    std::optional<DbError> refused;
    for (;;) {
        while (PQisBusy(conn_)) {
            pollfd socket{PQsocket(conn_), POLLIN, 0};
            const qint64 left = deadline.remainingTime();
            const int ready = poll(&socket, 1, left < 0 ? -1 : static_cast<int>(left));
            if (ready == 0)
                failConnection(QStringLiteral("the server did not answer within %1 seconds")
                                   .arg(statementSeconds_ + kClientGraceSeconds));
            if (ready < 0 && errno != EINTR)
                failConnection(QString::fromLocal8Bit(strerror(errno)));
            if (!PQconsumeInput(conn_))
                failConnection(trimmedMessage(PQerrorMessage(conn_)));
        }
        Result result(PQgetResult(conn_));
        PGresult* raw = result.raw();
        if (!raw)
            break;
        const ExecStatusType status = PQresultStatus(raw);
        if (status == PGRES_COPY_IN)
            return result;
        if (status != PGRES_FATAL_ERROR && status != PGRES_BAD_RESPONSE) {
            last = std::move(result);
            continue;
        }
        const char* state = PQresultErrorField(raw, PG_DIAG_SQLSTATE);
        // A connection that broke gives an error without a state of its own.
        if (!state || PQstatus(conn_) != CONNECTION_OK)
            failConnection(reasonOf(raw));
        if (refused)
            continue;
        const int code = codeFor(state);
        refused.emplace(code,
                        code == SQLITE_INTERRUPT
                            ? QStringLiteral("The %1 did not finish within %2 seconds (%3); "
                                             "nothing was changed.")
                                  .arg(location_)
                                  .arg(statementSeconds_)
                                  .arg(reasonOf(raw))
                            : QStringLiteral("The %1 refused: %2").arg(location_, reasonOf(raw)));
    }
    if (PQstatus(conn_) != CONNECTION_OK)
        failConnection(trimmedMessage(PQerrorMessage(conn_)));
    if (refused)
        throw *refused;
    return last;
}

Result Connection::exec(const char* sql, const Params& params) {
    ensureOpen();
    const std::vector<const char*> values = params.pointers();
    if (!PQsendQueryParams(conn_, sql, params.size(), nullptr, values.data(), nullptr, nullptr, 0))
        failConnection(trimmedMessage(PQerrorMessage(conn_)));
    return wait();
}

void Connection::execScript(const char* sql) {
    ensureOpen();
    if (!PQsendQuery(conn_, sql))
        failConnection(trimmedMessage(PQerrorMessage(conn_)));
    wait();
}

void Connection::copyIn(const char* sql, const QByteArray& rows) {
    ensureOpen();
    if (!PQsendQuery(conn_, sql))
        failConnection(trimmedMessage(PQerrorMessage(conn_)));
    wait(); // the COPY_IN result
    constexpr qsizetype kChunk = 1 << 16;
    for (qsizetype at = 0; at < rows.size(); at += kChunk) {
        const int length = static_cast<int>(std::min(kChunk, rows.size() - at));
        if (PQputCopyData(conn_, rows.constData() + at, length) != 1)
            failConnection(trimmedMessage(PQerrorMessage(conn_)));
    }
    if (PQputCopyEnd(conn_, nullptr) != 1)
        failConnection(trimmedMessage(PQerrorMessage(conn_)));
    wait();
}

void Connection::setStatementSeconds(int seconds) {
    statementSeconds_ = seconds;
    if (conn_ && PQstatus(conn_) == CONNECTION_OK)
        execScript(QByteArray("SET statement_timeout = " + QByteArray::number(seconds * 1000))
                       .constData());
}

QByteArray Connection::quotedIdentifier(const QString& name) {
    ensureOpen();
    const QByteArray utf8 = name.toUtf8();
    char* quoted = PQescapeIdentifier(conn_, utf8.constData(), static_cast<size_t>(utf8.size()));
    if (!quoted)
        throw DbError(SQLITE_MISUSE,
                      QStringLiteral("The name \"%1\" cannot be used on the %2: %3")
                          .arg(name, location_, trimmedMessage(PQerrorMessage(conn_))));
    QByteArray result(quoted);
    PQfreemem(quoted);
    return result;
}

Transaction::Transaction(Connection& connection)
    : connection_(connection) {
    connection_.exec("BEGIN");
}

Transaction::~Transaction() {
    // A connection that broke has rolled the transaction back itself.
    if (done_ || !connection_.isOpen())
        return;
    try {
        connection_.exec("ROLLBACK");
    } catch (const DbError&) {
        // The connection broke just now: the server rolls back.
    }
}

void Transaction::commit() {
    connection_.exec("COMMIT");
    done_ = true;
}

UnboundedStatements::UnboundedStatements(Connection& connection)
    : connection_(connection) {
    connection_.setStatementSeconds(0);
}

UnboundedStatements::~UnboundedStatements() {
    try {
        connection_.setStatementSeconds(kStatementSeconds);
    } catch (const DbError&) {
        // The connection broke; the next one starts with the limit again.
    }
}

namespace {

// The fields a libpq URI sets, by keyword; nothing when it cannot be read.
std::optional<QHash<QByteArray, QString>> uriFields(const QString& url) {
    char* error = nullptr;
    const std::unique_ptr<PQconninfoOption, decltype(&PQconninfoFree)> options(
        PQconninfoParse(url.toUtf8().constData(), &error), PQconninfoFree);
    if (!options) {
        PQfreemem(error);
        return std::nullopt;
    }
    QHash<QByteArray, QString> fields;
    for (const PQconninfoOption* option = options.get(); option->keyword; ++option)
        if (option->val && *option->val)
            fields.insert(QByteArray(option->keyword), QString::fromUtf8(option->val));
    return fields;
}

} // namespace

QString describeServer(const QString& url) {
    const auto fields = uriFields(url);
    if (!fields)
        return QStringLiteral("server given by an unreadable address");
    QString host = fields->value("host", fields->value("hostaddr"));
    if (host.isEmpty() || host.startsWith(QLatin1Char('/')))
        host = QStringLiteral("this computer");
    const QString user = fields->value("user");
    const QString database =
        fields->value("dbname", user.isEmpty() ? QStringLiteral("of the login's name") : user);
    return QStringLiteral("database %1 on server %2").arg(database, host);
}

bool holdsPassword(const QString& url) {
    const auto fields = uriFields(url);
    return fields && fields->contains("password");
}

} // namespace store::server
