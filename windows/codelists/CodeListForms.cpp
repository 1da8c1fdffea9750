#include "CodeListForms.h"

#include "PlaceholderWindow.h"

QWidget* createFrmClient() { return new PlaceholderWindow(QStringLiteral("Client Information")); }
QWidget* createFrmWork() { return new PlaceholderWindow(QStringLiteral("Work Information")); }
