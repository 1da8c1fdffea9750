#include "SetupForms.h"

#include "PlaceholderWindow.h"

QWidget* createFrmSetup() { return new PlaceholderWindow(QStringLiteral("Time and Settings")); }
