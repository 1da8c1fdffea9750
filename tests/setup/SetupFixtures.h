#pragma once

#include "Database.h"
#include "Records.h"

// `count` records of `employee`, one a day going back from `newest`.
inline void addDaily(store::Database& db, const QString& employee, const QDateTime& newest,
                     int count) {
    store::writeTransaction(db, [&](store::Transaction& transaction) {
        for (int i = 0; i < count; ++i) {
            const QDateTime begin = newest.addDays(-i);
            store::insertRecord(transaction,
                                {begin, begin, begin.addSecs(1800), i + 1,
                                 QStringLiteral("Client %1").arg(i + 1), 7, "Design", employee});
        }
    });
}

// "count:every row" of the employee's (or everyone's) records in a fixed order.
inline QString rows(store::Database& db, const QString& employee = "%") {
    store::Statement all(db, "SELECT count(*) || ':' || ifnull(group_concat(r, ','), '') FROM "
                             "(SELECT Date || BeginTime || EndTime || ClientNumber || ClientName "
                             "|| WorkCode || WorkDescription || Employee AS r FROM tblTimeSheet "
                             "WHERE Employee LIKE ? ORDER BY BeginTime, Employee, ClientNumber)");
    all.bind(1, employee).step();
    return all.text(0);
}

inline int count(store::Database& db, const QString& employee = "%") {
    return rows(db, employee).section(':', 0, 0).toInt();
}
