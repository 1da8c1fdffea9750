#include "ConnectDataBase.h"

#include "FileStore.h"
#include "Schema.h"
#include "Services.h"

void ConnectDataBase() {
    AppState& state = appState();
    auto opened = std::make_unique<store::FileStore>(
        store::connectDataBase(state.gDataBaseLoc, state.gDataBaseName));
    state.gDataBase = std::move(opened);
}
