#include "SetupForms.h"

#include "frmSetup.h"

QWidget* createFrmSetup() {
    return new frmSetup;
}
