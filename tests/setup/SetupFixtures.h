#pragma once

#include "Database.h"
#include "Records.h"

#include <QCryptographicHash>
#include <QFile>

// Records and file checks the setup tests share.
namespace fixtures {

inline store::ActivityRecord record(const QString& employee, const QDateTime& begin,
                                    int number = 1) {
    store::ActivityRecord r;
    r.date = begin;
    r.beginTime = begin;
    r.endTime = begin.addSecs(30 * 60);
    r.clientNumber = number;
    r.clientName = QStringLiteral("Client %1").arg(number);
    r.workCode = 7;
    r.workDescription = QStringLiteral("Design");
    r.employee = employee;
    return r;
}

// `count` records of `employee`, one a day going back from `newest`.
inline void addDaily(store::Database& db, const QString& employee, const QDateTime& newest,
                     int count) {
    store::writeTransaction(db, [&] {
        for (int i = 0; i < count; ++i)
            store::insertRecord(db, record(employee, newest.addDays(-i), i + 1));
    });
}

inline int rowCount(store::Database& db) {
    store::Statement count(db, "SELECT count(*) FROM tblTimeSheet");
    count.step();
    return static_cast<int>(count.int64(0));
}

inline int rowCountOf(store::Database& db, const QString& employee) {
    store::Statement count(db, "SELECT count(*) FROM tblTimeSheet WHERE Employee = ?");
    count.bind(1, employee);
    count.step();
    return static_cast<int>(count.int64(0));
}

// A digest of every row in a fixed order, to prove that no row changed.
inline QByteArray rowsDigest(store::Database& db) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    store::Statement rows(db, "SELECT Date, BeginTime, EndTime, ClientNumber, ClientName, "
                              "WorkCode, WorkDescription, Employee FROM tblTimeSheet "
                              "ORDER BY BeginTime, Employee, ClientNumber");
    while (rows.step()) {
        for (int column = 0; column < 8; ++column)
            hash.addData(rows.text(column).toUtf8().append('\x1f'));
        hash.addData(QByteArrayView("\x1e"));
    }
    return hash.result();
}

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

} // namespace fixtures
