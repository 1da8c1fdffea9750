#pragma once

#include "Shell.h"

// Stands in for the resident part: counts the starts, reminds of nothing.
struct CountingShell : Shell {
    int started = 0;
    void startResident() override { ++started; }
    void trackTime() override {}
};
