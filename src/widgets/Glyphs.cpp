#include "Glyphs.h"

#include "TextColours.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <vector>

namespace {

// A glyph's colour as it stands on the buttons of the palette in force: the same
// under a light palette, lightened under a dark one.
QColor onButtons(const QColor &colour)
{
    const QPalette palette = QGuiApplication::palette();
    return readableOn(colour, palette.color(QPalette::Button), palette);
}

void drawGlyph(QPainter &p, const QString &name)
{
    const QColor ink = onButtons(QColor(0x30, 0x30, 0x30));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (name == QLatin1String("minimize")) {
        p.drawLine(QPointF(4, 12), QPointF(12, 12));
    } else if (name == QLatin1String("check")) {
        p.setPen(QPen(onButtons(QColor(0x1a, 0x7f, 0x37)), 2.2, Qt::SolidLine, Qt::RoundCap,
                      Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(3, 8.5), QPointF(6.5, 12), QPointF(13, 4)}));
    } else if (name == QLatin1String("add")) {
        p.setPen(QPen(onButtons(QColor(0x1f, 0x5f, 0xbf)), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 3), QPointF(8, 13));
        p.drawLine(QPointF(3, 8), QPointF(13, 8));
    } else if (name == QLatin1String("edit")) {
        p.drawLine(QPointF(4, 12), QPointF(12, 4));
        p.drawLine(QPointF(3, 13), QPointF(5.5, 12.5));
        p.drawRect(QRectF(2.5, 2.5, 11, 11).adjusted(0, 0, 0, 0));
    } else if (name == QLatin1String("delete")) {
        p.setPen(QPen(onButtons(QColor(0xb0, 0x20, 0x20)), 2.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
    } else if (name == QLatin1String("archive")) {
        p.drawRect(QRectF(2.5, 3.5, 11, 3));
        p.drawRect(QRectF(3.5, 6.5, 9, 7));
        p.drawLine(QPointF(6.5, 9), QPointF(9.5, 9));
    } else if (name == QLatin1String("preferences")) {
        p.drawEllipse(QPointF(8, 8), 2.5, 2.5);
        for (int i = 0; i < 8; ++i) {
            p.save();
            p.translate(8, 8);
            p.rotate(45 * i);
            p.drawLine(QPointF(0, 4), QPointF(0, 6));
            p.restore();
        }
    } else if (name == QLatin1String("about")) {
        p.drawEllipse(QPointF(8, 8), 6, 6);
        p.drawLine(QPointF(8, 7), QPointF(8, 11.5));
        p.drawPoint(QPointF(8, 4.8));
    } else if (name == QLatin1String("exit")) {
        p.drawRect(QRectF(2.5, 2.5, 7, 11));
        p.drawLine(QPointF(7, 8), QPointF(14, 8));
        p.drawPolyline(QPolygonF({QPointF(11.5, 5.5), QPointF(14, 8), QPointF(11.5, 10.5)}));
    } else if (name == QLatin1String("menu")) {
        p.setBrush(ink);
        p.drawPolygon(QPolygonF({QPointF(4, 6), QPointF(12, 6), QPointF(8, 11)}));
    }
}

// The calendar sits on a button only a few pixels wide: drawn on whole pixels at
// its own size, solid header and all, so that nothing of it is blurred pale.
void drawCalendar(QPainter &p, int size)
{
    const int line = qMax(1, size / 10);
    const int left = size / 10;
    const int top = size / 8;
    const int width = size - 2 * left;
    const int height = size - top - size / 12;
    const QColor ink = onButtons(QColor(0x30, 0x30, 0x30));
    p.fillRect(left, top, width, qMax(2 * line, height / 3), ink); // header
    p.fillRect(left, top, line, height, ink);                      // sides
    p.fillRect(left + width - line, top, line, height, ink);
    p.fillRect(left, top + height - line, width, line, ink); // bottom
    const int dot = qMax(line, size / 6);
    const int dotsTop = top + height / 3 + (height - height / 3 - dot) / 2;
    p.fillRect(left + width / 4 + line / 2, dotsTop, dot, dot, ink); // two days
    p.fillRect(left + width - width / 4 - dot - line / 2, dotsTop, dot, dot, ink);
}

} // namespace

QIcon glyph(const QString &name)
{
    // One pixmap for each usual screen scale (1, 1.5, 2, 3), so that no scale
    // shows a glyph resampled from another size; the calendar also at the size its
    // narrow button draws it.
    static const std::vector<int> sizes{16, 24, 32, 48};
    static const std::vector<int> calendarSizes{12, 16, 18, 24, 32, 36, 48};
    const bool calendar = name == QLatin1String("calendar");
    QIcon icon;
    for (int size : calendar ? calendarSizes : sizes) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        if (calendar) {
            drawCalendar(p, size);
        } else {
            p.scale(size / 16.0, size / 16.0);
            drawGlyph(p, name);
        }
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}
