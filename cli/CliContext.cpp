#include "CliContext.h"

#include "CliError.h"
#include "Clock.h"
#include "OpenStore.h"

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
    const std::optional<store::Store::ServerLogin> login = store().serverLogin();
    if (!login || login->employee.isEmpty())
        return chosen;
    if (!named)
        return login->employee;
    // The server would only show nothing; say why instead.
    if (chosen.compare(login->employee, Qt::CaseInsensitive) != 0 && !login->lead)
        throw refused(QStringLiteral("The %1 shows you only the records of %2; those of %3 "
                                     "only to a lead.")
                          .arg(store().location(), login->employee, chosen));
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
