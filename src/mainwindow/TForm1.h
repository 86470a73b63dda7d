#pragma once

#include "about/WebLinks.h"
#include "platform/AppContext.h"
#include "preferences/PreferenceTarget.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QTimer;
class QToolButton;
class QWidget;
class AlarmTimer;
class TaskGrid;
class TaskList;
class TaskTable;
class TrayIcon;
class VisibleColumnsMenu;

class TFormAddEdit;
class TFormOptions;
class TFormAbout;
class TFormArchive;
class TFormCategory;
class SyncCommands;
enum class Language;

// The main window: toolbar, task grid and notes pane over the task list. It
// opens the dialogs and holds them; they work on the task list, never on this
// window.
class TForm1 : public QMainWindow, public PreferenceTarget
{
    Q_OBJECT
public:
    TForm1(AppContext &ctx, TaskList &tasks, AlarmTimer &alarm, QWidget *parent = nullptr);
    ~TForm1() override;

    // The start-up steps. False when start-up ended early (the weekend stop):
    // the window is then never shown.
    bool FormCreate();
    // The dialogs, once each, in their fixed order (after FormCreate: the editor
    // settles the program-wide date format).
    void createDialogs(const WebLinks &links = WebLinks::fromBuild());
    // A second copy asked the running one to come forward.
    void bringToFront();

    AppContext &context() { return m_ctx; }
    TaskTable &table();
    TaskGrid *grid() const { return StringGrid1; }
    QString categoryFilter() const;

    // --- Refresh sequence and layout
    void LoadTasks(const QString &filter);
    void ApplySort();
    void AdjustLayout() { FormResize(); }
    void FormResize();
    void layoutColumns();
    void Menu_NotesPaneClick();
    void StepWindowHeight(const QString &direction);
    int menuBarHeight() const;
    int clientHeight() const;
    int clientWidth() const;
    void setClientSize(int width, int height);

    // --- Sorting, filter, search
    int sortColumn() const;
    int sortTag() const;
    void Sort1Click(QAction *sender);
    void ComboBox1Change();
    void Menu_AllItemsClick();
    void categoryMenuItemClick(QAction *item);
    void Menu_SearchClick();
    void reselectOrder(const QString &order);

    // --- Task commands
    void SpeedButton4Click(); // add
    void SpeedButton6Click(); // edit
    void SpeedButton3Click(); // check / uncheck
    void SpeedButton5Click(); // delete
    void DeleteTask();
    void StringGrid1DblClick();
    void ConfigureGridPopup(bool toolbarForm);
    void Menu_ArchiveTaskClick(QObject *trigger);
    void Menu_OpenArchiveClick();
    void Menu_AddCategoryClick(QObject *trigger);
    void SpeedButton7Click(); // preferences
    void Menu_AboutClick();
    void Menu_PrintClick();
    void Menu_SavetoFileClick();
    void Menu_HelpFileClick();
    void Menu_CheckNewVersionClick();
    void Menu_SoftwareNewsClick();
    void Menu_DonationsClick();

    // --- Reminders
    void ShowAgenda();
    void Timer1Timer();

    // --- Tray and window states
    void SpeedButton2Click(); // minimise
    void minimiseToTray();
    void pop1_ShowClick();
    void PopupMenu1Popup();
    bool hiddenInTray() const;

    // --- Mouse and keys
    void StringGrid1MouseDown(Qt::MouseButton button, int col, int row, const QPoint &globalPos);
    void StringGrid1MouseUp(Qt::MouseButton button, const QPoint &gridPos);
    void StringGrid1Click();
    void Panel1MouseDown(Qt::MouseButton button);
    // True when the key is used up and must not reach the focused control.
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers, bool keypad);
    void FormKeyUp(int key);

    // Preferences applied to the running window.
    void setStayOnTop(bool on) override;
    void setShowNoteHints(bool on) override;
    void setMenuBarShown(bool shown) override;
    void setToolbarShown(bool shown) override;
    void setFlatButtons(bool flat) override;
    void setTransparent(bool on) override;
    bool gridPopupNeedsExtras() const;
    void updateGridPopupExtras() override;
    void applyLanguage(const QString &language) override;
    void resetColumnWidths() override;
    int dateColumnDefaultWidth() const;

    // Runs an event handler inside the error guard.
    bool guarded(const std::function<void()> &handler);

signals:
    // The window has run its close steps: the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildToolbar();
    void buildMenus();
    void buildPopupMenus();
    void buildTray();
    void buildTrayIconAtStart();
    void applyStoredLanguage();
    int editorClientHeight() const;
    void createTable();
    void restoreAppearance();
    void fillCategories();
    void convertIfNeeded();
    void loadAtStartUp();
    void restoreSort();
    void restoreAfterLoad();
    void selectStoredRow();
    void FormShow();
    void applySizeLimits();
    void FormActivate();
    bool FormClose();
    void addCategoryMenuItem(const QString &name);
    void categoryAdded(const QString &name);
    void categoryDeleted(const QString &name);
    void categoriesRestored();
    void tasksChanged();
    void Menu_UndoClick();
    void showUndoState();
    Language language() const;
    void Menu_RestoreClick();
    void backupFailed(const QString &folder, const QString &reason);
    void showBackupReport();
    void reloadAfterRestore();
    void showSortState();
    void setHiddenInTray(bool hidden);

    // Components, named as in the window's design.
    QWidget *Panel1 = nullptr;
    QToolButton *SpeedButton1 = nullptr, *SpeedButton2 = nullptr, *SpeedButton3 = nullptr,
                *SpeedButton4 = nullptr, *SpeedButton5 = nullptr, *SpeedButton6 = nullptr,
                *SpeedButton7 = nullptr, *SpeedButton9 = nullptr, *SpeedButton14 = nullptr;
    QComboBox *ComboBox1 = nullptr;
    TaskGrid *StringGrid1 = nullptr;
    QFrame *Bevel6 = nullptr;
    QPlainTextEdit *Memo_notes = nullptr;
    QMenuBar *MainMenu1 = nullptr;
    QMenu *Menu_File = nullptr, *Menu_Edit = nullptr, *Menu_View = nullptr, *Menu_Sort = nullptr,
          *Menu_Category = nullptr, *Menu_Help = nullptr;
    QAction *Menu_ArchiveTask = nullptr, *Menu_OpenArchive = nullptr, *Menu_Minimize = nullptr,
            *Menu_Print = nullptr, *Menu_SavetoFile = nullptr, *Menu_Exit = nullptr,
            *Menu_CheckUncheck = nullptr, *Menu_AddTask = nullptr, *Menu_EditTask = nullptr,
            *Menu_DeleteTask = nullptr, *Menu_Search = nullptr, *Menu_SortByTask = nullptr,
            *Menu_SortByDate = nullptr, *Menu_SortByHour = nullptr, *Menu_SortByCategory = nullptr,
            *Menu_SortByStatus = nullptr, *Menu_Preferences = nullptr, *Menu_NotesPane = nullptr,
            *Menu_AddCategory = nullptr, *Menu_DeleteCategory = nullptr, *Menu_AllItems = nullptr,
            *Menu_HelpFile = nullptr, *Menu_SoftwareNews = nullptr, *Menu_CheckNewVersion = nullptr,
            *Menu_Donations = nullptr, *Menu_About = nullptr, *Menu_Undo = nullptr,
            *Menu_Restore = nullptr;
    QMenu *PopupMenu2 = nullptr, *pop2_Sort = nullptr;
    QAction *pop2_EditTask = nullptr, *pop2_Deletetask = nullptr, *pop2_Archivetask = nullptr,
            *pop2_N9 = nullptr, *pop2_SortByTask = nullptr, *pop2_SortByDate = nullptr,
            *pop2_SortByHour = nullptr, *pop2_SortByCategory = nullptr,
            *pop2_SortByStatus = nullptr, *pop2_N1 = nullptr, *pop2_Preferences = nullptr,
            *pop2_About = nullptr;
    QMenu *PopupMenu3 = nullptr;
    QAction *pop3_Copy = nullptr, *pop3_HideNotespane = nullptr;
    VisibleColumnsMenu *PopupMenu4 = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QAction *pop1_Show = nullptr, *pop1_AddTask = nullptr, *pop1_Exit = nullptr;
    TrayIcon *trayIcon = nullptr;

    AppContext &m_ctx;
    TaskList &m_tasks;
    AlarmTimer &m_alarm;
    TaskTable *m_table = nullptr;
    QString m_backupReport; // a failed daily backup, not yet told
    // The dialogs this window opens.
    TFormAddEdit *FormAddEdit = nullptr;
    TFormOptions *FormOptions = nullptr;
    TFormAbout *FormAbout = nullptr;
    TFormArchive *FormArchive = nullptr;
    TFormCategory *FormCategory = nullptr;
    SyncCommands *m_sync = nullptr; // the File menu's sync items
    bool m_autoRunStart = false;
    bool m_shownOnce = false;
    bool m_closing = false;
    bool m_alphaBlend = false;
    bool m_inNotesSwitch = false;
    bool m_sortingByHeader = false;
};
