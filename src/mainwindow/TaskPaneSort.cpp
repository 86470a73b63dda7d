// The task pane's sorting (the Sort menus and header clicks) and the mouse on its
// grid.
#include "TaskPane.h"

#include "VisibleColumnsMenu.h"
#include "platform/AppContext.h"
#include "store/Settings.h"
#include "store/TaskTable.h"
#include "tasks/TaskList.h"
#include "widgets/TaskGrid.h"

#include <QAction>
#include <QMenu>
#include <QScopedValueRollback>

void TaskPane::restoreSort()
{
    const Settings &s = *m_ctx.settings;
    const QString sorted = s.text(SettingKey::Sorted);
    int column = 0;
    if (sorted == QLatin1String("Task"))
        column = Col::Task;
    else if (sorted == QLatin1String("Date"))
        column = Col::SortKey;
    else if (sorted == QLatin1String("Hour"))
        column = Col::Hour;
    else if (sorted == QLatin1String("Pr"))
        column = Col::Priority;
    m_tasks.setSortState(column, s.integer(SettingKey::SortedOrdr));
    showSortState();
}

void TaskPane::showSortState()
{
    StringGrid1->setSortColumn(m_tasks.sortColumn());
    StringGrid1->setTag(m_tasks.sortTag());
}

void TaskPane::ApplySort()
{
    m_tasks.applySort();
    StringGrid1->setCurrentRow(1);
}

void TaskPane::reselectOrder(const QString &order)
{
    // A loaded task's order is its record's offset: compared as a number, no row's
    // cell is made. Any other order text is compared as text.
    bool isNumber = false;
    const qint64 offset = order.toLongLong(&isNumber);
    const bool plain = isNumber && QString::number(offset) == order;
    for (int r = 1; r < table().rowCount(); ++r) {
        if (plain ? table().holdsOrder(r, offset) : table().cell(Col::Order, r) == order) {
            StringGrid1->setCurrentRow(r);
            return;
        }
    }
}

void TaskPane::Sort1Click(QAction *sender)
{
    const QString order = table().cell(Col::Order, StringGrid1->currentRow());
    m_tasks.sortByCommand(sender->data().toInt());
    showSortState();
    StringGrid1->setCurrentRow(1);
    reselectOrder(order);
}

void TaskPane::StringGrid1MouseDown(Qt::MouseButton button, int row, const QPoint &globalPos)
{
    if (button == Qt::RightButton && row > 0 && row < table().rowCount()) {
        if (StringGrid1->selectionTop() == StringGrid1->selectionBottom())
            StringGrid1->setCurrentRow(row);
        ConfigureGridPopup(false);
        PopupMenu2->popup(globalPos);
    } else if (button == Qt::RightButton && row == 0) {
        PopupMenu4->popup(globalPos);
    } else if (button == Qt::LeftButton && row == 0 && StringGrid1->hoverCol() == Col::Date) {
        // The Date header sorts by the hidden sort-key column.
        StringGrid1->setHover(0, Col::SortKey);
    }
}

void TaskPane::StringGrid1MouseUp(Qt::MouseButton button, const QPoint &gridPos)
{
    if (StringGrid1->hoverRow() != 0 || button != Qt::LeftButton)
        return;
    int c = StringGrid1->hoverCol();
    if (c < 0)
        return;
    // A move between press and release records the Date header's own column again;
    // that header always sorts by the sort key, which orders dates by time.
    if (c == Col::Date)
        c = Col::SortKey;
    const QRect cell = StringGrid1->cellRect(c == Col::SortKey ? Col::Date : c, 0);
    // A release on or next to a column border ends a column-width drag.
    if (gridPos.x() >= cell.right() + 1 - 3 || gridPos.x() <= cell.left() + 3) {
        emit layoutWanted();
        return;
    }
    const QString order = table().cell(Col::Order, StringGrid1->currentRow());
    const QScopedValueRollback<bool> sorting(m_sortingByHeader, true);
    m_tasks.sortByHeader(c);
    showSortState();
    StringGrid1->setCurrentRow(1);
    reselectOrder(order);
    m_ctx.settings->setTexts({{SettingKey::Sorted, table().header(c)},
                              {SettingKey::SortedOrdr, QString::number(m_tasks.sortTag())}});
}

void TaskPane::StringGrid1DblClick()
{
    if (StringGrid1->hoverRow() == 0 || table().isEmpty())
        return;
    if (StringGrid1->hoverCol() == Col::Done)
        emit checkWanted();
    else
        emit editWanted();
}
