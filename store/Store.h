#pragma once

#include "ActivityRecord.h"
#include "DbError.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace store {

// The two code tables: tblClient (ClientNumber, ClientName) and tblWork
// (WorkCode, WorkDescription). Both have the same shape, so one set of
// operations serves both.
enum class CodeTable { Client, Work };

struct CodeEntry {
    qint32 number = 0;
    QString name;
    bool operator==(const CodeEntry&) const = default;
};

enum class AddOutcome { Added, NumberTaken, NameTaken };

enum class RecentOrder { BeginTimeDesc, EndTimeDesc };

// What a report sums: the employee's records that begin within a range of days,
// either per client and work code or per day, client and work code.
struct ReportCriteria {
    QDate from; // first day
    QDate to;   // last day, inclusive
    bool daily = false;
    QString employee;
};

// One sum of a report.
struct ReportRow {
    double totalTime = 0; // days (1/24 is an hour)
    QDate day;            // daily reports only
    qint32 clientNumber = 0;
    QString clientName;
    qint32 workCode = 0;
    QString workDescription;
    bool operator==(const ReportRow&) const = default;
};

// What `check` finds.
struct CheckResult {
    QStringList problems; // empty when the store is sound
    qint64 records = 0;
    qint64 clients = 0;
    qint64 works = 0;
};

// Everything the windows, the rules and the command line ask of the stored
// data. The encrypted file and the PostgreSQL server each implement it; every
// value goes in through bound parameters, every change that touches more than
// one row is one transaction, and every failure is a DbError carrying the
// engine's or the server's reason. Employee names compare without regard to
// case, as do client and work names.
class Store {
public:
    virtual ~Store() = default;

    // The file's path, or the server and database, for messages.
    virtual QString location() const = 0;

    // Who a server knows this login as; a file knows nobody, and the
    // employee is whoever the settings name.
    struct ServerLogin {
        QString employee;           // the name its records carry; empty for
        bool administrator = false; // the administrator, who owns the tables
        bool lead = false;          // reads and purges everyone's records
    };
    virtual std::optional<ServerLogin> serverLogin() const { return std::nullopt; }

    // --- activity records -------------------------------------------------
    // Appends one record as given (Date included) in a transaction of its own.
    virtual void appendRecord(const ActivityRecord& record) = 0;

    // The employee's records with EndTime >= `from` (and, when given,
    // EndTime <= `to`), newest first by the chosen time; at most `limit`
    // records when limit >= 0.
    virtual std::vector<ActivityRecord> recentRecords(const QString& employee,
                                                      const QDateTime& from, RecentOrder order,
                                                      const std::optional<QDateTime>& to = {},
                                                      int limit = -1) = 0;

    // The employee's records that end, or begin, between midnight and
    // 11:59 PM of `day`, by BeginTime ascending.
    virtual std::vector<ActivityRecord> dayRecords(const QString& employee, const QDate& day) = 0;

    // Whether the employee has any record ending at or after `moment`.
    virtual bool hasRecordEndingAtOrAfter(const QString& employee, const QDateTime& moment) = 0;

    // Deletes the employee's record with the latest EndTime when that is at or
    // after `cutoff`. Returns whether one went.
    virtual bool deleteLatestEndingSince(const QString& employee, const QDateTime& cutoff) = 0;

    // Deletes the employee's record `id`; false when it is no longer there.
    virtual bool deleteRecord(const QString& employee, RecordId id) = 0;

    // Deletes the employee's record `id` and appends `replacement` as one
    // transaction: when the append fails, the old record stays.
    virtual void replaceRecord(const QString& employee, RecordId id,
                               const ActivityRecord& replacement) = 0;

    // Hands every record this store lets the caller see to `visit`, one at a
    // time, by key (moving a file's records to a server, copies).
    virtual void forEachRecord(const std::function<void(const ActivityRecord&)>& visit) = 0;

    // --- code lists -------------------------------------------------------
    // Every entry, by number ascending.
    virtual std::vector<CodeEntry> codeEntries(CodeTable table) = 0;
    // The highest number in the table, or nothing when it is empty.
    virtual std::optional<qint32> highestCode(CodeTable table) = 0;
    // Adds the entry unless its number or its name is taken; check and insert
    // are one transaction.
    virtual AddOutcome addCodeEntry(CodeTable table, const CodeEntry& entry) = 0;
    // Deletes the entries with exactly this number and name; how many went.
    virtual int deleteCodeEntry(CodeTable table, const CodeEntry& entry) = 0;

    // --- reports ----------------------------------------------------------
    // The sums, ordered by client name and work description (daily: by day
    // first). A record belongs to the range by its BeginTime alone, from 00:00
    // of the first day up to and including 00:00 of the day after the last.
    virtual std::vector<ReportRow> reportRows(const ReportCriteria& criteria) = 0;

    // --- maintenance ------------------------------------------------------
    // How many of the employee's records began before `cutoff`.
    virtual int countRecordsBefore(const QString& employee, const QDateTime& cutoff) = 0;
    // Deletes them when their number is still `expected`; the number deleted,
    // or nothing (and nothing deleted) when it changed meanwhile.
    virtual std::optional<int> purgeRecordsBefore(const QString& employee, const QDateTime& cutoff,
                                                  int expected) = 0;
    // Gives back the space of deleted rows.
    virtual void compact() = 0;
    // Writes a consistent copy to `file` while others may write.
    virtual void backupTo(const QString& file) = 0;
    // Integrity and counts.
    virtual CheckResult check() = 0;
};

} // namespace store
