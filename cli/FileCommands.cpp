// init, purge, compact, check and backup: the database file's upkeep, with
// the texts of Time and Settings.
#include "CliError.h"
#include "CliOutput.h"
#include "Commands.h"
#include "OpenStore.h"
#include "SetupRules.h"
#include "SetupTexts.h"

#include <QFileInfo>
#include <QJsonArray>
#include <cstdio>
#include <sqlite3.h>
#include <unistd.h>

using namespace setup_text;

namespace {

// How many times purge --yes counts again when others record meanwhile.
constexpr int kPurgeAttempts = 5;

// Asks on the terminal; false when no one can answer (not a terminal).
bool confirmed(CliContext& context, const QString& question) {
    if (!isatty(STDIN_FILENO))
        return false;
    context.out << terminalText(question) << " [y/N] " << Qt::flush;
    char answer[16] = {};
    if (!std::fgets(answer, sizeof answer, stdin))
        return false;
    return answer[0] == 'y' || answer[0] == 'Y';
}

} // namespace

int runInit(CliContext& context) {
    const QString path = withDatabaseExtension(context.arguments().at(0));
    store::createStore(path);
    context.out << "Created the database " << QFileInfo(path).absoluteFilePath() << ".\n";
    return kDone;
}

int runPurge(CliContext& context) {
    const std::optional<QDateTime> cutoff = purgeCutoff(context.now(), context.arguments().at(0));
    if (!cutoff)
        throw usage(QStringLiteral("DAYS \"%1\" is not a number.").arg(context.arguments().at(0)));
    store::Store& store = context.store();
    const QString employee = context.employee();
    int count = store.countRecordsBefore(employee, *cutoff);
    if (count == 0) {
        context.out << kNothingToDelete << '\n';
        return kDone;
    }
    if (!context.isSet(QStringLiteral("yes")) && !confirmed(context, deleteQuestion(count)))
        throw refused(deleteQuestion(count) +
                      QStringLiteral("\nNothing was deleted; add --yes to delete them."));
    try {
        for (int attempt = 1; attempt <= kPurgeAttempts; ++attempt) {
            // Deleted only while the number is still the one agreed to.
            if (const auto deleted = store.purgeRecordsBefore(employee, *cutoff, count)) {
                context.out << deletedMessage(*deleted) << '\n';
                return kDone;
            }
            if (!context.isSet(QStringLiteral("yes")))
                throw refused(QStringLiteral("The number of old records changed meanwhile; "
                                             "nothing was deleted."));
            count = store.countRecordsBefore(employee, *cutoff);
        }
    } catch (const store::DbError& error) {
        throw CliError(kDataError, terminalText(deleteFailed(error.message())));
    }
    throw refused(QStringLiteral("Others kept recording old records; nothing was deleted."));
}

int runCompact(CliContext& context) {
    try {
        context.store().compact();
    } catch (const store::DbError& error) {
        // A server that only its administrator compacts: a rule, not a fault.
        if (error.primaryCode() == SQLITE_AUTH)
            throw refused(error.message());
        throw CliError(kDataError, terminalText(compactFailed(error.message())));
    }
    context.out << kCompactDone << '\n';
    return kDone;
}

int runCheck(CliContext& context) {
    const store::CheckResult result = context.store().check();
    if (context.json()) {
        writeJson(context.out, QJsonObject{{QStringLiteral("ok"), result.problems.isEmpty()},
                                           {QStringLiteral("problems"),
                                            QJsonArray::fromStringList(result.problems)},
                                           {QStringLiteral("records"), result.records},
                                           {QStringLiteral("clients"), result.clients},
                                           {QStringLiteral("works"), result.works}});
    } else {
        context.out << "Integrity: "
                    << (result.problems.isEmpty() ? QStringLiteral("ok")
                                                  : result.problems.join(QLatin1Char('\n')))
                    << '\n'
                    << "Records: " << result.records << '\n'
                    << "Clients: " << result.clients << '\n'
                    << "Work codes: " << result.works << '\n';
    }
    return result.problems.isEmpty() ? kDone : kDataError;
}

int runBackup(CliContext& context) {
    const QString target = context.arguments().at(0);
    if (QFileInfo::exists(target) && !context.isSet(QStringLiteral("replace")))
        throw fileError(QStringLiteral("Cannot write the backup copy %1: the file exists (add "
                                       "--replace to replace it).")
                            .arg(target));
    context.store().backupTo(target);
    context.out << "Wrote a checked copy of " << context.store().location() << " to " << target
                << ".\n";
    return kDone;
}
