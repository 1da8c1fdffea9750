#include "Shell.h"

#include <QtGlobal>

namespace {
Shell* current = nullptr;
}

Shell& shell() {
    if (!current)
        qFatal("Hourloom shell used before it was set up");
    return *current;
}

void setShell(Shell* shell) {
    current = shell;
}
