#include "TaskGridHeader.h"

#include "TextColours.h"
#include "store/TaskTable.h"

#include <QPainter>

namespace {
constexpr int ArrowSize = 13;
const QColor EtchShadow(0x7F, 0x7F, 0x7F);
const QColor EtchLight(0xFF, 0xFF, 0xFF);
// On a dark header both edges must stand out from the button colour.
const QColor DarkEtchShadow(0x9A, 0x9A, 0x9A);
const QColor DarkEtchLight(0xE8, 0xE8, 0xE8);

// The hour header reads this instead of its caption while the table is sorted by hour,
// leaving room for the arrow at its left.
const QString HourSortedCaption = QStringLiteral("    Hr.");

// One triangle with its upper-left edges in shadow and its lower-right edges lit,
// the engraved look of the classic list headers.
QImage etchedTriangle(bool up, bool dark)
{
    const QColor shadow = dark ? DarkEtchShadow : EtchShadow;
    const QColor light = dark ? DarkEtchLight : EtchLight;
    QImage image(ArrowSize, ArrowSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    if (up) {
        const QPoint apex(6, 2), left(1, 11), right(11, 11);
        p.setPen(light);
        p.drawLine(apex, right);
        p.drawLine(left, right);
        p.setPen(shadow);
        p.drawLine(apex, left);
    } else {
        const QPoint left(1, 2), right(11, 2), apex(6, 11);
        p.setPen(light);
        p.drawLine(right, apex);
        p.setPen(shadow);
        p.drawLine(left, right);
        p.drawLine(left, apex);
    }
    return image;
}

const QImage &darkArrow(bool up)
{
    static const QImage upImage = etchedTriangle(true, true);
    static const QImage downImage = etchedTriangle(false, true);
    return up ? upImage : downImage;
}
} // namespace

const QImage &Image_up()
{
    static const QImage image = etchedTriangle(true, false);
    return image;
}

const QImage &Image_down()
{
    static const QImage image = etchedTriangle(false, false);
    return image;
}

TaskGridHeader::TaskGridHeader(QWidget *parent) : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(false); // a click sorts through the owner, never selects a column
    setHighlightSections(false);
    setSectionsMovable(false);
    setStretchLastSection(false);
    setMinimumSectionSize(0);
    setSectionResizeMode(QHeaderView::Interactive);
}

void TaskGridHeader::setSortState(int sortColumn, int tag)
{
    if (sortColumn == m_sortColumn && tag == m_tag)
        return;
    m_sortColumn = sortColumn;
    m_tag = tag;
    viewport()->update();
}

std::optional<int> TaskGridHeader::arrowLeft(int logicalIndex, const QRect &rect) const
{
    switch (logicalIndex) {
    case Col::Done:
        if (m_sortColumn == Col::Done)
            return rect.left();
        break;
    case Col::Task:
        if (m_sortColumn == Col::Task)
            return rect.left() + sectionSize(Col::Task) / 3 + 2;
        break;
    case Col::Date:
        if (m_sortColumn == Col::SortKey)
            return rect.left() + 2;
        break;
    case Col::Hour:
        if (m_sortColumn == Col::Hour)
            return rect.left() + 2;
        break;
    case Col::Priority:
        if (m_sortColumn == Col::Priority)
            return rect.left() + 1;
        break;
    default:
        break;
    }
    return std::nullopt;
}

void TaskGridHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    if (!rect.isValid())
        return;
    painter->save();
    painter->setClipRect(rect, Qt::IntersectClip);
    painter->fillRect(rect, palette().color(QPalette::Button));

    QString caption =
        model() ? model()->headerData(logicalIndex, Qt::Horizontal).toString() : QString();
    if (logicalIndex == Col::Hour && m_sortColumn == Col::Hour)
        caption = HourSortedCaption;
    const QFontMetrics fm(font());
    painter->setPen(palette().color(QPalette::ButtonText));
    painter->drawText(QPoint(rect.left() + (rect.width() - fm.horizontalAdvance(caption)) / 2,
                             rect.top() + fm.ascent()),
                      caption);

    if (const std::optional<int> left = arrowLeft(logicalIndex, rect)) {
        const bool dark = isDarkPalette(palette());
        if (m_tag == 1)
            painter->drawImage(QPoint(*left, rect.top()), dark ? darkArrow(true) : Image_up());
        else if (m_tag == 0)
            painter->drawImage(QPoint(*left, rect.top()), dark ? darkArrow(false) : Image_down());
    }

    // A raised edge keeps the cells apart, as the header of a classic grid.
    painter->setPen(palette().color(QPalette::Light));
    painter->drawLine(rect.topLeft(), rect.topRight());
    painter->drawLine(rect.topLeft(), rect.bottomLeft());
    painter->setPen(palette().color(QPalette::Dark));
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->restore();
}
