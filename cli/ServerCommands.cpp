// server and migrate: laying down a PostgreSQL server for a team, adding its
// employees, pointing Hourloom at it and moving a file's records onto it.
#include "CliError.h"
#include "Commands.h"
#include "OpenStore.h"
#include "ServerBackend.h"

using store::describeServer;
using store::serverBackend;

namespace {

// A server's address as given; a file name or a stored password is refused.
QString serverUrl(const QString& text) {
    if (!store::isServerLocation(text))
        throw usage(QStringLiteral("\"%1\" is not a server address (postgresql://HOST/DATABASE).")
                        .arg(text));
    if (serverBackend(text).holdsPassword(text))
        throw usage(QStringLiteral("The address holds a password. Hourloom never stores one: put "
                                   "it in ~/.pgpass, or use a client certificate or Kerberos."));
    return text;
}

int init(CliContext& context, const QString& url) {
    serverBackend(url).init(url);
    context.out << "The " << describeServer(url)
                << " holds Hourloom's tables, roles and rules; add employees with: hourloom-cli "
                   "--database URL server add-employee LOGIN --name NAME\n";
    return kDone;
}

int addEmployee(CliContext& context, const QString& login) {
    const QString url = context.location();
    if (!store::isServerLocation(url))
        throw usage(QStringLiteral("server add-employee works on a server: give --database "
                                   "postgresql://HOST/DATABASE, or run server connect first."));
    if (!context.isSet(QStringLiteral("name")))
        throw usage(QStringLiteral("server add-employee needs --name NAME."));
    const QString name = context.value(QStringLiteral("name"));
    const bool lead = context.isSet(QStringLiteral("lead"));
    serverBackend(url).addEmployee(url, login, name, lead);
    context.out << "The login " << login << " records as " << name
                << (lead ? " and, as a lead, reads and purges everyone's records" : "")
                << " on the " << describeServer(url) << ".\n";
    return kDone;
}

int connect(CliContext& context, const QString& url) {
    const std::unique_ptr<store::Store> server = store::openStore(url);
    store::requireRecorder(*server);
    const QString employee = server->serverLogin().value_or(store::Store::ServerLogin{}).employee;
    context.settings().setText(keys::Server, url);
    context.out << "Hourloom now records on the " << server->location() << " as "
                << (employee.isEmpty() ? QStringLiteral("its administrator") : employee)
                << " (setting Server in " << context.settings().fileName() << ").\n";
    return kDone;
}

} // namespace

int runServer(CliContext& context) {
    const QString action = context.arguments().at(0);
    const QString argument = context.arguments().at(1);
    if (action == QLatin1String("init"))
        return init(context, serverUrl(argument));
    if (action == QLatin1String("add-employee"))
        return addEmployee(context, argument);
    if (action == QLatin1String("connect"))
        return connect(context, serverUrl(argument));
    throw usage(
        QStringLiteral("server takes init, add-employee or connect, not \"%1\".").arg(action));
}

int runMigrate(CliContext& context) {
    const QString file = context.arguments().at(0);
    if (store::isServerLocation(file))
        throw usage(QStringLiteral("migrate copies a database file: FILE must not be a server."));
    const QString url = serverUrl(context.arguments().at(1));
    const auto source = store::openStore(file);
    const store::MigrationSummary copied = serverBackend(url).migrate(*source, url);
    context.out << "Copied " << copied.records << " records of " << copied.employees
                << " employees, " << copied.clients << " clients and " << copied.works
                << " work codes from " << file << " to the " << describeServer(url)
                << "; per employee, the counts and summed times agree.\n";
    return kDone;
}
