#pragma once

#include <QDate>
#include <QFrame>
#include <QPoint>

class QCalendarWidget;
class QLabel;
class QScrollBar;
class QToolButton;

// The task editor's calendar panel (Panel1): a month calendar with its own month
// scroll and caption, and buttons to take or dismiss the date. It floats over the
// dialog's fields and can be dragged about within the dialog; the dialog decides
// where it stands (open or parked out of view).
class CalendarPanel : public QFrame
{
    Q_OBJECT
public:
    explicit CalendarPanel(QWidget *parent);

    // Shows date's day, month and year.
    void setDate(const QDate &date);
    QDate date() const;
    // Sizes the children for the current font: the designed sizes, or larger.
    void arrange(int rowHeight);
    // The keyboard goes to the month's days.
    void focusCalendar();
    // The buttons copy the dialog's captions, accelerators included; the dialog's
    // Alt+O and Alt+C stay its own Ok and Cancel.
    void dropButtonShortcuts();

signals:
    void takeRequested();
    void dismissRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // ScrollBar1's change: one month back (-1) or forward (+1).
    void ScrollBar1Change(int position);
    // "Dec - 2026": the locale's abbreviated month name and the year of the month shown.
    void refreshCaption();

    QLabel *Label6 = nullptr;
    QScrollBar *ScrollBar1 = nullptr;
    QCalendarWidget *Calendar1 = nullptr;
    QToolButton *SpeedButton4 = nullptr; // take the date
    QToolButton *SpeedButton3 = nullptr; // dismiss
    bool m_dragging = false;
    QPoint m_dragOffset;
};
