#include "CalendarPanel.h"

#include "EditorRules.h"

#include <QCalendarWidget>
#include <QKeySequence>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QScrollBar>
#include <QToolButton>

CalendarPanel::CalendarPanel(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("Panel1"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
    setAutoFillBackground(true);

    Label6 = new QLabel(this);
    Label6->setObjectName(QStringLiteral("Label6"));
    Label6->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    ScrollBar1 = new QScrollBar(Qt::Horizontal, this);
    ScrollBar1->setObjectName(QStringLiteral("ScrollBar1"));
    ScrollBar1->setRange(-1, 1);
    ScrollBar1->setPageStep(1);
    ScrollBar1->setValue(0);
    ScrollBar1->setToolTip(QStringLiteral("scrool months"));

    Calendar1 = new QCalendarWidget(this);
    Calendar1->setObjectName(QStringLiteral("Calendar1"));
    Calendar1->setFirstDayOfWeek(Qt::Monday);
    Calendar1->setGridVisible(false);
    Calendar1->setNavigationBarVisible(false);
    Calendar1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);

    SpeedButton4 = new QToolButton(this);
    SpeedButton4->setObjectName(QStringLiteral("SpeedButton4"));
    SpeedButton4->setText(QStringLiteral("ok"));
    SpeedButton3 = new QToolButton(this);
    SpeedButton3->setObjectName(QStringLiteral("SpeedButton3"));
    SpeedButton3->setText(QStringLiteral("cancel"));

    connect(ScrollBar1, &QScrollBar::valueChanged, this, &CalendarPanel::ScrollBar1Change);
    // A double click (or Enter) on a day takes it, like the "ok" button.
    connect(Calendar1, &QCalendarWidget::activated, this, &CalendarPanel::takeRequested);
    connect(SpeedButton4, &QToolButton::clicked, this, &CalendarPanel::takeRequested);
    connect(SpeedButton3, &QToolButton::clicked, this, &CalendarPanel::dismissRequested);
    connect(Calendar1, &QCalendarWidget::currentPageChanged, this, &CalendarPanel::refreshCaption);

    Label6->installEventFilter(this);
    installEventFilter(this);
    arrange(18);
}

void CalendarPanel::arrange(int rowHeight)
{
    const QSize calendar = Calendar1->minimumSizeHint().expandedTo(QSize(165, 89));
    const int width = qMax(174, calendar.width() + 9);
    ScrollBar1->setGeometry(5, 5, 38, 15);
    Calendar1->setGeometry(4, 24, calendar.width(), calendar.height());
    const int buttonsTop = 24 + calendar.height() + 1;
    const int buttonWidth =
        qMax(50, qMax(SpeedButton4->sizeHint().width(), SpeedButton3->sizeHint().width()));
    const int cancelLeft = width - 6 - buttonWidth;
    SpeedButton3->setGeometry(cancelLeft, buttonsTop, buttonWidth, rowHeight);
    SpeedButton4->setGeometry(cancelLeft - 6 - buttonWidth, buttonsTop, buttonWidth, rowHeight);
    const int captionLeft = ScrollBar1->geometry().right() + 6;
    Label6->setGeometry(captionLeft, 3, width - 6 - captionLeft,
                        qMax(19, Label6->sizeHint().height()));
    resize(width, buttonsTop + rowHeight + 4);
}

void CalendarPanel::setDate(const QDate &date)
{
    Calendar1->setCurrentPage(date.year(), date.month());
    Calendar1->setSelectedDate(date);
    refreshCaption();
}

QDate CalendarPanel::date() const
{
    return Calendar1->selectedDate();
}

void CalendarPanel::ScrollBar1Change(int position)
{
    // Putting the bar back to 0 reports a change too.
    if (position == 0)
        return;
    setDate(EditorRules::scrollMonth(date(), position));
    ScrollBar1->setValue(0);
}

void CalendarPanel::refreshCaption()
{
    // The month the calendar shows, which it may change by itself (a greyed day
    // of the next month, its own keys).
    Label6->setText(QLocale().monthName(Calendar1->monthShown(), QLocale::ShortFormat) +
                    QStringLiteral(" - ") + QString::number(Calendar1->yearShown()));
}

bool CalendarPanel::eventFilter(QObject *watched, QEvent *event)
{
    // A left press on the panel or on its caption drags the panel within the dialog.
    if (watched == this || watched == Label6) {
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseMove ||
            type == QEvent::MouseButtonRelease) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            const QPoint inParent =
                parentWidget()->mapFromGlobal(mouse->globalPosition().toPoint());
            if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
                m_dragging = true;
                m_dragOffset = inParent - pos();
                raise();
                return true;
            }
            if (type == QEvent::MouseMove && m_dragging) {
                move(inParent - m_dragOffset);
                return true;
            }
            if (type == QEvent::MouseButtonRelease && m_dragging) {
                m_dragging = false;
                return true;
            }
        }
    }
    return QFrame::eventFilter(watched, event);
}

void CalendarPanel::focusCalendar()
{
    Calendar1->setFocus();
}

void CalendarPanel::dropButtonShortcuts()
{
    SpeedButton4->setShortcut(QKeySequence());
    SpeedButton3->setShortcut(QKeySequence());
}
