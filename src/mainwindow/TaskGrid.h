#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QTableView>

class TaskTable;
class DateFormat;
class Clock;
class QAbstractProxyModel;
class QFontMetrics;
class QDate;
class TaskGridHeader;
class TaskGridDelegate;

// The main window's task grid over the task table. Row numbers in this interface
// are the table's own: 0 is the header row, 1 .. rowCount-1 the tasks; -1 means
// "outside every cell". Columns 5-9 carry data only and have width 0.
// Cells are painted in the application font at GridFontPointSize, or a half point
// smaller at a time (down to MinGridFontPointSize) until "00:00" fits the designed
// 31-pixel hour column. Rows are 15 pixels high and the header 14, or taller when
// the font needs it.
class TaskGrid : public QTableView
{
    Q_OBJECT
public:
    explicit TaskGrid(QWidget *parent = nullptr);
    ~TaskGrid() override;

    void setTable(TaskTable *table);
    TaskTable *table() const { return m_table; }
    // Painting needs the short date format and today's date.
    void setDateServices(const DateFormat *dates, const Clock *clock);

    // Sort state shown by the header's arrow. sortTag is the grid's tag value:
    // 1 = the next sort command sorts ascending, 0 = descending.
    void setSortColumn(int column);
    int sortColumn() const { return m_sortColumn; }
    void setTag(int tag);
    int tag() const { return m_tag; }

    int colWidth(int col) const;
    void setColWidth(int col, int width); // columns 5-9 stay at 0
    // The width a column gets when it is shown again; the date column's follows
    // the grid font and today's date (without date services it is 61).
    int defaultColWidth(int col) const;
    // Today's date as "dd/mm/yyyy" in the given font, plus 6.
    static int dateColumnWidth(const QFontMetrics &metrics, const DateFormat &dates,
                               const QDate &today);

    static constexpr qreal GridFontPointSize = 8;
    static constexpr qreal MinGridFontPointSize = 6.5;
    static QFont gridFont(const QFont &applicationFont);
    static constexpr int DefaultRowHeight = 15;
    static constexpr int DefaultHeaderHeight = 14;

    // The grid's current row (1 .. rowCount-1).
    int currentRow() const;
    void setCurrentRow(int row); // also makes column 1 current; throws StoreError
                                 // "Grid index out of range" outside the table
    int selectionTop() const;
    int selectionBottom() const;
    // Selects rows top .. bottom with bottom current; throws as setCurrentRow.
    void selectRows(int top, int bottom);

    // Whole task rows the viewport shows.
    int visibleRowCount() const;
    // The vertical scroll bar width, taken when rows overflow.
    int scrollBarExtent() const;

    struct CellPos
    {
        int col = -1;
        int row = -1;
    };
    // A point in the grid widget's own coordinates (the header row included).
    CellPos cellAt(const QPoint &gridPos) const;
    // The rectangle of a cell in the grid widget's own coordinates; row 0 is the header.
    QRect cellRect(int col, int row) const;

    // The cell under the last mouse press or move.
    int hoverRow() const { return m_hoverRow; }
    int hoverCol() const { return m_hoverCol; }
    void setHover(int row, int col);

    // Notes as tooltips over rows (the "ShowHints" preference).
    void setShowNoteHints(bool on);
    bool showNoteHints() const { return m_showHints; }
    // Clears the tooltip text (a filter change).
    void clearHint();
    QString hintText() const { return m_hintText; }

signals:
    // A mouse press anywhere on the grid (header included), after hover is recorded.
    void gridMousePressed(Qt::MouseButton button, int col, int row, const QPoint &globalPos);
    // A mouse release: the position is in the grid widget's coordinates.
    void gridMouseReleased(Qt::MouseButton button, const QPoint &gridPos);
    void gridDoubleClicked();
    // The current cell changed, by mouse, keyboard or a command.
    void currentCellChanged();

protected:
    bool viewportEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void handleMouseMove(const QPoint &gridPos);
    void applyFontMetrics();
    void checkRow(int row) const;
    void restoreCurrentRow();

    TaskTable *m_table = nullptr;
    QAbstractProxyModel *m_proxy = nullptr;
    TaskGridHeader *m_header = nullptr;
    TaskGridDelegate *m_delegate = nullptr;
    int m_rowBeforeReset = 0; // a view row
    const DateFormat *m_dates = nullptr;
    const Clock *m_clock = nullptr;
    int m_sortColumn = 0;
    int m_tag = 0;
    int m_hoverRow = -1;
    int m_hoverCol = -1;
    bool m_showHints = true;
    QString m_hintText;
};
