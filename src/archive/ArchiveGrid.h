#pragma once

#include <QPoint>
#include <QRect>
#include <QTableView>

class TaskTable;
class ArchiveGridModel;
class TaskGridHeader;

// The archive viewer's grid over its own task table. Row numbers here are the
// table's: 0 the header row, 1 .. rowCount-1 the archived tasks; -1 is outside
// every cell. One row is selected at a time, always whole. Rows are 16 pixels high
// and the header 14, or taller when the font needs it. A column of width 0 is hidden.
class ArchiveGrid : public QTableView
{
    Q_OBJECT
public:
    explicit ArchiveGrid(QWidget *parent = nullptr);

    void setTable(TaskTable *table);
    TaskTable *table() const { return m_table; }

    static constexpr int DefaultRowHeight = 16;
    static constexpr int DefaultHeaderHeight = 14;
    void setHeaderHeight(int designed);
    int headerHeight() const;

    int colWidth(int col) const;
    void setColWidth(int col, int width);

    // 1 .. rowCount-1; row 1 before anything was chosen.
    int currentRow() const;
    void setCurrentRow(int row); // rows outside the table are ignored

    // Whole data rows the viewport shows, and the width of the vertical scroll bar.
    int visibleRowCount() const;
    int scrollBarExtent() const;

    struct CellPos
    {
        int col = -1;
        int row = -1;
    };
    // A point in the grid widget's own coordinates, the header row included.
    CellPos cellAt(const QPoint &gridPos) const;
    QRect cellRect(int col, int row) const;

signals:
    // Any mouse press on the grid, header included.
    void gridMousePressed(Qt::MouseButton button, int col, int row, const QPoint &globalPos);
    // A double click on a data row.
    void gridDoubleClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void applyFontMetrics();
    void restoreCurrentRow();

    TaskTable *m_table = nullptr;
    ArchiveGridModel *m_proxy = nullptr;
    TaskGridHeader *m_header = nullptr;
    int m_designedHeaderHeight = DefaultHeaderHeight;
    int m_rowBeforeReset = 0; // a view row
};
