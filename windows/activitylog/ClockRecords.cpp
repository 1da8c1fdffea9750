#include "ClockRecords.h"

#include "DayList.h"

#include <sqlite3.h>

namespace {

[[noreturn]] void unreadable(const QString& what, const QString& text) {
    throw store::DbError(
        SQLITE_MISMATCH,
        QStringLiteral("The selected record's %1 \"%2\" could not be read.").arg(what, text));
}

QDateTime moment(const QString& text, const QString& what) {
    const std::optional<QDateTime> value = dateTimeFromGridText(text);
    if (!value)
        unreadable(what, text);
    return *value;
}

} // namespace

qint32 wholeNumberOf(const QString& text, const QString& what) {
    return store::wholeNumberOf(text, what);
}

RecordKey keyFromTexts(const SelectionTexts& t) {
    RecordKey key;
    key.beginTime = moment(t.vBeginTime, QStringLiteral("begin"));
    key.endTime = moment(t.vEndTime, QStringLiteral("end"));
    key.clientNumber = wholeNumberOf(t.vClientNumber, QStringLiteral("client number"));
    key.clientName = t.vClientName;
    key.workCode = wholeNumberOf(t.vWorkCode, QStringLiteral("work code"));
    key.workDescription = t.vWorkDescription;
    return key;
}

std::optional<store::ActivityRecord> latestBeginningEndingBetween(store::Database& db,
                                                                  const QString& employee,
                                                                  const QDateTime& from,
                                                                  const QDateTime& to) {
    std::vector<store::ActivityRecord> rows =
        store::recentRecords(db, employee, from, store::RecentOrder::BeginTimeDesc, to, 1);
    if (rows.empty())
        return std::nullopt;
    return rows.front();
}

bool deleteOneMatching(store::Database& db, const RecordKey& key, const QString& employee) {
    // rowid picks a single row among identical ones. The names are compared
    // as stored (the columns otherwise ignore letter case); the employee as
    // the day list matched it.
    store::Statement remove(db, "DELETE FROM tblTimeSheet WHERE rowid = ("
                                "SELECT rowid FROM tblTimeSheet WHERE Employee = ?1"
                                " AND BeginTime = ?2 AND EndTime = ?3"
                                " AND ClientNumber = ?4 AND ClientName = ?5 COLLATE BINARY"
                                " AND WorkCode = ?6 AND WorkDescription = ?7 COLLATE BINARY"
                                " LIMIT 1)");
    remove.bind(1, employee)
        .bind(2, key.beginTime)
        .bind(3, key.endTime)
        .bind(4, key.clientNumber)
        .bind(5, key.clientName)
        .bind(6, key.workCode)
        .bind(7, key.workDescription);
    remove.run();
    return db.changes() > 0;
}

bool deleteSelectedRecord(store::Database& db, const RecordKey& key, const QString& employee) {
    return store::writeTransaction(db, [&] { return deleteOneMatching(db, key, employee); });
}

void replaceRecord(store::Database& db, const RecordKey& key, const QString& employee,
                   store::ActivityRecord replacement, const QDateTime& now) {
    replacement.date = QDateTime(now.date(), QTime(0, 0));
    store::writeTransaction(db, [&] {
        deleteOneMatching(db, key, employee);
        store::insertRecord(db, replacement);
    });
}
