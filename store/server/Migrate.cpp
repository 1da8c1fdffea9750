#include "Migrate.h"

#include "Database.h"
#include "PgStore.h"

#include <map>
#include <sqlite3.h>

namespace store::server {

namespace {

struct Totals {
    qint64 records = 0;
    qint64 seconds = 0;
    bool operator==(const Totals&) const = default;
};

// A record's span in whole seconds of wall-clock time, as the server sums it.
qint64 secondsOf(const ActivityRecord& r) {
    if (!r.beginTime.isValid() || !r.endTime.isValid())
        return 0;
    return r.beginTime.date().daysTo(r.endTime.date()) * 86'400 +
           (r.endTime.time().msecsSinceStartOfDay() - r.beginTime.time().msecsSinceStartOfDay()) /
               1000;
}

// One value in COPY's text format: tab, newline, carriage return and
// backslash escaped, an invalid date as NULL.
void appendCopyText(QByteArray& rows, const QString& text) {
    for (const char c : text.toUtf8()) {
        switch (c) {
        case '\\':
            rows += "\\\\";
            break;
        case '\t':
            rows += "\\t";
            break;
        case '\n':
            rows += "\\n";
            break;
        case '\r':
            rows += "\\r";
            break;
        default:
            rows += c;
        }
    }
}

void appendCopyRow(QByteArray& rows, const ActivityRecord& r) {
    for (const QDateTime& moment : {r.date, r.beginTime, r.endTime}) {
        rows += moment.isValid() ? toStoredText(moment).toLatin1() : QByteArray("\\N");
        rows += '\t';
    }
    rows += QByteArray::number(r.clientNumber) + '\t';
    appendCopyText(rows, r.clientName);
    rows += '\t' + QByteArray::number(r.workCode) + '\t';
    appendCopyText(rows, r.workDescription);
    rows += '\t';
    appendCopyText(rows, r.employee);
    rows += '\n';
}

qint64 addMissingEntries(Connection& server, const std::vector<CodeEntry>& entries,
                         const char* insert) {
    qint64 added = 0;
    for (const CodeEntry& entry : entries)
        added += server.exec(insert, Params() << entry.number << entry.name).affected();
    return added;
}

} // namespace

MigrationSummary migrateFile(Store& file, const QString& url) {
    // Read the whole file first: the server's transaction then lasts only as
    // long as the server's own work.
    const std::vector<CodeEntry> clients = file.codeEntries(CodeTable::Client);
    const std::vector<CodeEntry> works = file.codeEntries(CodeTable::Work);
    std::map<QString, Totals> fromFile;
    QByteArray rows;
    qint64 records = 0;
    file.forEachRecord([&](const ActivityRecord& r) {
        appendCopyRow(rows, r);
        Totals& totals = fromFile[r.employee];
        ++totals.records;
        totals.seconds += secondsOf(r);
        ++records;
    });

    PgStore target(url);
    if (!target.isAdministrator())
        throw DbError(SQLITE_AUTH,
                      QStringLiteral("Only the administrator who laid down the tables (server "
                                     "init) can move a file onto the %1.")
                          .arg(target.location()));
    Connection& server = target.connection();
    UnboundedStatements longWork(server);
    Transaction transaction(server);
    server.exec("LOCK TABLE public.tblTimeSheet, public.tblClient, public.tblWork "
                "IN EXCLUSIVE MODE");
    const qint64 present = server.exec("SELECT count(*) FROM public.tblTimeSheet").int64(0, 0);
    if (present > 0)
        throw DbError(SQLITE_CONSTRAINT,
                      QStringLiteral("The %1 already holds %2 records; a file is moved only onto "
                                     "a server without records. Nothing was copied.")
                          .arg(target.location())
                          .arg(present));

    MigrationSummary summary;
    summary.clients = addMissingEntries(
        server, clients,
        "INSERT INTO public.tblClient (ClientNumber, ClientName) SELECT $1::integer, $2 "
        "WHERE NOT EXISTS (SELECT 1 FROM public.tblClient WHERE ClientNumber = $1 AND "
        "ClientName = $2)");
    summary.works = addMissingEntries(
        server, works,
        "INSERT INTO public.tblWork (WorkCode, WorkDescription) SELECT $1::integer, $2 "
        "WHERE NOT EXISTS (SELECT 1 FROM public.tblWork WHERE WorkCode = $1 AND "
        "WorkDescription = $2)");
    server.copyIn("COPY public.tblTimeSheet (Date, BeginTime, EndTime, ClientNumber, ClientName, "
                  "WorkCode, WorkDescription, Employee) FROM STDIN",
                  rows);

    const Result sums = server.exec(
        "SELECT Employee::text, count(*), extract(epoch FROM sum(EndTime - BeginTime))::bigint "
        "FROM public.tblTimeSheet GROUP BY Employee::text");
    std::map<QString, Totals> onServer;
    for (int row = 0; row < sums.rows(); ++row)
        onServer[sums.text(row, 0)] = {sums.int64(row, 1), sums.int64(row, 2)};
    if (onServer != fromFile) {
        for (const auto& [employee, totals] : fromFile) {
            const Totals there = onServer.count(employee) ? onServer[employee] : Totals{};
            if (there != totals)
                throw DbError(SQLITE_MISMATCH,
                              QStringLiteral("The copy on the %1 does not match the file for "
                                             "\"%2\": %3 records of %4 seconds in the file, %5 "
                                             "of %6 on the server. Nothing was copied.")
                                  .arg(target.location(), employee)
                                  .arg(totals.records)
                                  .arg(totals.seconds)
                                  .arg(there.records)
                                  .arg(there.seconds));
        }
        throw DbError(SQLITE_MISMATCH,
                      QStringLiteral("The copy on the %1 holds records of employees the file "
                                     "does not have. Nothing was copied.")
                          .arg(target.location()));
    }
    transaction.commit();
    summary.records = records;
    summary.employees = static_cast<int>(fromFile.size());
    return summary;
}

} // namespace store::server
