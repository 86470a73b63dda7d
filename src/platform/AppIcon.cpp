#include "AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

QPixmap drawIcon(int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const qreal pen = qMax<qreal>(1.0, s / 24.0);

    // The sheet.
    const QRectF sheet(s * 0.10, s * 0.06, s * 0.66, s * 0.86);
    p.setPen(QPen(QColor(0x2b, 0x4a, 0x7a), pen));
    p.setBrush(QColor(0xfb, 0xfb, 0xf4));
    p.drawRoundedRect(sheet, s * 0.07, s * 0.07);

    // Three lines, the first two ticked.
    const int rows = 3;
    for (int i = 0; i < rows; ++i) {
        const qreal y = sheet.top() + sheet.height() * (0.24 + i * 0.27);
        const qreal box = s * 0.13;
        const QRectF tick(sheet.left() + s * 0.08, y - box / 2, box, box);
        p.setPen(QPen(QColor(0x2b, 0x4a, 0x7a), pen));
        p.setBrush(Qt::white);
        p.drawRect(tick);
        if (i < 2) {
            QPainterPath mark;
            mark.moveTo(tick.left() + box * 0.15, tick.center().y());
            mark.lineTo(tick.left() + box * 0.45, tick.bottom() - box * 0.15);
            mark.lineTo(tick.right() + box * 0.10, tick.top() - box * 0.10);
            p.setPen(QPen(QColor(0x1f, 0x9d, 0x48), pen * 1.4, Qt::SolidLine, Qt::RoundCap,
                          Qt::RoundJoin));
            p.setBrush(Qt::NoBrush);
            p.drawPath(mark);
        }
        if (size >= 22) {
            p.setPen(QPen(QColor(0x7a, 0x86, 0x99), pen));
            p.drawLine(QPointF(tick.right() + s * 0.06, y), QPointF(sheet.right() - s * 0.08, y));
        }
    }

    // The bell, lower right, over the sheet's corner.
    const QRectF bell(s * 0.54, s * 0.52, s * 0.40, s * 0.40);
    QPainterPath body;
    body.moveTo(bell.left() + bell.width() * 0.10, bell.top() + bell.height() * 0.78);
    body.cubicTo(bell.left() + bell.width() * 0.22, bell.top() + bell.height() * 0.62,
                 bell.left() + bell.width() * 0.14, bell.top() + bell.height() * 0.12,
                 bell.center().x(), bell.top() + bell.height() * 0.10);
    body.cubicTo(bell.right() - bell.width() * 0.14, bell.top() + bell.height() * 0.12,
                 bell.right() - bell.width() * 0.22, bell.top() + bell.height() * 0.62,
                 bell.right() - bell.width() * 0.10, bell.top() + bell.height() * 0.78);
    body.closeSubpath();
    p.setPen(QPen(QColor(0x8a, 0x5a, 0x00), pen));
    p.setBrush(QColor(0xf5, 0xb7, 0x1d));
    p.drawPath(body);
    const qreal clapper = bell.width() * 0.16;
    p.drawEllipse(QPointF(bell.center().x(), bell.top() + bell.height() * 0.86), clapper / 2,
                  clapper / 2);
    return pm;
}

} // namespace

QIcon appIcon()
{
    // Not cached in a static: pixmaps must not outlive the application object.
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(drawIcon(size));
    return icon;
}
