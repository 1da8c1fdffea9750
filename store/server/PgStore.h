#pragma once

#include "PgConnection.h"
#include "Store.h"

namespace store::server {

// The store on a PostgreSQL server laid out by serverInit. The server decides
// what this login may see and change (row-level security); this class only
// asks. One connection, used from one thread; a connection that is lost is
// reported by the action that found it lost, and the next action connects
// again.
class PgStore : public Store {
public:
    // Connects and checks that the database holds Hourloom tables of a
    // version this program knows. Throws DbError otherwise.
    explicit PgStore(const QString& url);

    // The name the server records this login's records under; empty for a
    // login that is not an employee (the administrator).
    const QString& employeeName() const { return employeeName_; }
    // Whether this login owns the tables: it may compact and migrate.
    bool isAdministrator() const { return administrator_; }
    // Whether this login reads every employee's records and may purge them.
    bool isLead() const { return lead_; }
    Connection& connection() { return server_; }
    std::optional<ServerLogin> serverLogin() const override;

    QString location() const override;

    void appendRecord(const ActivityRecord& record) override;
    std::vector<ActivityRecord> recentRecords(const QString& employee, const QDateTime& from,
                                              RecentOrder order,
                                              const std::optional<QDateTime>& to = {},
                                              int limit = -1) override;
    std::vector<ActivityRecord> dayRecords(const QString& employee, const QDate& day) override;
    bool hasRecordEndingAtOrAfter(const QString& employee, const QDateTime& moment) override;
    bool deleteLatestEndingSince(const QString& employee, const QDateTime& cutoff) override;
    bool deleteRecord(const QString& employee, RecordId id) override;
    void replaceRecord(const QString& employee, RecordId id,
                       const ActivityRecord& replacement) override;
    void forEachRecord(const std::function<void(const ActivityRecord&)>& visit) override;

    std::vector<CodeEntry> codeEntries(CodeTable table) override;
    std::optional<qint32> highestCode(CodeTable table) override;
    AddOutcome addCodeEntry(CodeTable table, const CodeEntry& entry) override;
    int deleteCodeEntry(CodeTable table, const CodeEntry& entry) override;

    std::vector<ReportRow> reportRows(const ReportCriteria& criteria) override;

    int countRecordsBefore(const QString& employee, const QDateTime& cutoff) override;
    std::optional<int> purgeRecordsBefore(const QString& employee, const QDateTime& cutoff,
                                          int expected) override;
    // VACUUM, for the administrator; anyone else is told that the server
    // maintains itself.
    void compact() override;
    // The server keeps its own backups: refused with a message saying so.
    void backupTo(const QString& file) override;
    CheckResult check() override;

private:
    void insertRecord(const ActivityRecord& record);

    Connection server_;
    QString employeeName_;
    bool administrator_ = false;
    bool lead_ = false;
};

} // namespace store::server
