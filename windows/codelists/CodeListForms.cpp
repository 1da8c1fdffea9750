#include "CodeListForms.h"

#include "CodeListWindow.h"

QWidget* createFrmClient() {
    return new CodeListWindow(clientListConfig());
}
QWidget* createFrmWork() {
    return new CodeListWindow(workListConfig());
}
