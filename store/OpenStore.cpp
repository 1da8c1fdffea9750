#include "OpenStore.h"

#include "FileStore.h"
#include "Schema.h"
#include "ServerBackend.h"

#include <QFileInfo>
#include <sqlite3.h>

namespace store {

bool isServerLocation(const QString& location) {
    return location.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
           location.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

std::unique_ptr<Store> openStore(const QString& location) {
    if (isServerLocation(location))
        return serverBackend(location).open(location);
    const QString name = listedFileName(location);
    if (name.isEmpty())
        throw DbError(
            SQLITE_CANTOPEN,
            QStringLiteral("Cannot open the database %1: there is no such file.").arg(location));
    return std::make_unique<FileStore>(connectDataBase(location, name));
}

std::unique_ptr<Store> createStore(const QString& location) {
    // A server's tables are laid down by its administrator (server init).
    if (isServerLocation(location))
        throw DbError(SQLITE_CANTOPEN,
                      QStringLiteral("Cannot create %1: it is a database server, not a file. Its "
                                     "administrator lays down the tables with: hourloom-cli "
                                     "server init URL")
                          .arg(describeServer(location)));
    if (QFileInfo::exists(location))
        throw DbError(SQLITE_CANTOPEN,
                      QStringLiteral("Cannot create %1: the file already exists.").arg(location));
    return std::make_unique<FileStore>(connectDataBase(location, QFileInfo(location).fileName()));
}

} // namespace store
