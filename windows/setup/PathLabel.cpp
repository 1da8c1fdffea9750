#include "PathLabel.h"

#include <QFontMetrics>

namespace {

// As the label lays it out: broken into lines where words allow.
bool fits(const QString& text, const QFontMetrics& metrics, const QRect& room) {
    const QRect needed = metrics.boundingRect(room, Qt::TextWordWrap, text);
    return needed.height() <= room.height() && needed.width() <= room.width();
}

// `kept` characters of `path` around an ellipsis: its start, and its end
// with at least the last `keepEnd` characters (the file's name).
QString leftOutInTheMiddle(const QString& path, qsizetype kept, qsizetype keepEnd) {
    const qsizetype tail = std::min(kept, std::max(keepEnd, kept / 2));
    return path.left(kept - tail) + QChar(0x2026) + path.right(tail);
}

// `path` as it fits `room`, with as few characters left out as it takes.
QString shortened(const QString& path, const QFontMetrics& metrics, const QRect& room) {
    if (room.isEmpty() || fits(path, metrics, room))
        return path;
    const qsizetype keepEnd = path.size() - path.lastIndexOf(QLatin1Char('/'));
    // More characters kept never take less room: the most that fit, by halving.
    qsizetype fitting = 0;
    qsizetype tooMany = path.size();
    while (tooMany - fitting > 1) {
        const qsizetype kept = (fitting + tooMany) / 2;
        (fits(leftOutInTheMiddle(path, kept, keepEnd), metrics, room) ? fitting : tooMany) = kept;
    }
    return leftOutInTheMiddle(path, fitting, keepEnd);
}

} // namespace

PathLabel::PathLabel(QWidget* parent)
    : QLabel(parent) {
    setWordWrap(true);
    // An indent of our own: the one a framed label picks by itself is not
    // known here, and the text must be measured in the room it is drawn in.
    setIndent(fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    policy.setHeightForWidth(false);
    setSizePolicy(policy);
}

QSize PathLabel::sizeHint() const {
    return minimumSizeHint();
}

QSize PathLabel::minimumSizeHint() const {
    constexpr int kLines = 2;
    const int frame = 2 * (frameWidth() + margin());
    return {fontMetrics().averageCharWidth() * 20 + frame + indent(),
            fontMetrics().lineSpacing() * kLines + frame};
}

void PathLabel::setPath(const QString& path) {
    path_ = path;
    // A screen reader reads the whole path, whatever the eye is shown.
    setAccessibleName(path);
    fit();
}

void PathLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    fit();
}

void PathLabel::fit() {
    // Where QLabel draws a left-aligned text.
    const QRect room = contentsRect().adjusted(margin() + indent(), margin(), -margin(), -margin());
    const QString text = shortened(path_, fontMetrics(), room);
    if (text != this->text())
        setText(text);
}
