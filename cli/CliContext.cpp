#include "CliContext.h"

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

QString CliContext::employee() const {
    return isSet(QStringLiteral("employee")) ? value(QStringLiteral("employee"))
                                             : settings_.text(keys::Emp);
}

QString CliContext::location() const {
    return isSet(QStringLiteral("database")) ? value(QStringLiteral("database"))
                                             : settings_.text(keys::gDataBaseLoc);
}

QString CliContext::clientLabel() const {
    return settings_.text(keys::lblClient1);
}

store::Store& CliContext::store() {
    if (!store_)
        store_ = store::openStore(location());
    return *store_;
}
