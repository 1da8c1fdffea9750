// clients and works: the list windows' rules (the proposed number, a number
// or name already taken, adding, deleting) on the command line.
#include "CliError.h"
#include "CliOutput.h"
#include "CodeListConfig.h"
#include "CodeListRules.h"
#include "Commands.h"

#include <QJsonArray>

namespace {

// "client list" or "work codes", as the delete question names the lists.
QString listName(const CodeListConfig& config) {
    return config.deleteSuffix.mid(QStringLiteral(" from ").size()).chopped(1);
}

int list(CliContext& context, const CodeListConfig& config) {
    const std::vector<store::CodeEntry> entries = context.store().codeEntries(config.table);
    if (context.json()) {
        QJsonArray out;
        for (const store::CodeEntry& entry : entries)
            out.append(QJsonObject{{QStringLiteral("number"), entry.number},
                                   {QStringLiteral("name"), entry.name}});
        writeJson(context.out, out);
        return kDone;
    }
    std::vector<QStringList> rows;
    for (const store::CodeEntry& entry : entries)
        rows.push_back({QString::number(entry.number), entry.name});
    context.out << tableText({config.numberLabel, config.descLabel}, rows);
    return kDone;
}

int add(CliContext& context, const CodeListConfig& config) {
    const QStringList& args = context.arguments();
    if (args.size() < 2 || args.size() > 3)
        throw usage(QStringLiteral("%1 add takes NAME and, if wanted, NUMBER.")
                        .arg(config.table == store::CodeTable::Client ? "clients" : "works"));
    store::Store& store = context.store();
    const QString name = args.at(1);
    const QString numberText =
        args.size() == 3 ? args.at(2) : proposedNumber(store.highestCode(config.table));
    if (numberText.isEmpty())
        throw refused(QStringLiteral("No number is left above the highest one: give NUMBER."));
    const std::optional<qint32> number = parseCodeNumber(numberText);
    if (!number)
        throw refused(config.numericMessage);
    switch (store.addCodeEntry(config.table, {*number, name})) {
    case store::AddOutcome::NumberTaken:
        throw refused(QStringLiteral("%1 %2 is already in the %3; nothing was added.")
                          .arg(config.numberLabel, numberText, listName(config)));
    case store::AddOutcome::NameTaken:
        throw refused(QStringLiteral("%1 \"%2\" is already in the %3; nothing was added.")
                          .arg(config.descLabel, name, listName(config)));
    case store::AddOutcome::Added:
        break;
    }
    if (context.json())
        writeJson(context.out,
                  QJsonObject{{QStringLiteral("number"), *number}, {QStringLiteral("name"), name}});
    else
        context.out << "Added " << name << ' ' << *number << " to the " << listName(config)
                    << ".\n";
    return kDone;
}

int remove(CliContext& context, const CodeListConfig& config) {
    const QStringList& args = context.arguments();
    if (args.size() != 2)
        throw usage(QStringLiteral("delete takes the NUMBER of the entry."));
    const std::optional<qint32> number = parseCodeNumber(args.at(1));
    if (!number)
        throw refused(config.numericMessage);
    store::Store& store = context.store();
    for (const store::CodeEntry& entry : store.codeEntries(config.table)) {
        if (entry.number != *number)
            continue;
        store.deleteCodeEntry(config.table, entry);
        context.out << "Deleted " << entry.name << ' ' << entry.number << " from the "
                    << listName(config) << ".\n";
        return kDone;
    }
    throw refused(QStringLiteral("%1 %2 is not in the %3; nothing was deleted.")
                      .arg(config.numberLabel, args.at(1), listName(config)));
}

int runCodeList(CliContext& context, const CodeListConfig& config) {
    const QString action = context.arguments().at(0);
    if (action == QLatin1String("list") && context.arguments().size() == 1)
        return list(context, config);
    if (action == QLatin1String("add"))
        return add(context, config);
    if (action == QLatin1String("delete"))
        return remove(context, config);
    throw usage(QStringLiteral("Unknown action \"%1\": use list, add NAME [NUMBER] or delete "
                               "NUMBER.")
                    .arg(context.arguments().join(QLatin1Char(' '))));
}

} // namespace

int runClients(CliContext& context) {
    return runCodeList(context, clientListConfig());
}

int runWorks(CliContext& context) {
    return runCodeList(context, workListConfig());
}
