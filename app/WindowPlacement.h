#pragma once

class QWidget;

// Keeps `window` above other windows or lets it go behind them again,
// without moving or resizing it and without changing whether it is shown.
void setTopmost(QWidget* window, bool topmost);

bool isTopmost(const QWidget* window);
