#include "FitToFont.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Gap kept between a caption and the control on its right, and at the window's edge.
constexpr int Gap = 4;

struct Item
{
    QWidget *widget;
    QRect design;
    int available = 0; // design width up to the right-hand neighbour or the edge
};

bool isRule(const QWidget *w)
{
    return !qobject_cast<const QLabel *>(w) && qobject_cast<const QFrame *>(w);
}

QString withoutAccelerators(QString text)
{
    text.replace(QLatin1String("&&"), QString(QChar(0x1)));
    text.remove(QLatin1Char('&'));
    text.replace(QChar(0x1), QLatin1Char('&'));
    return text;
}

// Width a control's text needs, in pixels of the current font; 0 for none.
int neededWidth(const QWidget *w)
{
    const QFontMetrics fm = w->fontMetrics();
    if (qobject_cast<const QCheckBox *>(w) || qobject_cast<const QLabel *>(w))
        return w->sizeHint().width();
    if (auto *b = qobject_cast<const QPushButton *>(w))
        return fm.horizontalAdvance(withoutAccelerators(b->text())) + 8;
    if (auto *c = qobject_cast<const QComboBox *>(w)) {
        int widest = 0;
        for (int i = 0; i < c->count(); ++i)
            widest = std::max(widest, fm.horizontalAdvance(c->itemText(i)));
        return widest + 28; // frame and drop-down arrow
    }
    return 0;
}

int neededHeight(const QWidget *w)
{
    const int text = w->fontMetrics().height();
    // A check box's own size hint adds margins the row pitch never had room for:
    // its text and its indicator must fit, nothing more.
    if (qobject_cast<const QCheckBox *>(w))
        return std::max(text, w->style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, w));
    if (qobject_cast<const QLabel *>(w))
        return text;
    if (qobject_cast<const QPushButton *>(w))
        return text + 2;
    if (qobject_cast<const QComboBox *>(w) || qobject_cast<const QLineEdit *>(w))
        return text + 4;
    return 0;
}

bool stretchesToNeighbour(const QWidget *w)
{
    return qobject_cast<const QCheckBox *>(w) != nullptr;
}

int scaled(int v, double factor)
{
    return int(std::lround(v * factor));
}

} // namespace

void fitDesignToFont(QWidget *window, const QSize &designClientSize)
{
    std::vector<Item> items;
    for (QWidget *w : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (!w->isWindow())
            items.push_back({w, w->geometry()});

    for (Item &item : items) {
        const int middle = item.design.top() + item.design.height() / 2;
        int right = designClientSize.width() - Gap;
        for (const Item &other : items) {
            if (&other == &item || isRule(other.widget) ||
                other.design.left() <= item.design.left())
                continue;
            if (middle >= other.design.top() && middle <= other.design.bottom())
                right = std::min(right, other.design.left() - Gap);
        }
        item.available = std::max(1, right - item.design.left());
    }

    double across = 1.0;
    double down = 1.0;
    for (const Item &item : items) {
        const int width = stretchesToNeighbour(item.widget) || qobject_cast<QLabel *>(item.widget)
                              ? item.available
                              : item.design.width();
        if (const int need = neededWidth(item.widget))
            across = std::max(across, double(need) / std::max(1, width));
        if (const int need = neededHeight(item.widget))
            down = std::max(down, double(need) / std::max(1, item.design.height()));
    }

    for (const Item &item : items) {
        const QRect d = item.design;
        const int left = scaled(d.left(), across);
        const int top = scaled(d.top(), down);
        int width = scaled(d.left() + d.width(), across) - left;
        int height = isRule(item.widget) ? d.height() : scaled(d.top() + d.height(), down) - top;
        if (stretchesToNeighbour(item.widget))
            width = scaled(d.left() + item.available, across) - left;
        if (qobject_cast<QLabel *>(item.widget))
            width = item.widget->sizeHint().width();
        item.widget->setGeometry(left, top, width, height);
    }
    window->setFixedSize(scaled(designClientSize.width(), across),
                         scaled(designClientSize.height(), down));
}
