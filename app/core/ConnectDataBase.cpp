#include "ConnectDataBase.h"

#include "FileStore.h"
#include "PgStore.h"
#include "Schema.h"
#include "Services.h"

namespace {

void connectServer(AppState& state) {
    auto server = std::make_unique<store::server::PgStore>(state.gServer);
    server->requireRecorder();
    state.gServerEmployee = server->employeeName();
    state.gServerAdministrator = server->isAdministrator();
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
