#pragma once

#include "Store.h"

#include <QString>
#include <memory>

namespace store {

// What moving a file onto a server copied.
struct MigrationSummary {
    qint64 records = 0;
    qint64 clients = 0; // code entries added to the server's lists
    qint64 works = 0;
    int employees = 0;
};

// The PostgreSQL backend, reached through one small interface so that it can
// live in a module of its own: libpq and the twenty libraries it pulls in
// (TLS, Kerberos, LDAP) are loaded only by a program that talks to a server,
// and every command on a file starts without them.
class ServerBackend {
public:
    virtual ~ServerBackend() = default;
    // Connects to the Hourloom tables at `url` (see server::PgStore).
    virtual std::unique_ptr<Store> open(const QString& url) const = 0;
    // Lays down or completes the tables, roles and rules (server::serverInit).
    virtual void init(const QString& url) const = 0;
    // Lets a login record as an employee (server::addEmployee).
    virtual void addEmployee(const QString& url, const QString& login, const QString& name,
                             bool lead) const = 0;
    // Copies a file's code lists and records onto the server
    // (server::migrateFile).
    virtual MigrationSummary migrate(Store& file, const QString& url) const = 0;
    // "database DB on server HOST", read the way libpq reads the URI.
    virtual QString describe(const QString& url) const = 0;
    // Whether the URI carries a password (which must never be stored).
    virtual bool holdsPassword(const QString& url) const = 0;
};

// The backend of the server module, loaded on first use from
// HOURLOOM_SERVER_MODULE when set, else from lib/hourloom/ beside the
// program's bin/ folder (the same layout in the build tree and when
// installed). Throws DbError naming `url` when the module cannot be loaded.
const ServerBackend& serverBackend(const QString& url);

// The backend's description of `url`; the URI without its password when the
// module cannot be loaded (a message must still name the server).
QString describeServer(const QString& url);

// Throws DbError when `server`'s login is neither an employee nor the
// administrator: it could record nothing.
void requireRecorder(const Store& server);

// What an employee who asks to compact the server at `location` is told.
QString maintainsItself(const QString& location);

} // namespace store
