#pragma once

#include "Records.h"

#include <QDateTime>

// One activity record of `employee` for the report tests.
inline void addSpan(store::Database& db, const QDateTime& begin, const QDateTime& end,
                    qint32 clientNumber, const QString& client, qint32 workCode,
                    const QString& work, const QString& employee = QStringLiteral("Ann")) {
    store::ActivityRecord r;
    r.date = end;
    r.beginTime = begin;
    r.endTime = end;
    r.clientNumber = clientNumber;
    r.clientName = client;
    r.workCode = workCode;
    r.workDescription = work;
    r.employee = employee;
    store::appendRecord(db, r);
}

inline QDateTime at(int y, int m, int d, int h = 0, int min = 0) {
    return QDateTime(QDate(y, m, d), QTime(h, min));
}
