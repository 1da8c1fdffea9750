#include "Clicks.h"

#include <QMouseEvent>
#include <QWidget>

bool endsLeftClick(const QWidget* control, const QEvent* event) {
    if (event->type() != QEvent::MouseButtonRelease)
        return false;
    // The release goes to the control that had the press, wherever the
    // pointer is by then; its position is in that control's coordinates.
    const auto* mouse = static_cast<const QMouseEvent*>(event);
    return mouse->button() == Qt::LeftButton &&
           control->rect().contains(mouse->position().toPoint());
}

bool isLeftDoubleClick(const QEvent* event) {
    return event->type() == QEvent::MouseButtonDblClick &&
           static_cast<const QMouseEvent*>(event)->button() == Qt::LeftButton;
}
