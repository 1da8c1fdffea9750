#pragma once

#include "Records.h"

inline QDateTime at(int y, int m, int d, int h = 0, int min = 0) {
    return QDateTime(QDate(y, m, d), QTime(h, min));
}

// One record of `employee`, begun and ended at the given moments.
inline void addSpan(store::Database& db, const QDateTime& begin, const QDateTime& end,
                    qint32 number, const QString& client, qint32 code, const QString& work,
                    const QString& employee = "Ann") {
    store::appendRecord(db, {end, begin, end, number, client, code, work, employee});
}
