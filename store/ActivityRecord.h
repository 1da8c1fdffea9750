#pragma once

#include <QDateTime>
#include <QString>

namespace store {

// Identifies one stored activity record for as long as it exists: the file's
// rowid, or the server's own row key. The windows and the command line find a
// record by it, never by reading back the texts a grid shows.
using RecordId = qint64;

// One row of tblTimeSheet.
struct ActivityRecord {
    QDateTime date; // when the record was made
    QDateTime beginTime;
    QDateTime endTime;
    qint32 clientNumber = 0;
    QString clientName;
    qint32 workCode = 0;
    QString workDescription;
    QString employee;
    // The key it is stored under; 0 for a record not read from the store.
    RecordId id = 0;

    // Span in days (1/24 is an hour), as the windows and reports compute it.
    double days() const;
    // Equal when every stored field is equal; the key is not a field.
    bool operator==(const ActivityRecord& other) const;
};

// Wall-clock span from `from` to `to` in days.
double daysBetween(const QDateTime& from, const QDateTime& to);

} // namespace store
