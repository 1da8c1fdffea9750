#include "ReportForms.h"

#include "PlaceholderWindow.h"

QWidget* createFrmReportCriteria() { return new PlaceholderWindow(QStringLiteral("Hourloom Report")); }
