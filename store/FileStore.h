#pragma once

#include "Database.h"
#include "Store.h"

namespace store {

// The store on an encrypted database file: every operation runs on the one
// open connection through the file's own record, code-table, report and
// maintenance functions.
class FileStore : public Store {
public:
    // Adds the report index when the file lacks it (see ensureReportIndex).
    explicit FileStore(Database db);

    // The connection, for what only a file has (tests, the e2e fixtures).
    Database& database() { return db_; }

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
    void compact() override;
    void backupTo(const QString& file) override;
    CheckResult check() override;

private:
    Database db_;
};

} // namespace store
