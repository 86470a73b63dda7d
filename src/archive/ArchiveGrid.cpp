#include "ArchiveGrid.h"

#include "ArchiveGridModel.h"
#include "store/TaskTable.h"
#include "widgets/TaskGridHeader.h"

#include <QMouseEvent>
#include <algorithm>

ArchiveGrid::ArchiveGrid(QWidget *parent)
    : RowGridView(new ArchiveGridModel, DefaultRowHeight, DefaultHeaderHeight, parent)
{
    header()->setSortState(-1, -1); // the viewer shows no sort arrow
    setSelectionMode(SingleSelection);
}

int ArchiveGrid::headerHeight() const
{
    return header()->height();
}

int ArchiveGrid::colWidth(int col) const
{
    return header()->isSectionHidden(col) ? 0 : header()->sectionSize(col);
}

void ArchiveGrid::setColWidth(int col, int width)
{
    width = std::max(width, 0);
    header()->setSectionHidden(col, width == 0);
    if (width > 0)
        header()->resizeSection(col, width);
}

void ArchiveGrid::setCurrentRow(int row)
{
    if (!table() || row < 1 || row >= table()->rowCount())
        return;
    selectOnly(row);
    scrollTo(taskIndex(row, Col::Task));
}

void ArchiveGrid::restoreCurrentRow(int row)
{
    setCurrentRow(row);
}

bool ArchiveGrid::headerMouseEvent(QMouseEvent *event, const QPoint &gridPos)
{
    if (event->type() != QEvent::MouseButtonPress)
        return false;
    const CellPos cell = cellAt(gridPos);
    emit gridMousePressed(event->button(), cell.col, cell.row, event->globalPosition().toPoint());
    return true; // a header press never selects or resizes: it sorts, through the owner
}

void ArchiveGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    const CellPos cell = cellAt(gridPosOf(event));
    event->accept();
    if (event->button() == Qt::LeftButton && cell.row > 0)
        emit gridDoubleClicked();
}
