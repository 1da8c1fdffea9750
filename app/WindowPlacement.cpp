#include "WindowPlacement.h"

#include <QWidget>

void setTopmost(QWidget* window, bool topmost) {
    if (!window || isTopmost(window) == topmost)
        return;
    // Changing a window flag re-creates the native window, which hides it and
    // may forget where it was: put it back as it stood.
    const bool wasVisible = window->isVisible();
    const QRect geometry = window->geometry();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
    window->setGeometry(geometry);
    if (wasVisible)
        window->show();
}

bool isTopmost(const QWidget* window) {
    return window && window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}
