#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QTableView>

class TaskTable;
class TaskGridModel;
class TaskGridHeader;
class QMouseEvent;

// A grid over a task table, seen through a model that turns the table's row 0
// into the header. Row numbers in this interface are the table's own: 0 is the
// header row, 1 .. rowCount-1 the tasks; -1 means "outside every cell". Whole rows
// are selected. Cells are painted in the application font at GridFontPointSize, or
// a half point smaller at a time (down to MinGridFontPointSize) until "00:00" fits
// the designed hour column. Rows and the header have their designed heights, or
// more when the font needs it.
class RowGridView : public QTableView
{
    Q_OBJECT
public:
    TaskTable *table() const { return m_table; }

    static constexpr qreal GridFontPointSize = 8;
    static constexpr qreal MinGridFontPointSize = 6.5;
    static constexpr int DesignedHourWidth = 31;
    static QFont gridFont(const QFont &applicationFont);

    // The current row (1 .. rowCount-1); row 1 before anything was chosen.
    int currentRow() const;

    // Whole task rows the viewport shows.
    int visibleRowCount() const;
    // The vertical scroll bar width, taken when rows overflow.
    int scrollBarExtent() const;

    struct CellPos
    {
        int col = -1;
        int row = -1;
    };
    // Typing does not jump to a row: only the window's own keys act.
    void keyboardSearch(const QString &) override {}

    // A point in the grid widget's own coordinates (the header row included).
    CellPos cellAt(const QPoint &gridPos) const;
    // The rectangle of a cell in the grid widget's own coordinates; row 0 is the header.
    QRect cellRect(int col, int row) const;

signals:
    // A mouse press on the grid (header included), after noteMouseCell.
    void gridMousePressed(Qt::MouseButton button, int col, int row, const QPoint &globalPos);
    void gridDoubleClicked();

protected:
    // The view takes ownership of proxy.
    RowGridView(TaskGridModel *proxy, int designedRowHeight, int designedHeaderHeight,
                QWidget *parent);

    void setSourceTable(TaskTable *table);
    TaskGridModel *proxy() const { return m_proxy; }
    TaskGridHeader *header() const { return m_header; }
    // The model index of a task cell by table row.
    QModelIndex taskIndex(int row, int col) const;
    // Makes a table row current and the only one selected.
    void selectOnly(int row);

    void setDesignedHeaderHeight(int designed);

    // Where a mouse event on the viewport falls, in the grid widget's coordinates.
    QPoint gridPosOf(const QMouseEvent *event) const;

    // Subclasses remember or ignore the cell a press or double click lands on.
    virtual void noteMouseCell(const CellPos &) {}
    // A mouse event on the header; true consumes it.
    virtual bool headerMouseEvent(QMouseEvent *, const QPoint &) { return false; }
    // After a model reset: the table row that was current, kept within the rows.
    virtual void restoreCurrentRow(int row);

    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void applyFontMetrics();

    TaskTable *m_table = nullptr;
    TaskGridModel *m_proxy = nullptr;
    TaskGridHeader *m_header = nullptr;
    const int m_designedRowHeight;
    int m_designedHeaderHeight;
    int m_rowBeforeReset = 0; // a view row
};
