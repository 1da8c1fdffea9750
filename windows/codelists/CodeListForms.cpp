#include "CodeListForms.h"

#include "frmCodeList.h"

QWidget* createFrmClient() {
    return new frmCodeList(clientListConfig());
}
QWidget* createFrmWork() {
    return new frmCodeList(workListConfig());
}
