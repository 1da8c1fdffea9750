#pragma once

#include "Shell.h"

// The resident program as start-up brings it up.
class ResidentShell : public Shell {
public:
    void startResident() override;
    void trackTime() override;
};
