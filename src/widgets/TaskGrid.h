#pragma once

#include "RowGridView.h"

class DateFormat;
class Clock;
class QFontMetrics;
class QDate;
class TaskGridDelegate;

#include <functional>

// The main window's task grid over the task table, with the row numbering of
// RowGridView. Columns 5-9 carry data only and have width 0. Rows are 15 pixels
// high and the header 14, or taller when the font needs it.
class TaskGrid : public RowGridView
{
    Q_OBJECT
public:
    explicit TaskGrid(QWidget *parent = nullptr);
    ~TaskGrid() override;

    void setTable(TaskTable *table);
    // Painting needs the short date format and today's date.
    void setDateServices(const DateFormat *dates, const Clock *clock);
    // How the task of a table row repeats, in words; empty for one that does not.
    // A repeating task gets a mark in its done cell and its rule under its note.
    using RepeatWords = std::function<QString(int row)>;
    // Whether a row repeats (asked at every paint of its done cell, so cheap) and
    // its rule in words (asked for the tooltip).
    void setRepeats(std::function<bool(int row)> repeats, RepeatWords words);

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

    static constexpr int DefaultRowHeight = 15;
    static constexpr int DefaultHeaderHeight = 14;

    void setCurrentRow(int row); // also makes column 1 current; throws StoreError
                                 // "Grid index out of range" outside the table
    int selectionTop() const;
    int selectionBottom() const;
    // Selects rows top .. bottom with bottom current; throws as setCurrentRow.
    void selectRows(int top, int bottom);

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
    // (gridMousePressed comes after the hover cell is recorded.)
    // A mouse release: the position is in the grid widget's coordinates.
    void gridMouseReleased(Qt::MouseButton button, const QPoint &gridPos);
    // The current cell changed, by mouse, keyboard or a command.
    void currentCellChanged();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void noteMouseCell(const CellPos &cell) override { setHover(cell.row, cell.col); }
    bool headerMouseEvent(QMouseEvent *event, const QPoint &gridPos) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void handleMouseMove(const QPoint &gridPos);
    void checkRow(int row) const;

    TaskGridDelegate *m_delegate = nullptr;
    const DateFormat *m_dates = nullptr;
    const Clock *m_clock = nullptr;
    int m_sortColumn = 0;
    int m_tag = 0;
    int m_hoverRow = -1;
    int m_hoverCol = -1;
    bool m_showHints = true;
    QString m_hintText;
    RepeatWords m_repeatWords;
    bool m_hintShown = false; // once a row's note has been shown, it stays away in that row
};
