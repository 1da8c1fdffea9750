#include "Commands.h"

namespace {

QCommandLineOption option(const QString& name, const QString& description,
                          const QString& valueName = {}) {
    return QCommandLineOption(name, description, valueName);
}

std::vector<Command> makeCommands() {
    const QString codeListHelp =
        QStringLiteral("list: every entry by number. add NAME [NUMBER]: adds an entry; without "
                       "NUMBER the next free number (the highest plus one) is used. delete "
                       "NUMBER: deletes the entry with that number.");
    return {
        {QStringLiteral("init"),
         QStringLiteral("FILE"),
         QStringLiteral("Creates a new database file (\".HL1\" is added to a name without "
                        "extension). An existing file is never touched."),
         {},
         1,
         1,
         runInit},
        {QStringLiteral("status"),
         QString(),
         QStringLiteral("The latest record and how far the recorded time lags the clock."),
         {},
         0,
         0,
         runStatus},
        {QStringLiteral("track"),
         QStringLiteral("CLIENT WORK"),
         QStringLiteral("Records a span as Add Time does. CLIENT and WORK by number or by exact "
                        "name. The span begins where the latest record of the last five hours "
                        "ended (else an hour ago) and ends now, unless told otherwise."),
         {option(QStringLiteral("from"), QStringLiteral("Begin at TIME (today, or DATE TIME)."),
                 QStringLiteral("TIME")),
          option(QStringLiteral("to"), QStringLiteral("End at TIME (today, or DATE TIME)."),
                 QStringLiteral("TIME")),
          option(QStringLiteral("minutes"), QStringLiteral("End N minutes after the begin."),
                 QStringLiteral("N"))},
         2,
         2,
         runTrack},
        {QStringLiteral("undo"),
         QString(),
         QStringLiteral("Deletes the employee's record that ended last, if it ended within the "
                        "last five hours, as Undo Last Entry does."),
         {},
         0,
         0,
         runUndo},
        {QStringLiteral("day"),
         QStringLiteral("[DATE]"),
         QStringLiteral("The Activity Log's list of a day (today without DATE): the records that "
                        "begin or end on it."),
         {},
         0,
         1,
         runDay},
        {QStringLiteral("report"),
         QString(),
         QStringLiteral("The Report window's sums. Without dates: last week, Sunday to "
                        "Saturday."),
         {option(QStringLiteral("from"), QStringLiteral("First day."), QStringLiteral("DATE")),
          option(QStringLiteral("to"), QStringLiteral("Last day."), QStringLiteral("DATE")),
          option(QStringLiteral("daily"), QStringLiteral("Sums per day.")),
          option(QStringLiteral("mins"), QStringLiteral("Totals in whole minutes.")),
          option(QStringLiteral("format"), QStringLiteral("text (default), html, csv or json."),
                 QStringLiteral("FORMAT")),
          option(QStringLiteral("output"),
                 QStringLiteral("Write to FILE instead of the standard output."),
                 QStringLiteral("FILE"))},
         0,
         0,
         runReport},
        {QStringLiteral("clients"),
         QStringLiteral("list | add NAME [NUMBER] | delete NUMBER"),
         QStringLiteral("The client list. ") + codeListHelp,
         {},
         1,
         3,
         runClients},
        {QStringLiteral("works"),
         QStringLiteral("list | add NAME [NUMBER] | delete NUMBER"),
         QStringLiteral("The work-code list. ") + codeListHelp,
         {},
         1,
         3,
         runWorks},
        {QStringLiteral("purge"),
         QStringLiteral("DAYS"),
         QStringLiteral(
             "Deletes the employee's records that began more than DAYS days ago, as "
             "Delete Old Records does (a checked copy is kept as <file>.bak first; a server "
             "keeps its own backups). A lead may purge another's with --employee."),
         {option(QStringLiteral("yes"), QStringLiteral("Delete without asking."))},
         1,
         1,
         runPurge},
        {QStringLiteral("compact"),
         QString(),
         QStringLiteral("Gives back the space of deleted records (a checked copy is kept as "
                        "<file>.bak first). A server maintains itself: only its administrator "
                        "compacts it."),
         {},
         0,
         0,
         runCompact},
        {QStringLiteral("check"),
         QString(),
         QStringLiteral("Checks the database's integrity and counts its records, clients and "
                        "work codes."),
         {},
         0,
         0,
         runCheck},
        {QStringLiteral("backup"),
         QStringLiteral("FILE"),
         QStringLiteral("Writes a checked, consistent copy of the database to FILE, also while "
                        "others record."),
         {option(QStringLiteral("replace"), QStringLiteral("Replace FILE if it exists."))},
         1,
         1,
         runBackup},
        {QStringLiteral("server"),
         QStringLiteral("init URL | add-employee LOGIN --name NAME [--lead] | connect URL"),
         QStringLiteral("A PostgreSQL server for a team. init URL: lays down the tables, roles "
                        "and rules (as the database's administrator; safe to run again). "
                        "add-employee LOGIN: lets the login record as NAME (with --lead also read "
                        "and purge everyone's records); the server is --database or the one of "
                        "the settings. connect URL: tests the connection and makes Hourloom "
                        "record there (the Server setting). Passwords never go into URL: "
                        "~/.pgpass, client certificates or Kerberos."),
         {option(QStringLiteral("name"), QStringLiteral("The employee name the login records as."),
                 QStringLiteral("NAME")),
          option(QStringLiteral("lead"), QStringLiteral("The employee is a lead."))},
         2,
         2,
         runServer},
        {QStringLiteral("migrate"),
         QStringLiteral("FILE URL"),
         QStringLiteral("Copies the code lists and every record of a database file onto the "
                        "server at URL in one transaction, after checking per employee that the "
                        "counts and summed times agree. A server that already holds records is "
                        "refused. Run as the server's administrator."),
         {},
         2,
         2,
         runMigrate},
    };
}

} // namespace

const std::vector<Command>& commands() {
    static const std::vector<Command> all = makeCommands();
    return all;
}

const Command* findCommand(const QString& name) {
    for (const Command& command : commands())
        if (command.name == name)
            return &command;
    return nullptr;
}

QList<QCommandLineOption> globalOptions() {
    return {option(QStringLiteral("database"),
                   QStringLiteral("The database file, or a server as postgresql://HOST/DATABASE "
                                  "(default: the one Hourloom uses)."),
                   QStringLiteral("FILE|URL")),
            option(QStringLiteral("employee"),
                   QStringLiteral("Whose records (default: the server's name for your login, "
                                  "else the employee of Time and Settings)."),
                   QStringLiteral("NAME")),
            option(QStringLiteral("json"), QStringLiteral("Data as JSON."))};
}
