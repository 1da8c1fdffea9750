#include "TimeControlForms.h"

#include "PlaceholderWindow.h"

QWidget* createFrmControl() { return new PlaceholderWindow(QStringLiteral("Hourloom")); }
