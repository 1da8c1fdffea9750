#pragma once

#include "AppState.h"
#include "Clock.h"
#include "Forms.h"
#include "HelpOpener.h"
#include "Prompter.h"
#include "Settings.h"

// The shared services, set up once by the program's start (or by a test).
struct Services {
    AppState* state = nullptr;
    Settings* settings = nullptr;
    Clock* clock = nullptr;
    Prompter* prompter = nullptr;
    HelpOpener* help = nullptr;
    Forms* forms = nullptr;
};

Services& services();

AppState& appState();
Settings& settings();
const Clock& appClock();
Prompter& prompter();
HelpOpener& help();
Forms& forms();
