#include "ResidentShell.h"

#include "Services.h"

void ResidentShell::startResident() { forms().show(Form::Control); }

void ResidentShell::trackTime() {}
