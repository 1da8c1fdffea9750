#pragma once

// Builders and checks shared by the store tests and by the copies of the test
// programs that they start as other processes.
#include "Backup.h"
#include "Database.h"
#include "Maintenance.h"
#include "Records.h"
#include "Schema.h"

#include <QFile>
#include <set>

namespace testing {

inline QDateTime at(int year, int month, int day, int hour, int minute = 0, int second = 0) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second));
}

inline store::ActivityRecord record(const QString& employee, const QDateTime& begin,
                                    const QDateTime& end, const QString& client = "Acme",
                                    const QString& work = "Design") {
    return {end, begin, end, 7, client, 3, work, employee};
}

// Record `id` of the multi-process runs: 20 seconds, one every 30 seconds of
// 5 January 2026, its number repeated in its text fields so that a record
// written in part shows.
inline store::ActivityRecord numbered(int id, const QString& employee = "Pat") {
    const QDateTime begin = at(2026, 1, 5, 0, 0).addSecs(30LL * id);
    return {begin.addSecs(20),
            begin,
            begin.addSecs(20),
            id,
            QStringLiteral("Client %1").arg(id),
            id,
            QStringLiteral("Work %1").arg(id),
            employee};
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

// The numbers of the numbered records in the file; one whose fields disagree
// with its number, or a second one of a number, shows as a negative number.
inline std::set<int> storedIds(store::Database& db) {
    std::set<int> ids;
    store::Statement rows(db, "SELECT ClientNumber, ClientName, WorkDescription FROM tblTimeSheet");
    while (rows.step()) {
        const int id = static_cast<int>(rows.int64(0));
        const bool whole = rows.text(1) == QStringLiteral("Client %1").arg(id) &&
                           rows.text(2) == QStringLiteral("Work %1").arg(id);
        ids.insert(whole && !ids.count(id) ? id : -1 - id);
    }
    return ids;
}

inline QByteArray idText(const std::set<int>& ids) {
    QByteArrayList parts;
    for (int id : ids)
        parts << QByteArray::number(id);
    return parts.join(' ');
}

inline std::set<int> idsFrom(const QByteArray& text) {
    std::set<int> ids;
    for (const QByteArray& id : text.split(' '))
        if (!id.isEmpty())
            ids.insert(id.toInt());
    return ids;
}

inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace testing
