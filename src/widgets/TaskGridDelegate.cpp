#include "TaskGridDelegate.h"

#include <algorithm>

#include "TextColours.h"
#include "store/Clock.h"
#include "store/DateFormat.h"
#include "store/TaskTable.h"

#include <QPainter>

const QColor TaskGridDelegate::SelectionShade(0xE6, 0xE6, 0xE6);
const QColor TaskGridDelegate::TodayShade(0xFF, 0xFF, 0xDC);
const QColor TaskGridDelegate::DoneMarkColour(0xFF, 0x00, 0x00);
const QColor TaskGridDelegate::DarkSelectionShade(0x48, 0x48, 0x48);
const QColor TaskGridDelegate::DarkTodayShade(0x4A, 0x4A, 0x26);

namespace {
// Text is drawn with its top-left corner at a fixed offset from the cell's corner,
// clipped to the cell.
void drawCellText(QPainter *painter, const QRect &cell, const QPoint &origin, const QString &text)
{
    if (text.isEmpty())
        return;
    const QFontMetrics fm(painter->font());
    painter->save();
    painter->setClipRect(cell, Qt::IntersectClip);
    painter->drawText(QPoint(origin.x(), origin.y() + fm.ascent()), text);
    painter->restore();
}
} // namespace

void TaskGridDelegate::setDateServices(const DateFormat *dates, const Clock *clock)
{
    m_dates = dates;
    m_clock = clock;
}

bool TaskGridDelegate::isOpenTaskDueToday(int row) const
{
    if (!m_dates || !m_clock || m_table->cell(Col::Done, row) == DoneMark)
        return false;
    // A date that does not convert simply gets no highlight: painting must go on.
    try {
        const QDate today = m_clock->today();
        const std::optional<QDate> due = m_dates->parseDate(m_table->cell(Col::Date, row), today);
        return due && *due == today;
    } catch (...) {
        return false;
    }
}

void TaskGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    const QRect cell = option.rect;
    const int col = index.column();
    const int row = index.row() + 1; // the table's own numbering
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QString text = index.data(Qt::DisplayRole).toString();
    const QPoint textOrigin(cell.left() + 2, cell.top() + 2);

    const QPalette &palette = option.palette;
    const bool dark = isDarkPalette(palette);
    const QColor selectionShade = dark ? DarkSelectionShade : SelectionShade;

    painter->save();
    painter->setFont(option.font);

    if (!m_table || row >= m_table->rowCount() || m_table->isEmpty()) {
        // No tasks: the plain cell, nothing of the task styling.
        const QColor background = selected ? selectionShade : palette.color(QPalette::Base);
        painter->fillRect(cell, background);
        painter->setPen(
            readableOn(palette.color(selected ? QPalette::HighlightedText : QPalette::Text),
                       background, palette));
        drawCellText(painter, cell, textOrigin, text);
        painter->restore();
        return;
    }

    QColor background = selected ? selectionShade : palette.color(QPalette::Base);
    QFont font = option.font;
    if (isOpenTaskDueToday(row)) {
        // Today's open task wins over the selection shade.
        background = dark ? DarkTodayShade : TodayShade;
        font.setBold(col == Col::Task);
    }
    painter->fillRect(cell, background);

    if (col == Col::Done) {
        QFont mark = option.font;
        mark.setPointSize(12);
        mark.setBold(true);
        mark.setItalic(true);
        painter->setFont(mark);
        painter->setPen(readableOn(DoneMarkColour, background, palette));
        drawCellText(painter, cell, QPoint(cell.left() - 3, cell.top() - 1), text);
        // An open repeating task: a small mark where the done mark would be, beside
        // the task it comes back for (the date column has no room to spare).
        if (text.trimmed().isEmpty() && m_repeats && m_repeats(row)) {
            QFont small = option.font;
            small.setPointSizeF(std::max(6.0, option.font.pointSizeF() - 1));
            painter->setFont(small);
            painter->setPen(
                readableOn(textColourFor(m_table->cell(Col::TextColor, row)), background, palette));
            painter->drawText(cell, Qt::AlignCenter, QString(QChar(0x21BB)));
        }
    } else {
        painter->setFont(font);
        painter->setPen(
            readableOn(textColourFor(m_table->cell(Col::TextColor, row)), background, palette));
        drawCellText(painter, cell, textOrigin, text);
    }
    painter->restore();
}
