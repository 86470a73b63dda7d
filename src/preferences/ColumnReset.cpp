#include "ColumnReset.h"

#include "mainwindow/TForm1.h"
#include "widgets/TaskGrid.h"
#include "store/TaskTable.h"

void resetColumnWidths(TForm1 &main)
{
    TaskGrid &grid = *main.StringGrid1;
    const int scrollBar =
        grid.visibleRowCount() < main.table().rowCount() - 1 ? grid.scrollBarExtent() : 0;
    grid.setColWidth(Col::Done, 12);
    grid.setColWidth(Col::Date, main.dateColumnDefaultWidth());
    grid.setColWidth(Col::Hour, 31);
    grid.setColWidth(Col::Priority, 12);
    grid.setColWidth(Col::Task, grid.width() - grid.colWidth(Col::Done) - grid.colWidth(Col::Date) -
                                    grid.colWidth(Col::Hour) - grid.colWidth(Col::Priority) -
                                    scrollBar - 6);
}
