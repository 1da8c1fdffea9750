// hourloom-cli: the command-line companion. It works on the same database
// file as the windowed program, beside running copies of it, with the same
// rules and texts. Exit status: 0 done, 1 refused by a rule, 2 usage,
// 3 database or file error.
#include "CliError.h"
#include "Commands.h"
#include "DbError.h"
#include "KeyCache.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStandardPaths>
#include <QTextStream>
#include <cstdio>

namespace {

const QString kProgram = QStringLiteral("hourloom-cli");

QString generalHelp() {
    QString text = QStringLiteral("Usage: %1 [--database FILE|URL] [--employee NAME] [--json] "
                                  "COMMAND [ARGUMENTS]\n\n"
                                  "Hourloom's records, reports and code lists at a terminal.\n\n"
                                  "Commands:\n")
                       .arg(kProgram);
    for (const Command& command : commands())
        text += QStringLiteral("  ") +
                QStringLiteral("%1 %2").arg(command.name, command.synopsis).trimmed() +
                QLatin1Char('\n');
    text += QStringLiteral("\nOptions:\n"
                           "  --database FILE|URL  the database file, or a server as "
                           "postgresql://HOST/DATABASE\n"
                           "                       (default: the one Hourloom uses)\n"
                           "  --employee NAME      whose records (default: your login's name on "
                           "a server,\n"
                           "                       else the employee of Time and Settings)\n"
                           "  --json               data as JSON\n"
                           "  -h, --help           this help; COMMAND --help for one command\n"
                           "  -v, --version        the version\n\n"
                           "Exit status: 0 done, 1 refused by a rule, 2 usage, 3 database or "
                           "file error.\n"
                           "See hourloom-cli(1).\n");
    return text;
}

QString commandHelp(const Command& command, const QCommandLineParser& parser) {
    QString options = parser.helpText();
    // Qt's text starts with its own usage line; ours names the command.
    options = options.mid(options.indexOf(QStringLiteral("\n\n")) + 2);
    if (!options.endsWith(QLatin1Char('\n')))
        options += QLatin1Char('\n');
    const QString usageLine =
        QStringLiteral("%1 [options] %2 %3").arg(kProgram, command.name, command.synopsis);
    return QStringLiteral("Usage: ") + usageLine.trimmed() + QStringLiteral("\n\n") +
           command.description + QStringLiteral("\n\n") + options;
}

void addHelpAndVersion(QCommandLineParser& parser) {
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("This help.")});
    parser.addOption(
        {{QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("The version.")});
}

int run(const QStringList& arguments, QTextStream& out) {
    // First pass: the global options and the command's name; everything after
    // the name belongs to the command.
    QCommandLineParser first;
    first.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    first.addOptions(globalOptions());
    addHelpAndVersion(first);
    if (!first.parse(arguments))
        throw usage(first.errorText());
    if (first.isSet(QStringLiteral("version"))) {
        out << kProgram << ' ' << HOURLOOM_VERSION << '\n';
        return kDone;
    }
    if (first.positionalArguments().isEmpty()) {
        if (!first.isSet(QStringLiteral("help")))
            throw usage(QStringLiteral("No command given.\n\n") + generalHelp());
        out << generalHelp();
        return kDone;
    }
    const QString name = first.positionalArguments().constFirst();
    const Command* command = findCommand(name);
    if (!command)
        throw usage(QStringLiteral("Unknown command \"%1\". Run %2 --help for the commands.")
                        .arg(name, kProgram));

    QCommandLineParser parser;
    parser.addOptions(globalOptions());
    parser.addOptions(command->options);
    addHelpAndVersion(parser);
    if (!parser.parse(arguments))
        throw usage(parser.errorText() +
                    QStringLiteral(". Run %1 %2 --help.").arg(kProgram, command->name));
    if (parser.isSet(QStringLiteral("help"))) {
        out << commandHelp(*command, parser);
        return kDone;
    }
    QStringList own = parser.positionalArguments();
    own.removeFirst();
    if (own.size() < command->minArguments || own.size() > command->maxArguments)
        throw usage(QStringLiteral("%1 takes %2. Run %3 %1 --help.")
                        .arg(command->name,
                             command->synopsis.isEmpty() ? QStringLiteral("no arguments")
                                                         : command->synopsis,
                             kProgram));
    CliContext context(parser, own, out);
    return command->run(context);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(kProgram);
    QCoreApplication::setApplicationVersion(QStringLiteral(HOURLOOM_VERSION));
    store::setKeyCacheFolder(
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
        QStringLiteral("/hourloom"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    int code = kDone;
    try {
        code = run(QCoreApplication::arguments(), out);
    } catch (const CliError& error) {
        out.flush();
        err << kProgram << ": " << error.message() << '\n';
        code = error.code();
    } catch (const store::DbError& error) {
        out.flush();
        err << kProgram << ": " << error.message() << '\n';
        code = error.isRefusedValue() ? kRefused : kDataError;
    }
    out.flush();
    return code;
}
