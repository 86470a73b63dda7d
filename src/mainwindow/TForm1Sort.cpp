// Sorting, the category filter and the search of the task list.
#include "TForm1.h"

#include "store/Settings.h"
#include "store/TaskTable.h"
#include "tasks/TaskList.h"
#include "widgets/TaskGrid.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QScopedValueRollback>

int TForm1::sortColumn() const
{
    return m_tasks.sortColumn();
}

int TForm1::sortTag() const
{
    return m_tasks.sortTag();
}

void TForm1::showSortState()
{
    StringGrid1->setSortColumn(m_tasks.sortColumn());
    StringGrid1->setTag(m_tasks.sortTag());
}

void TForm1::ApplySort()
{
    m_tasks.applySort();
    StringGrid1->setCurrentRow(1);
}

void TForm1::tasksChanged()
{
    if (m_tasks.loaded())
        setWindowTitle(taskCountCaption(*m_table));
    StringGrid1->setCurrentRow(1);
    AdjustLayout();
}

void TForm1::reselectOrder(const QString &order)
{
    // A loaded task's order is its record's offset: compared as a number, no row's
    // cell is made. Any other order text is compared as text.
    bool isNumber = false;
    const qint64 offset = order.toLongLong(&isNumber);
    const bool plain = isNumber && QString::number(offset) == order;
    for (int r = 1; r < m_table->rowCount(); ++r) {
        if (plain ? m_table->holdsOrder(r, offset) : m_table->cell(Col::Order, r) == order) {
            StringGrid1->setCurrentRow(r);
            return;
        }
    }
}

void TForm1::Sort1Click(QAction *sender)
{
    const QString order = m_table->cell(Col::Order, StringGrid1->currentRow());
    int column = 0;
    if (sender == Menu_SortByTask || sender == pop2_SortByTask)
        column = Col::Task;
    else if (sender == Menu_SortByDate || sender == pop2_SortByDate)
        column = Col::SortKey;
    else if (sender == Menu_SortByHour || sender == pop2_SortByHour)
        column = Col::Hour;
    else if (sender == Menu_SortByCategory || sender == pop2_SortByCategory)
        column = Col::Category;
    m_tasks.sortByCommand(column);
    showSortState();
    StringGrid1->setCurrentRow(1);
    reselectOrder(order);
}

void TForm1::StringGrid1MouseUp(Qt::MouseButton button, const QPoint &gridPos)
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
        AdjustLayout();
        return;
    }
    const QString order = m_table->cell(Col::Order, StringGrid1->currentRow());
    const QScopedValueRollback<bool> sorting(m_sortingByHeader, true);
    m_tasks.sortByHeader(c);
    showSortState();
    StringGrid1->setCurrentRow(1);
    reselectOrder(order);
    m_ctx.settings->setTexts({{SettingKey::Sorted, m_table->header(c)},
                              {SettingKey::SortedOrdr, QString::number(sortTag())}});
}

void TForm1::ComboBox1Change()
{
    m_tasks.show(ComboBox1->currentText());
    StringGrid1->clearHint();
    tasksChanged();
    // The item of the same name, found by its caption: names that differ only in
    // case have one selector entry but a menu item each.
    const QList<QAction *> items = Menu_Category->actions();
    const QString current = ComboBox1->currentText();
    int checked = ComboBox1->currentIndex() == 0 ? 3 : -1;
    for (int i = 4; i < items.size() && checked < 0; ++i)
        if (items[i]->text() == current)
            checked = i;
    for (int i = 3; i < items.size(); ++i)
        items[i]->setChecked(i == checked);
    StringGrid1->setFocus();
}

void TForm1::Menu_AllItemsClick()
{
    ComboBox1->setCurrentIndex(0);
    ComboBox1Change();
}

void TForm1::categoryMenuItemClick(QAction *item)
{
    const int index = ComboBox1->findText(item->text(), Qt::MatchFixedString);
    if (index >= 0)
        ComboBox1->setCurrentIndex(index);
    ComboBox1Change();
}
