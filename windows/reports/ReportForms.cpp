#include "ReportForms.h"

#include "ReportWindow.h"

QWidget* createFrmReportCriteria() {
    return new frmReportCriteria();
}
