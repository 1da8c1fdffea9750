#include "ConnectDataBase.h"

#include "Schema.h"
#include "Services.h"

void ConnectDataBase() {
    AppState& state = appState();
    auto opened = std::make_unique<store::Database>(
        store::connectDataBase(state.gDataBaseLoc, state.gDataBaseName));
    state.gDataBase = std::move(opened);
}
