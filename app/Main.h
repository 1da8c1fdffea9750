#pragma once

#include <QString>

// Start-up: finds the database the settings name, opens it and brings up the
// resident program; when there is none (or it cannot be opened) it says so and
// opens only the Time and Settings window, which runs Main again later.
void Main();

// The start-up message when the database file is not there.
QString databaseNotDetectedText();
