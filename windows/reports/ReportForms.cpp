#include "ReportForms.h"

#include "frmReportCriteria.h"

QWidget* createFrmReportCriteria() {
    return new frmReportCriteria();
}
