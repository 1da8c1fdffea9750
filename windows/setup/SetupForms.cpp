#include "SetupForms.h"

#include "FrmSetup.h"

QWidget* createFrmSetup() {
    return new FrmSetup;
}
