#pragma once

class QWidget;

// Loads the window (it is not shown yet; the caller shows it).
QWidget* createFrmSetup();
