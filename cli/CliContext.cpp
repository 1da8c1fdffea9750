#include "CliContext.h"

#include "CliError.h"
#include "Clock.h"
#include "OpenStore.h"
#include "PgStore.h"

namespace {

QDateTime startMoment() {
    const QString fixed = qEnvironmentVariable("HOURLOOM_NOW");
    if (!fixed.isEmpty()) {
        const QDateTime moment = QDateTime::fromString(fixed, Qt::ISODate);
        if (moment.isValid())
            return moment;
    }
    return SystemClock().now();
}

} // namespace

CliContext::CliContext(const QCommandLineParser& parser, QStringList arguments, QTextStream& out)
    : out(out)
    , parser_(parser)
    , arguments_(std::move(arguments))
    , now_(startMoment()) {}

QString CliContext::employee() {
    const bool named = isSet(QStringLiteral("employee"));
    const QString chosen = named ? value(QStringLiteral("employee")) : settings_.text(keys::Emp);
    const auto* server = dynamic_cast<const store::server::PgStore*>(&store());
    if (!server || server->employeeName().isEmpty())
        return chosen;
    if (!named)
        return server->employeeName();
    // The server would only show nothing; say why instead.
    if (chosen.compare(server->employeeName(), Qt::CaseInsensitive) != 0 && !server->isLead())
        throw refused(QStringLiteral("The %1 shows you only the records of %2; those of %3 "
                                     "only to a lead.")
                          .arg(server->location(), server->employeeName(), chosen));
    return chosen;
}

QString CliContext::location() const {
    if (isSet(QStringLiteral("database")))
        return value(QStringLiteral("database"));
    const QString server = settings_.text(keys::Server).trimmed();
    return server.isEmpty() ? settings_.text(keys::gDataBaseLoc) : server;
}

QString CliContext::clientLabel() const {
    return settings_.text(keys::lblClient1);
}

store::Store& CliContext::store() {
    if (!store_)
        store_ = store::openStore(location());
    return *store_;
}
