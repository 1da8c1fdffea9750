#include "ServerBackend.h"

#include "DbError.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QMutex>
#include <QUrl>
#include <QUrlQuery>
#include <sqlite3.h>

namespace store {

namespace {

// The one symbol the module exports; see store/server/ServerModule.cpp.
using EntryPoint = const ServerBackend* (*)();
constexpr const char* kEntryPoint = "hourloomServerBackend";

QString modulePath() {
    const QString chosen = qEnvironmentVariable("HOURLOOM_SERVER_MODULE");
    if (!chosen.isEmpty())
        return chosen;
    // /proc/self/exe rather than QCoreApplication: the store has no
    // application object to ask, and a test may have none either.
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return QFileInfo(program).dir().filePath(QStringLiteral("../lib/hourloom/hourloom-server.so"));
}

struct LoadedModule {
    const ServerBackend* backend = nullptr;
    QString failure;
};

LoadedModule load() {
    // Never unloaded: stores made by the module live until the program ends.
    QLibrary module(modulePath());
    if (!module.load())
        return {nullptr, module.errorString()};
    const auto entry = reinterpret_cast<EntryPoint>(module.resolve(kEntryPoint));
    if (entry == nullptr)
        return {nullptr, module.errorString()};
    return {entry(), {}};
}

// The address as it may be shown: without the module there is no libpq to
// describe it, and a password in it must still never reach the screen.
QString withoutPassword(const QString& url) {
    QUrl address(url);
    if (address.hasQuery()) {
        QUrlQuery query(address);
        query.removeAllQueryItems(QStringLiteral("password"));
        address.setQuery(query);
    }
    return address.toString(QUrl::RemovePassword);
}

} // namespace

const ServerBackend& serverBackend(const QString& url) {
    // A module that failed to load is tried again next time: the failure
    // may be mended (a package installed) while the program runs.
    static QMutex mutex;
    static LoadedModule loaded;
    const QMutexLocker lock(&mutex);
    if (loaded.backend == nullptr)
        loaded = load();
    if (loaded.backend == nullptr)
        throw DbError(SQLITE_CANTOPEN,
                      QStringLiteral("Cannot open %1: the server backend of Hourloom cannot be "
                                     "loaded (%2).")
                          .arg(withoutPassword(url), loaded.failure));
    return *loaded.backend;
}

QString describeServer(const QString& url) {
    try {
        return serverBackend(url).describe(url);
    } catch (const DbError&) {
        return withoutPassword(url);
    }
}

void requireRecorder(const Store& server) {
    const std::optional<Store::ServerLogin> login = server.serverLogin();
    if (login && login->employee.isEmpty() && !login->administrator)
        throw DbError(SQLITE_AUTH,
                      QStringLiteral("Your login records no time on the %1. Its administrator "
                                     "adds it with: hourloom-cli server add-employee LOGIN "
                                     "--name NAME")
                          .arg(server.location()));
}

QString maintainsItself(const QString& location) {
    return QStringLiteral("The %1 maintains itself: PostgreSQL gives back the space of deleted "
                          "records on its own. Only its administrator compacts it by hand.")
        .arg(location);
}

} // namespace store
