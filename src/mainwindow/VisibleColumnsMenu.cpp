#include "VisibleColumnsMenu.h"

#include "store/Clock.h"
#include "store/TaskTable.h"
#include "widgets/TaskGrid.h"

VisibleColumnsMenu::VisibleColumnsMenu(TaskGrid *grid, const DateFormat *dates, const Clock *clock,
                                       std::function<void()> adjustLayout, QWidget *parent)
    : QMenu(parent), m_grid(grid), m_dates(dates), m_clock(clock),
      m_adjustLayout(std::move(adjustLayout))
{
    setObjectName(QStringLiteral("PopupMenu4"));
    pop4_VisibleCols = addMenu(QStringLiteral("Visible cols :"));
    pop4_VisibleCols->setObjectName(QStringLiteral("pop4_VisibleCols"));
    pop4_DoneCol = addColumnItem("pop4_DoneCol", QStringLiteral("Done"), Col::Done);
    pop4_TaskDescript =
        addColumnItem("pop4_TaskDescript", QStringLiteral("Task descript."), Col::Task);
    pop4_DateCol = addColumnItem("pop4_DateCol", QStringLiteral("Date"), Col::Date);
    pop4_HourCol = addColumnItem("pop4_HourCol", QStringLiteral("Hour"), Col::Hour);
    pop4_PriorityCol = addColumnItem("pop4_PriorityCol", QStringLiteral("Priority"), Col::Priority);

    connect(this, &QMenu::aboutToShow, this, &VisibleColumnsMenu::PopupMenu4Popup);
}

QAction *VisibleColumnsMenu::addColumnItem(const char *name, const QString &caption, int column)
{
    QAction *item = pop4_VisibleCols->addAction(caption);
    item->setObjectName(QLatin1String(name));
    item->setCheckable(true);
    item->setData(column); // the column the item controls
    connect(item, &QAction::triggered, this, [this, item] { pop4_VisibleColsClick(item); });
    return item;
}

int VisibleColumnsMenu::defaultWidth(int column) const
{
    if (column == Col::Date && m_dates && m_clock)
        return TaskGrid::dateColumnWidth(m_grid->fontMetrics(), *m_dates, m_clock->today());
    return m_grid->defaultColWidth(column);
}

void VisibleColumnsMenu::PopupMenu4Popup()
{
    for (QAction *item : pop4_VisibleCols->actions())
        item->setChecked(m_grid->colWidth(item->data().toInt()) > 3);
}

void VisibleColumnsMenu::pop4_VisibleColsClick(QAction *item)
{
    // The check mark was toggled by the menu itself; the width decides what happens.
    const int column = item->data().toInt();
    if (m_grid->colWidth(column) >= 3)
        m_grid->setColWidth(column, 0);
    else
        m_grid->setColWidth(column, defaultWidth(column));
    if (column == Col::Task)
        m_taskHidden = m_grid->colWidth(column) == 0;
    if (m_adjustLayout)
        m_adjustLayout();
}
