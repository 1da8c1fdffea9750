#include "ProgramIcon.h"

#include <QPainter>
#include <QPainterPath>

QPixmap programPicture(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const double s = size;

    // Frame: top and bottom bars.
    const QColor wood(0x8b, 0x5a, 0x2b);
    painter.setPen(Qt::NoPen);
    painter.setBrush(wood);
    painter.drawRoundedRect(QRectF(0.12 * s, 0.04 * s, 0.76 * s, 0.10 * s), 0.03 * s, 0.03 * s);
    painter.drawRoundedRect(QRectF(0.12 * s, 0.86 * s, 0.76 * s, 0.10 * s), 0.03 * s, 0.03 * s);

    // Glass: two bulbs meeting at the waist.
    QPainterPath glass;
    glass.moveTo(0.22 * s, 0.14 * s);
    glass.lineTo(0.78 * s, 0.14 * s);
    glass.cubicTo(0.78 * s, 0.38 * s, 0.54 * s, 0.44 * s, 0.54 * s, 0.50 * s);
    glass.cubicTo(0.54 * s, 0.56 * s, 0.78 * s, 0.62 * s, 0.78 * s, 0.86 * s);
    glass.lineTo(0.22 * s, 0.86 * s);
    glass.cubicTo(0.22 * s, 0.62 * s, 0.46 * s, 0.56 * s, 0.46 * s, 0.50 * s);
    glass.cubicTo(0.46 * s, 0.44 * s, 0.22 * s, 0.38 * s, 0.22 * s, 0.14 * s);
    painter.setBrush(QColor(0xdd, 0xee, 0xff));
    painter.setPen(QPen(QColor(0x1f, 0x4e, 0x79), qMax(1.0, s / 24)));
    painter.drawPath(glass);

    // Sand: a little left above, a heap below.
    const QColor sand(0xe0, 0xa8, 0x30);
    painter.setPen(Qt::NoPen);
    painter.setBrush(sand);
    QPainterPath top;
    top.moveTo(0.36 * s, 0.34 * s);
    top.lineTo(0.64 * s, 0.34 * s);
    top.lineTo(0.50 * s, 0.48 * s);
    top.closeSubpath();
    painter.drawPath(top);
    QPainterPath heap;
    heap.moveTo(0.27 * s, 0.84 * s);
    heap.quadTo(0.50 * s, 0.58 * s, 0.73 * s, 0.84 * s);
    heap.closeSubpath();
    painter.drawPath(heap);
    painter.drawRect(QRectF(0.49 * s, 0.48 * s, 0.02 * s, 0.24 * s));
    return pixmap;
}

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128})
        icon.addPixmap(programPicture(size));
    return icon;
}
