#pragma once

#include <QWidget>
#include <functional>
#include <vector>

class QAction;
class QFrame;
class QMenu;
class QPlainTextEdit;
class TaskGrid;
class TaskList;
class TaskTable;
class VisibleColumnsMenu;
struct AppContext;

// The main window's view of the task list: the task grid and the notes pane under
// it, the grid's context menus, and what the mouse does on the grid (a header
// click sorts, a right press opens a menu, a double click ticks or edits). The
// window works on it through the small interface below; the grid menu's commands
// that are the window's (edit, delete, archive, the dialogs) come out as signals.
class TaskPane : public QWidget
{
    Q_OBJECT
public:
    TaskPane(AppContext &ctx, TaskList &tasks, QWidget *parent = nullptr);

    // --- The selection: rows of the task table (row 1 is the first task).
    int currentRow() const;
    int selectionTop() const;
    int selectionBottom() const;
    // Makes row current; throws "Grid index out of range" outside the table.
    void selectRow(int row);
    void focusGrid();
    // Paints the rows again: a tick, or a new day for today's highlight.
    void repaintGrid();

    // --- Sorting
    // The sort of the last header click ("Sorted", "SortedOrdr"), read at start-up.
    void restoreSort();
    // The sort state applied to the table again; row 1 becomes current.
    void ApplySort();
    // Adds a "Sort" submenu named `name` to `menu`, its items named `name` + "ByTask"
    // and so on: the View menu's and the grid menu's are built here alike.
    void addSortMenu(QMenu *menu, const char *name);

    // --- Columns
    // The date column as wide as today's date in the grid's font (the date format
    // is settled by then).
    void fitDateColumn();
    // Column 1 takes the room the others leave.
    void layoutColumns();
    // The stored widths ("ColumnWidths") when custom widths are on; a value that
    // does not read leaves the defaults and is told.
    void restoreColumnWidths();
    // Writes "ColumnWidths": the widths shown, or the defaults without custom widths.
    void storeColumnWidths();
    void resetColumnWidths();
    // Every column's width and the width the rows are shown in (the listings).
    std::vector<int> columnWidths() const;
    int rowsWidth() const;

    // --- The notes pane, which takes its room from the grid
    void showNotes(int height);
    void hideNotes();
    void setNotesHeight(int height);
    bool notesHaveFocus() const;

    // --- The grid's context menu and hints
    // The toolbar's form (sort, preferences, about) or a task row's (edit,
    // delete, archive, sort, preferences).
    void ConfigureGridPopup(bool toolbarForm);
    void popupGridMenu(const QPoint &globalPos);
    // With neither menu bar nor toolbar, the grid menu offers the about box too.
    void updateGridPopupExtras();
    void setShowNoteHints(bool on);
    void clearHint();

signals:
    void editWanted();
    void checkWanted();
    void deleteWanted();
    void archiveWanted();
    void preferencesWanted();
    void aboutWanted();
    // "Hide note's pane": the window's notes-pane switch.
    void notesSwitchWanted();
    // The grid's size or a column's width changed: the window's layout step.
    void layoutWanted();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildGrid();
    void buildPopupMenus();
    bool guarded(const std::function<void()> &handler);
    TaskTable &table() const;
    bool gridPopupNeedsExtras() const;
    int dateColumnDefaultWidth() const;

    // Handlers
    void StringGrid1MouseDown(Qt::MouseButton button, int row, const QPoint &globalPos);
    void StringGrid1MouseUp(Qt::MouseButton button, const QPoint &gridPos);
    void StringGrid1Click();
    void StringGrid1DblClick();
    void Sort1Click(QAction *sender);
    void reselectOrder(const QString &order);
    void showSortState();

    // Components, named as in the window's design.
    TaskGrid *StringGrid1 = nullptr;
    QFrame *Bevel6 = nullptr;
    QPlainTextEdit *Memo_notes = nullptr;
    QMenu *PopupMenu2 = nullptr;
    QAction *pop2_EditTask = nullptr, *pop2_Deletetask = nullptr, *pop2_Archivetask = nullptr,
            *pop2_N9 = nullptr, *pop2_N1 = nullptr, *pop2_About = nullptr;
    QMenu *PopupMenu3 = nullptr;
    VisibleColumnsMenu *PopupMenu4 = nullptr;

    AppContext &m_ctx;
    TaskList &m_tasks;
    bool m_notesShown = false;
    bool m_sortingByHeader = false;
};
