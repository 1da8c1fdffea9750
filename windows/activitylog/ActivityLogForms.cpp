#include "ActivityLogForms.h"

#include "PlaceholderWindow.h"

QWidget* createFrmClock() { return new PlaceholderWindow(QStringLiteral("Activity Log")); }
