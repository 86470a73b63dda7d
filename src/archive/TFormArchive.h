#pragma once

#include "platform/AppContext.h"

#include <QDialog>
#include <functional>

class QAction;
class QMenu;
class QPushButton;
class QToolButton;
class ArchiveGrid;
class TaskTable;
class TaskList;
class TFormArchOptions;

// The archive viewer: the tasks held in the archive file, moved back into the task
// list ("Unarchive") or deleted for good, sorted by a header click, printed. It
// reloads from the file at every showing and after every change, and rewrites the
// file compactly, in the order shown, whenever it closes.
class TFormArchive : public QDialog
{
    Q_OBJECT
public:
    TFormArchive(AppContext &ctx, TaskList &tasks, QWidget *parent);

    TaskTable &table() { return *m_table; }
    QString archiveFileName() const { return m_archiveFileName; }
    QString archiveBaseCaption() const { return m_archiveBaseCaption; }
    int clientWidth() const { return width(); }
    int clientHeight() const { return height(); }

    // Outer size limits of the window while it is moved or sized.
    static constexpr int MinTrackWidth = 350;
    static constexpr int MinTrackHeight = 172;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // Every way of closing (close box, "Close", Escape) comes here.
    void done(int result) override;

private:
    void FormCreate();
    // --- Operations on the archive file
    void LoadArchive();
    void FitTaskColumn();
    void SaveArchive();
    void BlankArchivedTask(qint64 position);
    void FormShow();
    void FormResize();
    void FormClose();
    void FormKeyUp(int key);
    void Button_UnarchiveClick();
    void Button_DelClick();
    void Button_closeClick();
    void Button_MenuClick();
    void StringGrid1MouseDown(Qt::MouseButton button, int col, int row, const QPoint &globalPos);
    void pop1_SortClick(QAction *sender);
    void pop1_PrintClick();
    void Preferences1Click();
    // Ctrl+Z: the run's last change taken back, as the main window's Undo does.
    void undoClick();

    void buildBottomBar();
    void buildPopupMenu();
    void connectHandlers();
    void fitButtonsToTexts();
    // Reloads after a change, from the caption without its count.
    void reload();
    void sortBy(int column);
    bool guarded(const std::function<void()> &handler);

    // Components, named as in the window's design.
    ArchiveGrid *StringGrid1 = nullptr;
    QWidget *Panel1 = nullptr;
    QPushButton *Button_Del = nullptr, *Button_Unarchive = nullptr, *Button_close = nullptr;
    QToolButton *Button_Menu = nullptr;
    QMenu *PopupMenu1 = nullptr, *pop1_Sort = nullptr;
    QAction *pop1_Unarchive = nullptr, *pop1_Delete = nullptr, *pop1_sortByname = nullptr,
            *pop1_sortBydate = nullptr, *pop1_sortBycategory = nullptr, *Preferences1 = nullptr,
            *pop1_Print = nullptr;

    AppContext &m_ctx;
    TaskList &m_tasks;
    // The archive preferences, opened from this window's menu.
    TFormArchOptions *FormArchOptions = nullptr;
    TaskTable *m_table = nullptr;
    QString m_archiveFileName;
    QString m_archiveBaseCaption;
};
