#include "ActivityLogForms.h"

#include "FrmClock.h"

QWidget* createFrmClock() {
    return new FrmClock();
}
