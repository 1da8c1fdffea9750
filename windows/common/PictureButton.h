#pragma once

#include <QIcon>
#include <QString>
#include <QStyle>
#include <QToolButton>

// A button that shows only a picture. Its tooltip is also its accessible
// name, so a screen reader announces what the picture means.
template <class Button = QToolButton>
Button* pictureButton(QWidget* parent, const char* name, const QString& tip, const QIcon& icon,
                      int iconPixels = 0) {
    auto* button = new Button(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setIcon(icon);
    if (iconPixels > 0)
        button->setIconSize(QSize(iconPixels, iconPixels));
    return button;
}

// The same with one of the style's standard pictures.
inline QToolButton* pictureButton(QWidget* parent, const char* name, const QString& tip,
                                  QStyle::StandardPixmap picture) {
    return pictureButton(parent, name, tip, parent->style()->standardIcon(picture));
}
