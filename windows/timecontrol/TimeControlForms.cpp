#include "TimeControlForms.h"

#include "FrmControl.h"

QWidget* createFrmControl() {
    return new FrmControl();
}
