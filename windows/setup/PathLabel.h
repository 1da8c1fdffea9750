#pragma once

#include <QLabel>

// A label showing a file's path on two lines. A path too long for them
// loses characters from its middle, never from its end, so the file's name
// stays readable; the whole path is `path()` and the accessible name. Its
// height stays put: a window does not grow for a wrapped label, whose last
// line would then be hidden.
class PathLabel : public QLabel {
public:
    explicit PathLabel(QWidget* parent);

    void setPath(const QString& path);
    const QString& path() const { return path_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fit();

    QString path_;
};
