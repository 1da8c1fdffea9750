#pragma once

#include "Database.h"
#include "Records.h"
#include "Schema.h"

#include <QDateTime>
#include <QString>

// Small builders shared by the store tests.
namespace testing {

inline QDateTime at(int year, int month, int day, int hour, int minute, int second = 0) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second));
}

inline store::ActivityRecord record(const QString& employee, const QDateTime& begin,
                                    const QDateTime& end, const QString& client = "Acme",
                                    const QString& work = "Design") {
    store::ActivityRecord r;
    r.date = end;
    r.beginTime = begin;
    r.endTime = end;
    r.clientNumber = 7;
    r.clientName = client;
    r.workCode = 3;
    r.workDescription = work;
    r.employee = employee;
    return r;
}

inline qint64 rowCount(store::Database& db, const char* sql = "SELECT count(*) FROM tblTimeSheet") {
    store::Statement count(db, sql);
    count.step();
    return count.int64(0);
}

} // namespace testing
