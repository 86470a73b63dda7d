// The task editor's arrangement: the designed positions and sizes, grown where the
// desktop's font needs more room (taller rows, wider labels and lists), and the
// resize rules that follow the dialog's size.
#include "TFormAddEdit.h"

#include "CalendarPanel.h"
#include "ColourComboBox.h"
#include "RepeatChoice.h"
#include "store/DateFormat.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>

#include <algorithm>

namespace {

// The designed layout: rows 18 pixels high, the field column at 37.
constexpr int DesignRowHeight = 18;
constexpr int DesignFieldLeft = 37;
constexpr int SpinnerWidth = 16;

int widest(std::initializer_list<QWidget *> widgets)
{
    int w = 0;
    for (QWidget *x : widgets)
        w = qMax(w, x->sizeHint().width());
    return w;
}

} // namespace

void TFormAddEdit::arrange()
{
    const QFontMetrics fm = fontMetrics();
    const int rowHeight =
        std::max({DesignRowHeight, Edit1->sizeHint().height(), ComboBox1->sizeHint().height(),
                  Button_ok->sizeHint().height()});
    const int e = m_grow = rowHeight - DesignRowHeight;
    const int tops[4] = {3, 23 + e, 44 + 2 * e, 65 + 3 * e};
    std::copy(std::begin(tops), std::end(tops), std::begin(m_rowTop));

    // Labels "Task:", "Date:", "Time:", "Note:" and the field column after them.
    const int labelWidth = widest({Label1, Label2, Label7, Label5});
    const int left = m_fieldLeft = qMax(DesignFieldLeft, 4 + labelWidth + 4);
    QLabel *const rowLabels[4] = {Label1, Label2, Label7, Label5};
    for (int r = 0; r < 4; ++r)
        rowLabels[r]->setGeometry(4, tops[r], labelWidth, rowHeight);

    Edit1->setGeometry(left, tops[0], Edit1->width(), rowHeight);

    // Date field and the calendar button at its right edge.
    const int dateText = qMax(fm.horizontalAdvance(Edit3->displayText()),
                              fm.horizontalAdvance(m_ctx.dates->shortDate(QDate(2000, 12, 28))));
    const int dateWidth = qMax(62, dateText + 14);
    Edit3->setGeometry(left, tops[1], dateWidth, rowHeight);
    Image1->setGeometry(left + dateWidth - 1, tops[1], 14, rowHeight);

    // Hour and minutes, each with its spinner inside the field's right end.
    const int digits = fm.horizontalAdvance(QStringLiteral("00")) + 12 + SpinnerWidth;
    const int hourWidth = qMax(36, digits);
    Edit2->setGeometry(left, tops[2], hourWidth, rowHeight);
    ScrollBar2->setGeometry(left + hourWidth - 17, tops[2] + 1, SpinnerWidth, rowHeight - 2);
    const int minuteLeft = left + hourWidth + 4;
    const int minuteWidth = qMax(35, digits);
    Edit4->setGeometry(minuteLeft, tops[2], minuteWidth, rowHeight);
    ScrollBar3->setGeometry(minuteLeft + minuteWidth - 17, tops[2] + 1, SpinnerWidth,
                            rowHeight - 2);
    const int leftGroupRight = qMax(Image1->geometry().right() + 1, minuteLeft + minuteWidth);

    // "Txt Color:" and "Category:" right-aligned before their lists at 168.
    const int middleLabel = widest({Label8, Label9});
    const int listLeft = qMax(168 + left - DesignFieldLeft, leftGroupRight + 3 + middleLabel + 3);
    Label8->setGeometry(listLeft - 3 - middleLabel, tops[1], middleLabel, rowHeight);
    Label9->setGeometry(listLeft - 3 - middleLabel, tops[2], middleLabel, rowHeight);
    const int colourWidth = qMax(48, ComboBox3->sizeHint().width());
    ComboBox3->setGeometry(listLeft, tops[1], colourWidth, rowHeight);

    // "Priority:" and its list at 261.
    const int priorityLabel = Label3->sizeHint().width();
    const int priorityLeft = qMax(listLeft + 93, listLeft + colourWidth + 3 + priorityLabel + 3);
    Label3->setGeometry(priorityLeft - 3 - priorityLabel, tops[1], priorityLabel, rowHeight);
    ComboBox1->setGeometry(priorityLeft, tops[1], qMax(39, ComboBox1->sizeHint().width()),
                           rowHeight);

    ComboBox2->setGeometry(listLeft, tops[2], 114, rowHeight);
    SpeedButton5->setGeometry(listLeft + 115, tops[2],
                              qMax(18, fm.horizontalAdvance(SpeedButton5->text()) + 6), rowHeight);

    Memo1->move(left, tops[3]);
    const QFontMetrics bold(Label4->font());
    Label4->setGeometry(24, tops[3] + 49 + e, qMax(7, bold.horizontalAdvance(QChar(0xD7)) + 2),
                        bold.height());

    Button_ok->resize(qMax(81, Button_ok->sizeHint().width()), rowHeight);
    Button_cancel->resize(qMax(74, Button_cancel->sizeHint().width()), rowHeight);
    Panel1->arrange(rowHeight);
    // "Repeat" on the buttons' row, left of them: nothing the design placed moves.
    m_repeatRight = m_repeat->arrange(4, left, Button_ok->y(), rowHeight, Button_ok->x() - 6);

    applySizeLimits();
    FormResize();
}

int TFormAddEdit::designClientHeight() const
{
    // The bottom of Cancel at its designed place (top 132) + 3.
    return 132 + 3 * m_grow + Button_cancel->height() + 3;
}

void TFormAddEdit::applySizeLimits()
{
    // The limits are for the outer window; the client area is that less the
    // frame and caption (estimated until the window manager has framed us).
    QSize decoration = frameGeometry().size() - size();
    if (decoration.height() <= 0)
        decoration = QSize(0, style()->pixelMetric(QStyle::PM_TitleBarHeight));
    const QScreen *s = screen();
    const QRect screenRect = s ? s->geometry() : QRect(0, 0, 1024, 768);

    const int listsRight =
        qMax(SpeedButton5->geometry().right() + 1 + 33, ComboBox1->geometry().right() + 1 + 23);
    const int buttonsWidth = 182 + (Button_cancel->width() - 74) + (Button_ok->width() - 81);
    const int minWidth =
        std::max({listsRight, m_fieldLeft + 282 + 4, m_repeatRight + 6 + buttonsWidth});
    // Room for the note's first lines and for the open calendar panel.
    const int contentHeight =
        qMax(m_rowTop[3] + 2 * (DesignRowHeight + m_grow) + 25 + m_grow, 14 + Panel1->height() + 2);
    const int minHeight = qMax(190 - decoration.height(), contentHeight);
    setMinimumSize(minWidth, minHeight);
    setMaximumSize(qMax(minWidth, screenRect.width() / 2 - decoration.width()),
                   qMax(minHeight, screenRect.height() - 20 - decoration.height()));
}

void TFormAddEdit::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

void TFormAddEdit::FormResize()
{
    if (!Button_ok)
        return;
    const int h = height();
    const int w = width();
    // The design's rules, with the room a larger font took added in.
    const int dx = m_fieldLeft - DesignFieldLeft;
    const int cancelGrowth = Button_cancel->width() - 74;
    const int okGrowth = Button_ok->width() - 81;
    Button_ok->move(Button_ok->x(), h - Button_ok->height() - 4);
    Button_cancel->move(Button_cancel->x(), Button_ok->y());
    Memo1->resize(w - 41 - dx, h - Memo1->y() - 25 - m_grow);
    Edit1->resize(w - 60 - dx, Edit1->height());
    Button_cancel->move(Edit1->width() - 37 + dx - cancelGrowth, Button_cancel->y());
    Button_ok->move(Edit1->width() - 122 + dx - cancelGrowth - okGrowth, Button_ok->y());
    m_repeat->arrange(4, m_fieldLeft, Button_ok->y(), Button_ok->height(), Button_ok->x() - 6);
}
