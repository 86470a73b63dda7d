#include "ColourComboBox.h"

#include "widgets/TextColours.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStylePainter>
#include <QStyledItemDelegate>

const QString ColourComboBox::DefaultItemText = QStringLiteral("default  ");

namespace {

class ColourItemDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        painter->fillRect(option.rect,
                          option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
        QPalette palette = option.palette;
        if (selected)
            palette.setColor(QPalette::Text, option.palette.color(QPalette::HighlightedText));
        painter->setFont(option.font);
        ColourComboBox::ComboBox3DrawItem(*painter, option.rect, index.row(), palette);
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        // Items are 12 pixels high, or as high as the words need.
        const QSize text = QStyledItemDelegate::sizeHint(option, index);
        return QSize(text.width(), qMax(12, option.fontMetrics.height()));
    }
};

} // namespace

ColourComboBox::ColourComboBox(QWidget *parent) : QComboBox(parent)
{
    setItemDelegate(new ColourItemDelegate(this));
}

void ColourComboBox::ComboBox3DrawItem(QPainter &painter, const QRect &rect, int index,
                                       const QPalette &palette)
{
    if (index >= DefaultTextColour) {
        painter.setPen(palette.color(QPalette::Text));
        painter.drawText(rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, DefaultItemText);
        return;
    }
    // The swatch is the colour itself, so that black and gray stay apart under a
    // dark palette too (the grid lightens both); there an outline in the text
    // colour keeps a dark swatch from melting into the list.
    const QRect swatch = rect.adjusted(1, 1, -1, 0);
    painter.fillRect(swatch, textColour(index));
    if (isDarkPalette(palette)) {
        painter.save();
        painter.setPen(palette.color(QPalette::Text));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(swatch.adjusted(0, 0, -1, -1));
        painter.restore();
    }
}

void ColourComboBox::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    if (currentIndex() < 0)
        return;
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    // The words sit on the field's middle; a swatch fills the field.
    const QRect item =
        currentIndex() >= DefaultTextColour
            ? QRect(field.left(), field.top() + (field.height() - fontMetrics().height()) / 2,
                    field.width(), fontMetrics().height())
            : field.adjusted(0, 1, 0, -1);
    painter.setClipRect(field);
    ComboBox3DrawItem(painter, item, currentIndex(), palette());
}
