#include "FileStore.h"

#include "Backup.h"
#include "CodeTables.h"
#include "Maintenance.h"
#include "RecordEdits.h"
#include "Records.h"
#include "ReportSums.h"

namespace store {

FileStore::FileStore(Database db)
    : db_(std::move(db)) {
    ensureReportIndex(db_);
}

QString FileStore::location() const {
    return db_.path();
}

void FileStore::appendRecord(const ActivityRecord& record) {
    store::appendRecord(db_, record);
}

std::vector<ActivityRecord> FileStore::recentRecords(const QString& employee, const QDateTime& from,
                                                     RecentOrder order,
                                                     const std::optional<QDateTime>& to,
                                                     int limit) {
    return store::recentRecords(db_, employee, from, order, to, limit);
}

std::vector<ActivityRecord> FileStore::dayRecords(const QString& employee, const QDate& day) {
    return store::dayRecords(db_, employee, day);
}

bool FileStore::hasRecordEndingAtOrAfter(const QString& employee, const QDateTime& moment) {
    return store::hasRecordEndingAtOrAfter(db_, employee, moment);
}

bool FileStore::deleteLatestEndingSince(const QString& employee, const QDateTime& cutoff) {
    return store::deleteLatestEndingSince(db_, employee, cutoff);
}

bool FileStore::deleteRecord(const QString& employee, RecordId id) {
    return store::deleteRecord(db_, employee, id);
}

void FileStore::replaceRecord(const QString& employee, RecordId id,
                              const ActivityRecord& replacement) {
    store::replaceRecord(db_, employee, id, replacement);
}

void FileStore::forEachRecord(const std::function<void(const ActivityRecord&)>& visit) {
    store::forEachRecord(db_, visit);
}

std::vector<CodeEntry> FileStore::codeEntries(CodeTable table) {
    return store::codeEntries(db_, table);
}

std::optional<qint32> FileStore::highestCode(CodeTable table) {
    return store::highestCode(db_, table);
}

AddOutcome FileStore::addCodeEntry(CodeTable table, const CodeEntry& entry) {
    return store::addCodeEntry(db_, table, entry);
}

int FileStore::deleteCodeEntry(CodeTable table, const CodeEntry& entry) {
    return store::deleteCodeEntry(db_, table, entry);
}

std::vector<ReportRow> FileStore::reportRows(const ReportCriteria& criteria) {
    return store::reportRows(db_, criteria);
}

int FileStore::countRecordsBefore(const QString& employee, const QDateTime& cutoff) {
    return store::countRecordsBefore(db_, employee, cutoff);
}

std::optional<int> FileStore::purgeRecordsBefore(const QString& employee, const QDateTime& cutoff,
                                                 int expected) {
    return store::purgeRecordsBefore(db_, employee, cutoff, expected);
}

void FileStore::compact() {
    compactDatabase(db_);
}

void FileStore::backupTo(const QString& file) {
    backupDatabaseTo(db_, file);
}

CheckResult FileStore::check() {
    return checkDatabase(db_);
}

} // namespace store
