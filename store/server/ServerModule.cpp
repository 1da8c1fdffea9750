// The entry point of the server module (hourloom-server.so), which the store
// loads when a location names a server. Everything else in the module is
// hidden, so its copies of the store's helpers never clash with the
// program's.
#include "Migrate.h"
#include "PgConnection.h"
#include "PgStore.h"
#include "ServerBackend.h"
#include "ServerSchema.h"

namespace {

class PgBackend final : public store::ServerBackend {
public:
    std::unique_ptr<store::Store> open(const QString& url) const override {
        return std::make_unique<store::server::PgStore>(url);
    }
    void init(const QString& url) const override { store::server::serverInit(url); }
    void addEmployee(const QString& url, const QString& login, const QString& name,
                     bool lead) const override {
        store::server::addEmployee(url, login, name, lead);
    }
    store::MigrationSummary migrate(store::Store& file, const QString& url) const override {
        return store::server::migrateFile(file, url);
    }
    QString describe(const QString& url) const override {
        return store::server::describeServer(url);
    }
    bool holdsPassword(const QString& url) const override {
        return store::server::holdsPassword(url);
    }
};

} // namespace

extern "C" __attribute__((visibility("default"))) const store::ServerBackend*
hourloomServerBackend() {
    static const PgBackend backend;
    return &backend;
}
