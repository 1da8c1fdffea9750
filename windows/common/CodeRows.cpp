#include "CodeRows.h"

#include "SavedLayout.h"

namespace {

std::vector<CodeRow> rowsOf(store::Database& db, const QString& field1, const QString& field2,
                            const char* table, const char* order) {
    const QByteArray sql = "SELECT " + field1.toLatin1() + ", " + field2.toLatin1() + " FROM " +
                           table + " ORDER BY " + order + " ASC";
    store::Statement query(db, sql.constData());
    std::vector<CodeRow> rows;
    while (query.step())
        rows.push_back({query.text(0), query.text(1)});
    return rows;
}

} // namespace

std::vector<CodeRow> clientRows(store::Database& db, const QString& field1, const QString& field2) {
    return rowsOf(db, clientFieldOr(field1, QStringLiteral("ClientName")),
                  clientFieldOr(field2, QStringLiteral("ClientNumber")), "tblClient",
                  "ClientNumber");
}

std::vector<CodeRow> workRows(store::Database& db, const QString& field1, const QString& field2) {
    return rowsOf(db, workFieldOr(field1, QStringLiteral("WorkDescription")),
                  workFieldOr(field2, QStringLiteral("WorkCode")), "tblWork", "WorkCode");
}
