#include "Services.h"

#include <QtGlobal>

namespace {

template <class T> T& require(T* service, const char* name) {
    if (!service)
        qFatal("Hourloom service '%s' used before it was set up", name);
    return *service;
}

} // namespace

Services& services() {
    static Services instance;
    return instance;
}

AppState& appState() { return require(services().state, "state"); }
Settings& settings() { return require(services().settings, "settings"); }
const Clock& appClock() { return require(services().clock, "clock"); }
Prompter& prompter() { return require(services().prompter, "prompter"); }
HelpOpener& help() { return require(services().help, "help"); }
Forms& forms() { return require(services().forms, "forms"); }
