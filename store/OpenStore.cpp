#include "OpenStore.h"

#include "FileStore.h"
#include "Schema.h"

#include <QFileInfo>
#include <sqlite3.h>

namespace store {

namespace {

[[noreturn]] void refuseServer(const QString& location) {
    throw DbError(SQLITE_CANTOPEN,
                  QStringLiteral("Cannot open %1: this build of Hourloom opens database files "
                                 "only, not database servers.")
                      .arg(location));
}

} // namespace

bool isServerLocation(const QString& location) {
    return location.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
           location.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

std::unique_ptr<Store> openStore(const QString& location) {
    if (isServerLocation(location))
        refuseServer(location);
    const QString name = listedFileName(location);
    if (name.isEmpty())
        throw DbError(
            SQLITE_CANTOPEN,
            QStringLiteral("Cannot open the database %1: there is no such file.").arg(location));
    return std::make_unique<FileStore>(connectDataBase(location, name));
}

std::unique_ptr<Store> createStore(const QString& location) {
    if (isServerLocation(location))
        refuseServer(location);
    if (QFileInfo::exists(location))
        throw DbError(SQLITE_CANTOPEN,
                      QStringLiteral("Cannot create %1: the file already exists.").arg(location));
    return std::make_unique<FileStore>(connectDataBase(location, QFileInfo(location).fileName()));
}

} // namespace store
