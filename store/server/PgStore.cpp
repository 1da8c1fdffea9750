#include "PgStore.h"

#include "Records.h"
#include "ServerBackend.h"
#include "ServerSchema.h"

#include <sqlite3.h>

namespace store::server {

namespace {

constexpr const char* kSelectRecords =
    "SELECT Date, BeginTime, EndTime, ClientNumber, ClientName, WorkCode, WorkDescription, "
    "Employee, RecordId FROM public.tblTimeSheet";

ActivityRecord recordAt(const Result& rows, int row) {
    ActivityRecord r;
    r.date = rows.dateTime(row, 0);
    r.beginTime = rows.dateTime(row, 1);
    r.endTime = rows.dateTime(row, 2);
    r.clientNumber = static_cast<qint32>(rows.int64(row, 3));
    r.clientName = rows.text(row, 4);
    r.workCode = static_cast<qint32>(rows.int64(row, 5));
    r.workDescription = rows.text(row, 6);
    r.employee = rows.text(row, 7);
    r.id = rows.int64(row, 8);
    return r;
}

std::vector<ActivityRecord> recordsOf(const Result& rows) {
    std::vector<ActivityRecord> records;
    records.reserve(static_cast<size_t>(rows.rows()));
    for (int row = 0; row < rows.rows(); ++row)
        records.push_back(recordAt(rows, row));
    return records;
}

struct TableSql {
    const char* list;
    const char* highest;
    const char* lock;
    const char* taken; // is the number taken, is the name taken
    const char* insert;
    const char* remove;
    const char* nameField; // for messages
};

const TableSql kClientSql{
    "SELECT ClientNumber, ClientName FROM public.tblClient ORDER BY ClientNumber ASC",
    "SELECT max(ClientNumber) FROM public.tblClient",
    "LOCK TABLE public.tblClient IN SHARE ROW EXCLUSIVE MODE",
    "SELECT EXISTS (SELECT 1 FROM public.tblClient WHERE ClientNumber = $1), "
    "EXISTS (SELECT 1 FROM public.tblClient WHERE ClientName = $2)",
    "INSERT INTO public.tblClient (ClientNumber, ClientName) VALUES ($1, $2)",
    "DELETE FROM public.tblClient WHERE ClientNumber = $1 AND ClientName = $2",
    "The client name",
};

const TableSql kWorkSql{
    "SELECT WorkCode, WorkDescription FROM public.tblWork ORDER BY WorkCode ASC",
    "SELECT max(WorkCode) FROM public.tblWork",
    "LOCK TABLE public.tblWork IN SHARE ROW EXCLUSIVE MODE",
    "SELECT EXISTS (SELECT 1 FROM public.tblWork WHERE WorkCode = $1), "
    "EXISTS (SELECT 1 FROM public.tblWork WHERE WorkDescription = $2)",
    "INSERT INTO public.tblWork (WorkCode, WorkDescription) VALUES ($1, $2)",
    "DELETE FROM public.tblWork WHERE WorkCode = $1 AND WorkDescription = $2",
    "The work description",
};

const TableSql& sqlFor(CodeTable table) {
    return table == CodeTable::Client ? kClientSql : kWorkSql;
}

// Whole seconds of wall-clock time: timestamps without a zone subtract
// without any daylight-saving shift, as the file's records do. The sums are
// taken in two steps: first by the names exactly as stored (quick, byte-wise),
// then the few sums by names compared without regard to case, as the file
// groups them; comparing every record without regard to case costs twice as
// long as the whole first step.
QByteArray reportSql(bool daily) {
    const QByteArray day = daily ? "Day, " : "";
    const QByteArray inner = QByteArray("SELECT sum(EndTime - BeginTime) AS Span, ") +
                             (daily ? "BeginTime::date AS Day, " : "") +
                             "ClientNumber, ClientName::text AS ClientName, WorkCode, "
                             "WorkDescription::text AS WorkDescription "
                             "FROM public.tblTimeSheet WHERE Employee = $1 "
                             "AND BeginTime >= $2 AND BeginTime <= $3 GROUP BY " +
                             (daily ? "BeginTime::date, " : "") +
                             "ClientNumber, ClientName::text, WorkCode, WorkDescription::text";
    return "SELECT extract(epoch FROM sum(Span))::bigint, ClientNumber, "
           "ClientName::public.citext COLLATE \"C\" AS Client, WorkCode, "
           "WorkDescription::public.citext COLLATE \"C\" AS Work" +
           (daily ? QByteArray(", Day") : QByteArray()) + " FROM (" + inner +
           ") AS exact GROUP BY " + day + "ClientNumber, Client, WorkCode, Work ORDER BY " + day +
           "Client, Work, ClientNumber, WorkCode";
}

// How many records one fetch of a walk over every record brings.
constexpr int kFetchRows = 10000;

} // namespace

PgStore::PgStore(const QString& url)
    : server_(url) {
    try {
        Result about = server_.exec(
            "SELECT (SELECT max(version) FROM public.hourloom_schema), "
            "public.hourloom_employee_name(), pg_has_role(current_user, relowner, 'MEMBER'), "
            "pg_has_role(current_user, 'hourloom_lead', 'MEMBER') FROM pg_class WHERE oid = "
            "'public.tbltimesheet'::regclass");
        const qint64 version = about.isNull(0, 0) ? 0 : about.int64(0, 0);
        if (version != kSchemaVersion)
            throw DbError(SQLITE_NOTADB,
                          QStringLiteral("The %1 holds Hourloom tables of version %2; this "
                                         "program needs version %3.")
                              .arg(server_.location())
                              .arg(version)
                              .arg(kSchemaVersion));
        employeeName_ = about.text(0, 1);
        administrator_ = about.text(0, 2) == QLatin1String("t");
        lead_ = about.text(0, 3) == QLatin1String("t");
    } catch (const DbError& error) {
        if (error.primaryCode() != SQLITE_NOTADB || error.message().contains(u"version"))
            throw;
        throw DbError(SQLITE_NOTADB,
                      QStringLiteral("The %1 holds no Hourloom tables. Its administrator lays "
                                     "them down with: hourloom-cli server init URL")
                          .arg(server_.location()));
    }
}

std::optional<Store::ServerLogin> PgStore::serverLogin() const {
    return ServerLogin{employeeName_, administrator_, lead_};
}

QString PgStore::location() const {
    return server_.location();
}

void PgStore::insertRecord(const ActivityRecord& r) {
    requireStorableText(QStringLiteral("The client name"), r.clientName);
    requireStorableText(QStringLiteral("The work description"), r.workDescription);
    Params values;
    values << r.date << r.beginTime << r.endTime << r.clientNumber << r.clientName
           << r.workDescription << r.workCode;
    // With no name given, the server fills in this login's own.
    if (r.employee.isEmpty() && !employeeName_.isEmpty()) {
        values << std::nullopt;
    } else {
        requireStorableText(QStringLiteral("The employee name"), r.employee);
        values << r.employee;
    }
    server_.exec("INSERT INTO public.tblTimeSheet (Date, BeginTime, EndTime, ClientNumber, "
                 "ClientName, WorkDescription, WorkCode, Employee) "
                 "VALUES ($1, $2, $3, $4, $5, $6, $7, $8)",
                 values);
}

void PgStore::appendRecord(const ActivityRecord& record) {
    insertRecord(record);
}

std::vector<ActivityRecord> PgStore::recentRecords(const QString& employee, const QDateTime& from,
                                                   RecentOrder order,
                                                   const std::optional<QDateTime>& to, int limit) {
    Params values;
    values << from << employee;
    QByteArray sql = QByteArray(kSelectRecords) + " WHERE EndTime >= $1 AND Employee = $2";
    if (to) {
        sql += " AND EndTime <= $3";
        values << *to;
    }
    sql +=
        order == RecentOrder::BeginTimeDesc ? " ORDER BY BeginTime DESC" : " ORDER BY EndTime DESC";
    sql += " LIMIT $" + QByteArray::number(values.size() + 1);
    if (limit >= 0)
        values << limit;
    else
        values << std::nullopt;
    return recordsOf(server_.exec(sql, values));
}

std::vector<ActivityRecord> PgStore::dayRecords(const QString& employee, const QDate& day) {
    const QByteArray sql = QByteArray(kSelectRecords) +
                           " WHERE (EndTime >= $1 AND EndTime <= $2 AND Employee = $3)"
                           " OR (BeginTime >= $1 AND BeginTime <= $2 AND Employee = $3)"
                           " ORDER BY BeginTime ASC";
    return recordsOf(server_.exec(sql, Params() << QDateTime(day, QTime(0, 0))
                                                << QDateTime(day, QTime(23, 59)) << employee));
}

bool PgStore::hasRecordEndingAtOrAfter(const QString& employee, const QDateTime& moment) {
    return server_
               .exec("SELECT 1 FROM public.tblTimeSheet WHERE EndTime >= $1 AND Employee = $2 "
                     "LIMIT 1",
                     Params() << moment << employee)
               .rows() > 0;
}

bool PgStore::deleteLatestEndingSince(const QString& employee, const QDateTime& cutoff) {
    return server_
               .exec("DELETE FROM public.tblTimeSheet WHERE RecordId = ("
                     "SELECT RecordId FROM public.tblTimeSheet WHERE EndTime >= $1 AND "
                     "Employee = $2 ORDER BY EndTime DESC, RecordId DESC LIMIT 1)",
                     Params() << cutoff << employee)
               .affected() > 0;
}

bool PgStore::deleteRecord(const QString& employee, RecordId id) {
    return server_
               .exec("DELETE FROM public.tblTimeSheet WHERE RecordId = $1 AND Employee = $2",
                     Params() << id << employee)
               .affected() > 0;
}

void PgStore::replaceRecord(const QString& employee, RecordId id,
                            const ActivityRecord& replacement) {
    Transaction transaction(server_);
    if (!deleteRecord(employee, id))
        throw DbError(SQLITE_NOTFOUND,
                      QStringLiteral("The record is no longer on the %1 (another copy of the "
                                     "program deleted it); nothing was changed.")
                          .arg(server_.location()));
    insertRecord(replacement);
    transaction.commit();
}

void PgStore::forEachRecord(const std::function<void(const ActivityRecord&)>& visit) {
    Transaction transaction(server_);
    // One snapshot for the whole walk, however long the caller takes.
    server_.exec("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ");
    server_.exec(QByteArray("DECLARE every_record NO SCROLL CURSOR FOR ") + kSelectRecords +
                 " ORDER BY RecordId");
    const QByteArray fetch = "FETCH " + QByteArray::number(kFetchRows) + " FROM every_record";
    for (;;) {
        const Result rows = server_.exec(fetch);
        for (int row = 0; row < rows.rows(); ++row)
            visit(recordAt(rows, row));
        if (rows.rows() < kFetchRows)
            break;
    }
    transaction.commit();
}

std::vector<CodeEntry> PgStore::codeEntries(CodeTable table) {
    const Result rows = server_.exec(sqlFor(table).list);
    std::vector<CodeEntry> entries;
    entries.reserve(static_cast<size_t>(rows.rows()));
    for (int row = 0; row < rows.rows(); ++row)
        entries.push_back({static_cast<qint32>(rows.int64(row, 0)), rows.text(row, 1)});
    return entries;
}

std::optional<qint32> PgStore::highestCode(CodeTable table) {
    const Result top = server_.exec(sqlFor(table).highest);
    if (top.isNull(0, 0))
        return std::nullopt;
    return static_cast<qint32>(top.int64(0, 0));
}

AddOutcome PgStore::addCodeEntry(CodeTable table, const CodeEntry& entry) {
    const TableSql& sql = sqlFor(table);
    requireStorableText(QString::fromLatin1(sql.nameField), entry.name);
    Transaction transaction(server_);
    // Two copies adding at once take turns, so no number or name goes in twice.
    server_.exec(sql.lock);
    const Result taken = server_.exec(sql.taken, Params() << entry.number << entry.name);
    if (taken.text(0, 0) == QLatin1String("t"))
        return AddOutcome::NumberTaken;
    if (taken.text(0, 1) == QLatin1String("t"))
        return AddOutcome::NameTaken;
    server_.exec(sql.insert, Params() << entry.number << entry.name);
    transaction.commit();
    return AddOutcome::Added;
}

int PgStore::deleteCodeEntry(CodeTable table, const CodeEntry& entry) {
    return server_.exec(sqlFor(table).remove, Params() << entry.number << entry.name).affected();
}

std::vector<ReportRow> PgStore::reportRows(const ReportCriteria& criteria) {
    const Result rows =
        server_.exec(reportSql(criteria.daily),
                     Params() << criteria.employee << QDateTime(criteria.from, QTime(0, 0))
                              << QDateTime(criteria.to.addDays(1), QTime(0, 0)));
    std::vector<ReportRow> report;
    report.reserve(static_cast<size_t>(rows.rows()));
    for (int row = 0; row < rows.rows(); ++row) {
        ReportRow sum;
        sum.totalTime = static_cast<double>(rows.int64(row, 0)) / 86'400.0;
        sum.clientNumber = static_cast<qint32>(rows.int64(row, 1));
        sum.clientName = rows.text(row, 2);
        sum.workCode = static_cast<qint32>(rows.int64(row, 3));
        sum.workDescription = rows.text(row, 4);
        if (criteria.daily)
            sum.day = QDate::fromString(rows.text(row, 5), Qt::ISODate);
        report.push_back(std::move(sum));
    }
    return report;
}

int PgStore::countRecordsBefore(const QString& employee, const QDateTime& cutoff) {
    return static_cast<int>(
        server_
            .exec("SELECT count(*) FROM public.tblTimeSheet WHERE BeginTime < $1 AND Employee = $2",
                  Params() << cutoff << employee)
            .int64(0, 0));
}

std::optional<int> PgStore::purgeRecordsBefore(const QString& employee, const QDateTime& cutoff,
                                               int expected) {
    Transaction transaction(server_);
    const int deleted =
        server_
            .exec("DELETE FROM public.tblTimeSheet WHERE BeginTime < $1 AND Employee = $2",
                  Params() << cutoff << employee)
            .affected();
    // Someone added or removed old records since the user agreed: undo it all.
    if (deleted != expected)
        return std::nullopt;
    transaction.commit();
    return deleted;
}

void PgStore::compact() {
    if (!administrator_)
        throw DbError(SQLITE_AUTH, maintainsItself(server_.location()));
    UnboundedStatements longWork(server_);
    server_.exec("VACUUM (ANALYZE) public.tblTimeSheet, public.tblClient, public.tblWork");
}

void PgStore::backupTo(const QString& file) {
    throw DbError(SQLITE_AUTH,
                  QStringLiteral("The %1 keeps its own backups (its administrator uses pg_dump); "
                                 "nothing was written to %2.")
                      .arg(server_.location(), file));
}

CheckResult PgStore::check() {
    const Result counts =
        server_.exec("SELECT (SELECT count(*) FROM public.tblTimeSheet), (SELECT count(*) FROM "
                     "public.tblClient), (SELECT count(*) FROM public.tblWork), relrowsecurity, "
                     "EXISTS (SELECT 1 FROM pg_trigger WHERE tgrelid = pg_class.oid AND "
                     "tgname = 'hourloom_stamp_employee' AND tgenabled <> 'D') "
                     "FROM pg_class WHERE oid = 'public.tbltimesheet'::regclass");
    CheckResult result;
    result.records = counts.int64(0, 0);
    result.clients = counts.int64(0, 1);
    result.works = counts.int64(0, 2);
    if (counts.text(0, 3) != QLatin1String("t"))
        result.problems << QStringLiteral("Row-level security is off for tblTimeSheet: every "
                                          "employee can read everyone's records.");
    if (counts.text(0, 4) != QLatin1String("t"))
        result.problems << QStringLiteral("The trigger that stamps each record with its "
                                          "employee is missing or disabled.");
    return result;
}

} // namespace store::server
