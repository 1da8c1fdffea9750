#include "CodeTables.h"

#include "Records.h"

namespace store {

namespace {

struct TableSql {
    const char* list;
    const char* highest;
    const char* numberLookup;
    const char* nameLookup;
    const char* insert;
    const char* remove;
    const char* nameField; // for messages
};

const TableSql kClientSql{
    "SELECT ClientNumber, ClientName FROM tblClient ORDER BY ClientNumber ASC",
    "SELECT max(ClientNumber) FROM tblClient",
    "SELECT 1 FROM tblClient WHERE ClientNumber = ? LIMIT 1",
    "SELECT 1 FROM tblClient WHERE ClientName = ? LIMIT 1",
    "INSERT INTO tblClient (ClientNumber, ClientName) VALUES (?, ?)",
    "DELETE FROM tblClient WHERE ClientNumber = ? AND ClientName = ?",
    "The client name",
};

const TableSql kWorkSql{
    "SELECT WorkCode, WorkDescription FROM tblWork ORDER BY WorkCode ASC",
    "SELECT max(WorkCode) FROM tblWork",
    "SELECT 1 FROM tblWork WHERE WorkCode = ? LIMIT 1",
    "SELECT 1 FROM tblWork WHERE WorkDescription = ? LIMIT 1",
    "INSERT INTO tblWork (WorkCode, WorkDescription) VALUES (?, ?)",
    "DELETE FROM tblWork WHERE WorkCode = ? AND WorkDescription = ?",
    "The work description",
};

const TableSql& sqlFor(CodeTable table) {
    return table == CodeTable::Client ? kClientSql : kWorkSql;
}

} // namespace

std::vector<CodeEntry> codeEntries(Database& db, CodeTable table) {
    Statement list(db, sqlFor(table).list);
    // Read again from the first row when another copy holds the file too long.
    return retryWhileBusy([&] {
        std::vector<CodeEntry> entries;
        while (list.step())
            entries.push_back({static_cast<qint32>(list.int64(0)), list.text(1)});
        return entries;
    });
}

std::optional<qint32> highestCode(Database& db, CodeTable table) {
    Statement top(db, sqlFor(table).highest);
    return retryWhileBusy([&]() -> std::optional<qint32> {
        if (!top.step() || top.isNull(0))
            return std::nullopt;
        return static_cast<qint32>(top.int64(0));
    });
}

AddOutcome addCodeEntry(Database& db, CodeTable table, const CodeEntry& entry) {
    const TableSql& sql = sqlFor(table);
    requireStorableText(QString::fromLatin1(sql.nameField), entry.name);
    return writeTransaction(db, [&] {
        Statement byNumber(db, sql.numberLookup);
        byNumber.bind(1, entry.number);
        if (byNumber.step())
            return AddOutcome::NumberTaken;
        Statement byName(db, sql.nameLookup);
        byName.bind(1, entry.name);
        if (byName.step())
            return AddOutcome::NameTaken;
        Statement insert(db, sql.insert);
        insert.bind(1, entry.number).bind(2, entry.name);
        insert.run();
        return AddOutcome::Added;
    });
}

int deleteCodeEntry(Database& db, CodeTable table, const CodeEntry& entry) {
    return writeTransaction(db, [&] {
        Statement remove(db, sqlFor(table).remove);
        remove.bind(1, entry.number).bind(2, entry.name);
        remove.run();
        return db.changes();
    });
}

} // namespace store
