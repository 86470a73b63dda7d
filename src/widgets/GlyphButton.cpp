#include "GlyphButton.h"

#include <QStyleOptionToolButton>
#include <QStylePainter>

void GlyphButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    option.icon = QIcon();
    option.text.clear();
    painter.drawComplexControl(QStyle::CC_ToolButton, option);
    const QSize size = iconSize().boundedTo(this->size());
    const QRect place(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    icon().paint(&painter, place, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
}
