#pragma once

#include "CliContext.h"

#include <QCommandLineOption>
#include <QList>
#include <functional>
#include <vector>

// One command of hourloom-cli: its name, what it takes, its help and its
// work. `run` gives the exit status, or throws CliError or store::DbError.
struct Command {
    QString name;
    QString synopsis; // the arguments, as the help shows them
    QString description;
    QList<QCommandLineOption> options;
    int minArguments = 0;
    int maxArguments = 0;
    std::function<int(CliContext&)> run;
};

// Every command, in the order the help lists them.
const std::vector<Command>& commands();
const Command* findCommand(const QString& name);

// The options every command takes: --database, --employee, --json.
QList<QCommandLineOption> globalOptions();

// The commands' work, one function each.
int runInit(CliContext& context);
int runStatus(CliContext& context);
int runTrack(CliContext& context);
int runUndo(CliContext& context);
int runDay(CliContext& context);
int runReport(CliContext& context);
int runClients(CliContext& context);
int runWorks(CliContext& context);
int runPurge(CliContext& context);
int runCompact(CliContext& context);
int runCheck(CliContext& context);
int runBackup(CliContext& context);
int runServer(CliContext& context);
int runMigrate(CliContext& context);
