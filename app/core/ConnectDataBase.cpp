#include "ConnectDataBase.h"

#include "FileStore.h"
#include "OpenStore.h"
#include "Schema.h"
#include "ServerBackend.h"
#include "Services.h"

namespace {

void connectServer(AppState& state) {
    std::unique_ptr<store::Store> server = store::openStore(state.gServer);
    store::requireRecorder(*server);
    const store::Store::ServerLogin login =
        server->serverLogin().value_or(store::Store::ServerLogin{});
    state.gServerEmployee = login.employee;
    state.gServerAdministrator = login.administrator;
    state.gEmployee = state.employeeOr(state.gEmployee);
    state.gDataBase = std::move(server);
}

} // namespace

void ConnectDataBase() {
    AppState& state = appState();
    if (state.serverMode()) {
        connectServer(state);
        return;
    }
    auto opened = std::make_unique<store::FileStore>(
        store::connectDataBase(state.gDataBaseLoc, state.gDataBaseName));
    state.gDataBase = std::move(opened);
    state.gServerEmployee.clear();
    state.gServerAdministrator = false;
}
