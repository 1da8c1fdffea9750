#pragma once

// Builders and checks shared by the store tests.
#include "Backup.h"
#include "Database.h"
#include "FileProbes.h"
#include "Maintenance.h"
#include "Records.h"
#include "Schema.h"

namespace testing {

inline QDateTime at(int month, int day, int hour, int minute = 0, int second = 0) {
    return QDateTime(QDate(2026, month, day), QTime(hour, minute, second));
}

// Acme is client 7 and Design work code 3 in any case; other names are 8 and 4.
inline store::ActivityRecord record(const QString& employee, const QDateTime& begin,
                                    const QDateTime& end, const QString& client = "Acme",
                                    const QString& work = "Design") {
    const bool acme = client.compare("Acme", Qt::CaseInsensitive) == 0;
    const bool design = work.compare("Design", Qt::CaseInsensitive) == 0;
    return {end, begin, end, acme ? 7 : 8, client, design ? 3 : 4, work, employee};
}

inline qint64 rowCount(store::Database& db, const char* sql = "SELECT count(*) FROM tblTimeSheet") {
    store::Statement count(db, sql);
    count.step();
    return count.int64(0);
}

inline QString integrity(store::Database& db) {
    store::Statement check(db, "PRAGMA integrity_check");
    check.step();
    return check.text(0);
}

} // namespace testing
