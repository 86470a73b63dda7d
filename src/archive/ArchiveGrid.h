#pragma once

#include "widgets/RowGridView.h"

// The archive viewer's grid over its own task table, with the row numbering of
// RowGridView. One row is selected at a time, always whole. Rows are 16 pixels
// high and the header 14, or taller when the font needs it. A column of width 0
// is hidden.
class ArchiveGrid : public RowGridView
{
    Q_OBJECT
public:
    explicit ArchiveGrid(QWidget *parent = nullptr);

    void setTable(TaskTable *table) { setSourceTable(table); }

    static constexpr int DefaultRowHeight = 16;
    static constexpr int DefaultHeaderHeight = 14;
    void setHeaderHeight(int designed) { setDesignedHeaderHeight(designed); }
    int headerHeight() const;

    int colWidth(int col) const;
    void setColWidth(int col, int width);

    void setCurrentRow(int row); // rows outside the table are ignored

protected:
    bool headerMouseEvent(QMouseEvent *event, const QPoint &gridPos) override;
    void restoreCurrentRow(int row) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};
