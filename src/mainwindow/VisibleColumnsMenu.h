#pragma once

#include <QMenu>
#include <functional>

class TaskGrid;
class DateFormat;
class Clock;

// PopupMenu4, the header's context menu: one submenu that shows and hides the
// grid's visible columns. After a change it runs the owner's layout step.
class VisibleColumnsMenu : public QMenu
{
    Q_OBJECT
public:
    // The date services give the date column's default width (today's date in
    // the grid's font); without them it is the grid's own default.
    VisibleColumnsMenu(TaskGrid *grid, const DateFormat *dates, const Clock *clock,
                       std::function<void()> adjustLayout, QWidget *parent = nullptr);

    // The user hid the task column here (in this run, or in an earlier one whose
    // stored width is 0); the layout step then leaves it hidden.
    bool taskColumnHidden() const { return m_taskHidden; }
    void setTaskColumnHidden(bool hidden) { m_taskHidden = hidden; }

private:
    // Checks each item whose column is wider than 3 pixels (run before opening).
    void PopupMenu4Popup();
    // Hides a column 3 pixels wide or wider, shows any other at its default width.
    void pop4_VisibleColsClick(QAction *item);

    QMenu *pop4_VisibleCols = nullptr;
    QAction *pop4_DoneCol = nullptr;
    QAction *pop4_TaskDescript = nullptr;
    QAction *pop4_DateCol = nullptr;
    QAction *pop4_HourCol = nullptr;
    QAction *pop4_PriorityCol = nullptr;

    QAction *addColumnItem(const char *name, const QString &caption, int column);
    int defaultWidth(int column) const;

    TaskGrid *m_grid;
    const DateFormat *m_dates;
    const Clock *m_clock;
    std::function<void()> m_adjustLayout;
    bool m_taskHidden = false;
};
