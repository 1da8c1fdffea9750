#pragma once

#include "Settings.h"
#include "Store.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QStringList>
#include <QTextStream>
#include <memory>

// What one command works with: its arguments and options, the settings of
// the windowed program (for the defaults), the moment it runs at, and the
// store, opened when the command first asks for it.
class CliContext {
public:
    // `arguments` are the command's own, after its name (and sub-command).
    CliContext(const QCommandLineParser& parser, QStringList arguments, QTextStream& out);

    const QStringList& arguments() const { return arguments_; }
    bool isSet(const QString& option) const { return parser_.isSet(option); }
    QString value(const QString& option) const { return parser_.value(option); }

    Settings& settings() { return settings_; }
    // The moment the command takes as now, read once: the system clock, or
    // HOURLOOM_NOW ("2026-03-05T14:00:00") when set.
    const QDateTime& now() const { return now_; }
    // --employee, else the name a server records this login under, else the
    // employee of the settings. On a server, naming another employee is
    // refused unless this login is a lead or the administrator.
    QString employee();
    // --database, else the server of the settings, else their database file.
    QString location() const;
    // The client word of the settings ("Client" or "Project").
    QString clientLabel() const;
    bool json() const { return isSet(QStringLiteral("json")); }

    // The store at location(), opened on first use; throws store::DbError.
    store::Store& store();

    QTextStream& out;

private:
    const QCommandLineParser& parser_;
    QStringList arguments_;
    Settings settings_;
    QDateTime now_;
    std::unique_ptr<store::Store> store_;
};
