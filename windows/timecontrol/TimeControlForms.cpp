#include "TimeControlForms.h"

#include "frmControl.h"

QWidget* createFrmControl() {
    return new frmControl();
}
