#pragma once

#include "about/WebLinks.h"
#include "platform/AppContext.h"
#include "preferences/PreferenceTarget.h"

#include <QMainWindow>
#include <QSet>
#include <functional>

class QAction;
class QComboBox;
class QMenu;
class QMenuBar;
class QToolButton;
class AlarmTimer;
class BackupReport;
class CategoryFilter;
class ReminderBoxes;
class TaskList;
class TaskPane;
class TrayIcon;
class UndoAction;

class TFormAddEdit;
class TFormOptions;
class TFormAbout;
class TFormArchive;
class TFormCategory;
class SyncCommands;

// The main window: the toolbar and the menu bar over the task pane (the grid and
// the notes pane), the tray icon, start-up and close. It opens the dialogs and
// holds them; they work on the task list, never on this window.
class TForm1 : public QMainWindow, public PreferenceTarget
{
    Q_OBJECT
public:
    TForm1(AppContext &ctx, TaskList &tasks, AlarmTimer &alarm, QWidget *parent = nullptr);

    // The start-up steps. False when start-up ended early (the weekend stop):
    // the window is then never shown.
    bool FormCreate();
    // The dialogs, once each, in their fixed order (after FormCreate: the editor
    // settles the program-wide date format).
    void createDialogs(const WebLinks &links = WebLinks::fromBuild());
    // A second copy asked the running one to come forward.
    void bringToFront();

    // The client area: the window without its menu bar, as the layout rules count.
    int clientHeight() const;
    int clientWidth() const;
    void setClientSize(int width, int height);

    // Preferences applied to the running window.
    void setStayOnTop(bool on) override;
    void setShowNoteHints(bool on) override;
    void setMenuBarShown(bool shown) override;
    void setToolbarShown(bool shown) override;
    void setFlatButtons(bool flat) override;
    void setTransparent(bool on) override;
    void updateGridPopupExtras() override;
    void applyLanguage(const QString &language) override;
    void resetColumnWidths() override;

signals:
    // The window has run its close steps: the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Building (TForm1Ui.cpp). Every menu item is made and connected in buildMenus.
    void buildToolbar();
    void buildMenus();
    void buildTray();
    bool guarded(const std::function<void()> &handler);

    // Start-up and close (TForm1.cpp)
    void restoreAppearance();
    void applyStoredLanguage();
    void convertIfNeeded();
    void loadAtStartUp();
    void restoreAfterLoad();
    void selectStoredRow();
    void FormShow();
    void FormActivate();
    void FormClose();

    // Layout (TForm1Layout.cpp)
    int menuBarHeight() const;
    void AdjustLayout() { FormResize(); }
    void FormResize();
    void layoutColumns();
    void Menu_NotesPaneClick();
    void StepWindowHeight(const QString &direction);
    void tasksChanged();

    // Task commands (TForm1Commands.cpp)
    void SpeedButton4Click(); // add
    void SpeedButton6Click(); // edit
    void SpeedButton3Click(); // check / uncheck
    void SpeedButton5Click(); // delete
    void DeleteTask();
    void Menu_ArchiveTaskClick(QObject *trigger);

    // Categories and search (TForm1Categories.cpp)
    void Menu_AddCategoryClick(QObject *trigger);
    void Menu_SearchClick();

    // The other dialogs and outputs (TForm1Dialogs.cpp)
    void SpeedButton7Click(); // preferences
    void Menu_AboutClick();
    void Menu_OpenArchiveClick();
    void Menu_SavetoFileClick();
    int editorClientHeight() const;

    // Restore from backup (TForm1Backups.cpp)
    void Menu_RestoreClick();
    void reloadAfterRestore();

    // Tray and window states (TForm1Tray.cpp)
    void SpeedButton2Click(); // minimise
    void pop1_ShowClick();
    void PopupMenu1Popup();
    bool hiddenInTray() const;
    void setHiddenInTray(bool hidden);
    void buildTrayIconAtStart();

    // Mouse and keys (TForm1Keys.cpp)
    void Panel1MouseDown(Qt::MouseButton button);
    // True when the key is used up and must not reach the focused control.
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers, bool keypad);
    void FormKeyUp(int key);

    // Components, named as in the window's design.
    QWidget *Panel1 = nullptr;
    QToolButton *SpeedButton1 = nullptr, *SpeedButton2 = nullptr, *SpeedButton3 = nullptr,
                *SpeedButton4 = nullptr, *SpeedButton5 = nullptr, *SpeedButton6 = nullptr,
                *SpeedButton7 = nullptr, *SpeedButton9 = nullptr, *SpeedButton14 = nullptr;
    QComboBox *ComboBox1 = nullptr;
    TaskPane *m_pane = nullptr;         // the grid and the notes pane
    CategoryFilter *m_filter = nullptr; // the selector and the Category menu's items
    ReminderBoxes *m_reminders = nullptr;
    BackupReport *m_backupReport = nullptr; // none without daily backups
    QMenuBar *MainMenu1 = nullptr;
    QAction *Menu_ArchiveTask = nullptr, *Menu_Print = nullptr, *Menu_SavetoFile = nullptr,
            *Menu_NotesPane = nullptr, *Menu_DeleteCategory = nullptr;
    UndoAction *Menu_Undo = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QAction *pop1_Show = nullptr;
    TrayIcon *trayIcon = nullptr;

    AppContext &m_ctx;
    TaskList &m_tasks;
    AlarmTimer &m_alarm;
    // The dialogs this window opens.
    TFormAddEdit *FormAddEdit = nullptr;
    TFormOptions *FormOptions = nullptr;
    TFormAbout *FormAbout = nullptr;
    TFormArchive *FormArchive = nullptr;
    TFormCategory *FormCategory = nullptr;
    SyncCommands *m_sync = nullptr;   // the File menu's sync items
    QSet<QString> m_toldNotRepeating; // tasks whose rule gives no next date, told once
    bool m_shownOnce = false;
    bool m_closing = false;
    bool m_inNotesSwitch = false;
};
