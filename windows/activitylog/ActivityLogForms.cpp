#include "ActivityLogForms.h"

#include "frmClock.h"

QWidget* createFrmClock() {
    return new frmClock();
}
