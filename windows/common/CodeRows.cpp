#include "CodeRows.h"

#include <QStringList>

namespace {

QString fieldFrom(const QStringList& allowed, const QString& field, const QString& fallback) {
    for (const QString& name : allowed)
        if (field.trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return name;
    return fallback;
}

// Each entry as the two chosen fields: `nameField` names the text field, any
// other choice the number.
std::vector<CodeRow> rowsOf(const std::vector<store::CodeEntry>& entries, const QString& field1,
                            const QString& field2, const QString& nameField) {
    const auto text = [&](const store::CodeEntry& entry, const QString& field) {
        return field == nameField ? entry.name : QString::number(entry.number);
    };
    std::vector<CodeRow> rows;
    rows.reserve(entries.size());
    for (const store::CodeEntry& entry : entries)
        rows.push_back({text(entry, field1), text(entry, field2)});
    return rows;
}

} // namespace

QString clientFieldOr(const QString& field, const QString& fallback) {
    static const QStringList allowed{QStringLiteral("ClientName"), QStringLiteral("ClientNumber")};
    return fieldFrom(allowed, field, fallback);
}

QString workFieldOr(const QString& field, const QString& fallback) {
    static const QStringList allowed{QStringLiteral("WorkDescription"), QStringLiteral("WorkCode")};
    return fieldFrom(allowed, field, fallback);
}

std::vector<CodeRow> clientRows(store::Store& store, const QString& field1, const QString& field2) {
    const QString name = QStringLiteral("ClientName");
    return rowsOf(store.codeEntries(store::CodeTable::Client), clientFieldOr(field1, name),
                  clientFieldOr(field2, QStringLiteral("ClientNumber")), name);
}

std::vector<CodeRow> workRows(store::Store& store, const QString& field1, const QString& field2) {
    const QString name = QStringLiteral("WorkDescription");
    return rowsOf(store.codeEntries(store::CodeTable::Work), workFieldOr(field1, name),
                  workFieldOr(field2, QStringLiteral("WorkCode")), name);
}
