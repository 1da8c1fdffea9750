#pragma once

#include <QWidget>

// Stands in for a window that is not built yet: shows its caption and closes.
class PlaceholderWindow : public QWidget {
    Q_OBJECT
public:
    explicit PlaceholderWindow(const QString& caption, QWidget* parent = nullptr);
};
