// Composition of the main window: toolbar, task pane, menus and the tray menu.
#include "BackupReport.h"
#include "CategoryFilter.h"
#include "ReminderBoxes.h"
#include "TForm1.h"
#include "TaskPane.h"
#include "UndoAction.h"
#include "i18n/LanguageTables.h"
#include "widgets/ApplyLanguage.h"
#include "widgets/DesignCaptions.h"
#include "widgets/Hint.h"
#include "widgets/KeyPreview.h"

#include "about/VersionCheckCommand.h"
#include "output/HelpText.h"
#include "output/IcsCommands.h"
#include "output/PrintCommands.h"
#include "platform/HandlerGuard.h"
#include "platform/MessageService.h"
#include "platform/Services.h"
#include "platform/TrayIcon.h"
#include "store/Settings.h"
#include "syncsettings/SyncCommands.h"
#include "tasks/DailyBackup.h"
#include "tasks/TaskList.h"
#include "widgets/Glyphs.h"
#include "widgets/OuterSize.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const DesignCaptions designCaption(LanguageTables::mainWindow(), LanguageTables::mainTwins());

} // namespace

TForm1::TForm1(AppContext &ctx, TaskList &tasks, AlarmTimer &alarm, QWidget *parent)
    : QMainWindow(parent), m_ctx(ctx), m_tasks(tasks), m_alarm(alarm)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Nudgery"));

    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("ClientArea"));
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildToolbar();
    layout->addWidget(Panel1);
    m_pane = new TaskPane(m_ctx, m_tasks, central);
    layout->addWidget(m_pane, 1);
    setCentralWidget(central);

    buildMenus();
    buildTray();

    connect(m_pane, &TaskPane::editWanted, this,
            [this] { guarded([this] { SpeedButton6Click(); }); });
    connect(m_pane, &TaskPane::checkWanted, this,
            [this] { guarded([this] { SpeedButton3Click(); }); });
    connect(m_pane, &TaskPane::deleteWanted, this,
            [this] { guarded([this] { SpeedButton5Click(); }); });
    connect(m_pane, &TaskPane::archiveWanted, this,
            [this] { guarded([this] { Menu_ArchiveTaskClick(m_pane); }); });
    connect(m_pane, &TaskPane::preferencesWanted, this,
            [this] { guarded([this] { SpeedButton7Click(); }); });
    connect(m_pane, &TaskPane::aboutWanted, this,
            [this] { guarded([this] { Menu_AboutClick(); }); });
    connect(m_pane, &TaskPane::notesSwitchWanted, Menu_NotesPane, &QAction::trigger);
    connect(m_pane, &TaskPane::layoutWanted, this, [this] { guarded([this] { FormResize(); }); });

    m_reminders = new ReminderBoxes(m_ctx, m_tasks, m_alarm, this);
    connect(m_reminders, &ReminderBoxes::checked, m_pane, &TaskPane::repaintGrid);
    connect(m_reminders, &ReminderBoxes::windowWanted, this, &TForm1::bringToFront);
    connect(&m_tasks, &TaskList::changed, this, &TForm1::tasksChanged);
    connect(&m_tasks, &TaskList::damaged, this, [this](const QString &message) {
        m_ctx.messages->show(isVisible() ? this : nullptr,
                             {AppTitle, message, MsgIcon::Warning, MsgButtons::Ok});
    });
    // Once a run for each task: its rule is not followed, and the user is told why.
    connect(&m_tasks, &TaskList::notRepeating, this,
            [this](const QString &task, const QString &reason) {
                if (m_toldNotRepeating.contains(task))
                    return;
                m_toldNotRepeating.insert(task);
                m_ctx.messages->notice(
                    isVisible() ? this : nullptr,
                    QStringLiteral("\"%1\" is ticked as a task that does not repeat: %2.")
                        .arg(task, reason));
            });
    connect(m_filter, &CategoryFilter::shown, this, [this] {
        m_pane->clearHint();
        tasksChanged();
        m_pane->focusGrid();
    });
    if (m_ctx.backups)
        m_backupReport = new BackupReport(m_ctx, *m_ctx.backups, this);

    // Every key reaches the window first; no shortcut consumes its key.
    new KeyPreview(
        this,
        [this](const QKeyEvent &key) {
            bool usedUp = false;
            guarded([&] {
                usedUp =
                    FormKeyDown(key.key(), key.modifiers(), key.modifiers() & Qt::KeypadModifier);
            });
            return usedUp;
        },
        [this](int key) { guarded([&] { FormKeyUp(key); }); });
    // 360 x 240 at least and the screen at most, both for the outer window.
    new OuterSizeLimits(this, [this] {
        const QScreen *s = screen();
        return OuterSizeLimits::Limits{QSize(360, 240),
                                       s ? s->geometry().size() : primaryScreenGeometry().size()};
    });
    nameControls(this, LanguageTables::mainWindow());
}

bool TForm1::guarded(const std::function<void()> &handler)
{
    return runGuardedIn(*m_ctx.messages, this, handler);
}

void TForm1::buildToolbar()
{
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(24);
    // The toolbar's context menu, on the bar and on every button, is the grid's
    // menu in its toolbar form.
    const auto toolbarMenu = [this](QWidget *w) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this, [this, w](const QPoint &p) {
            Panel1MouseDown(Qt::RightButton);
            m_pane->popupGridMenu(w->mapToGlobal(p));
        });
    };
    toolbarMenu(Panel1);

    struct Button
    {
        QToolButton **member;
        const char *name;
        int left;
        const char *hint;
        const char *glyph;
        std::function<void()> handler;
    };
    const Button buttons[] = {
        {&SpeedButton2, "SpeedButton2", 3, " Minimize ", "minimize",
         [this] { SpeedButton2Click(); }},
        {&SpeedButton3, "SpeedButton3", 32, " Check/Uncheck ", "check",
         [this] { SpeedButton3Click(); }},
        {&SpeedButton4, "SpeedButton4", 61, " Add New Task ", "add",
         [this] { SpeedButton4Click(); }},
        {&SpeedButton6, "SpeedButton6", 84, " Edit Task ", "edit", [this] { SpeedButton6Click(); }},
        {&SpeedButton5, "SpeedButton5", 107, " Delete Task ", "delete",
         [this] { SpeedButton5Click(); }},
        {&SpeedButton14, "SpeedButton14", 136, " Archive Task ", "archive",
         [this] { Menu_ArchiveTaskClick(SpeedButton14); }},
        {&SpeedButton7, "SpeedButton7", 165, " Preferences ", "preferences",
         [this] { SpeedButton7Click(); }},
        {&SpeedButton9, "SpeedButton9", 188, " About ... ", "about", [this] { Menu_AboutClick(); }},
        {&SpeedButton1, "SpeedButton1", 217, " Exit ", "exit", [this] { close(); }},
    };
    for (const Button &b : buttons) {
        auto *btn = new QToolButton(Panel1);
        btn->setObjectName(QString::fromLatin1(b.name));
        btn->setGeometry(b.left, 1, 22, 21);
        setHint(btn, QString::fromLatin1(b.hint));
        btn->setIcon(glyph(QString::fromLatin1(b.glyph)));
        btn->setIconSize(QSize(16, 16));
        btn->setAutoRaise(true);
        btn->setFocusPolicy(Qt::NoFocus);
        toolbarMenu(btn);
        connect(btn, &QToolButton::clicked, this, [this, h = b.handler] { guarded(h); });
        *b.member = btn;
    }
    for (int x : {28, 57, 132, 161, 213}) {
        auto *line = new QFrame(Panel1);
        line->setFrameShape(QFrame::VLine);
        line->setFrameShadow(QFrame::Sunken);
        line->setGeometry(x, 3, 2, 18);
    }
    ComboBox1 = new QComboBox(Panel1);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setGeometry(245, 1, 77, 21);
    ComboBox1->setFocusPolicy(Qt::ClickFocus);
}

void TForm1::buildMenus()
{
    MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    // A menu of the bar, and an item of a menu running its handler in the error
    // guard; both named and captioned as designed. Add a command here.
    const auto menu = [this](const char *name) {
        QMenu *m = designCaption.submenu(this, name);
        MainMenu1->addMenu(m);
        return m;
    };
    const auto add = [this](QMenu *m, const char *name, std::function<void()> handler) {
        QAction *a = designCaption.item(m, name);
        connect(a, &QAction::triggered, this, [this, h = std::move(handler)] { guarded(h); });
        return a;
    };
    const auto openPage = [this](const QString &page) {
        if (!page.isEmpty())
            m_ctx.urls->open(QUrl(page));
    };

    QMenu *file = menu("Menu_File");
    Menu_ArchiveTask =
        add(file, "Menu_ArchiveTask", [this] { Menu_ArchiveTaskClick(Menu_ArchiveTask); });
    add(file, "Menu_OpenArchive", [this] { Menu_OpenArchiveClick(); });
    add(file, "Menu_Restore", [this] { Menu_RestoreClick(); });
    add(file, "Menu_ExportIcs", [this] { IcsCommands::exportTasks(this, m_ctx, m_tasks); });
    add(file, "Menu_ImportIcs", [this] { IcsCommands::importTasks(this, m_ctx, m_tasks); });
    m_sync = new SyncCommands(m_ctx, this);
    m_sync->addTo(file);
    separator(file);
    add(file, "Menu_Minimize", [this] { SpeedButton2Click(); });
    Menu_Print =
        add(file, "Menu_Print", [this] { printTaskList(m_tasks.table(), m_ctx.printers); });
    separator(file);
    Menu_SavetoFile = add(file, "Menu_SavetoFile", [this] { Menu_SavetoFileClick(); });
    separator(file);
    add(file, "Menu_Exit", [this] { close(); });

    QMenu *edit = menu("Menu_Edit");
    Menu_Undo = new UndoAction(m_tasks, *m_ctx.settings, edit);
    edit->addAction(Menu_Undo);
    connect(Menu_Undo, &QAction::triggered, this,
            [this] { guarded([this] { Menu_Undo->Menu_UndoClick(); }); });
    separator(edit);
    add(edit, "Menu_CheckUncheck", [this] { SpeedButton3Click(); });
    separator(edit);
    add(edit, "Menu_AddTask", [this] {
        SpeedButton4Click();
    })->setIcon(glyph(QStringLiteral("add")));
    add(edit, "Menu_EditTask", [this] {
        SpeedButton6Click();
    })->setIcon(glyph(QStringLiteral("edit")));
    add(edit, "Menu_DeleteTask", [this] {
        SpeedButton5Click();
    })->setIcon(glyph(QStringLiteral("delete")));
    separator(edit);
    add(edit, "Menu_Search", [this] { Menu_SearchClick(); });

    QMenu *view = menu("Menu_View");
    m_pane->addSortMenu(view, "Menu_Sort");
    separator(view);
    add(view, "Menu_Preferences", [this] { SpeedButton7Click(); });
    separator(view);
    Menu_NotesPane = designCaption.item(view, "Menu_NotesPane");
    Menu_NotesPane->setCheckable(true);
    // The switch flips the check mark itself: undo the action's own toggle first.
    connect(Menu_NotesPane, &QAction::triggered, this, [this] {
        Menu_NotesPane->setChecked(!Menu_NotesPane->isChecked());
        guarded([this] { Menu_NotesPaneClick(); });
    });

    QMenu *category = menu("Menu_Category");
    add(category, "Menu_AddCategory", [this] { Menu_AddCategoryClick(nullptr); });
    Menu_DeleteCategory = add(category, "Menu_DeleteCategory",
                              [this] { Menu_AddCategoryClick(Menu_DeleteCategory); });
    separator(category);
    // "All Items" and the categories: the filter's items.
    m_filter = new CategoryFilter(m_ctx, m_tasks, ComboBox1, category, this);

    QMenu *help = menu("Menu_Help");
    add(help, "Menu_HelpFile", [this] { HelpText::open(m_ctx, this); });
    separator(help);
    add(help, "Menu_SoftwareNews", [openPage] { openPage(WebLinks::fromBuild().newsPage); });
    add(help, "Menu_CheckNewVersion", [this] { checkNewVersion(this, m_ctx); });
    separator(help);
    add(help, "Menu_Donations", [openPage] { openPage(WebLinks::fromBuild().donationPage); });
    add(help, "Menu_About", [this] { Menu_AboutClick(); });
}

void TForm1::buildTray()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    pop1_Show = designCaption.item(PopupMenu1, "pop1_Show");
    QAction *pop1_AddTask = designCaption.item(PopupMenu1, "pop1_AddTask");
    QAction *pop1_Exit = designCaption.item(PopupMenu1, "pop1_Exit");
    QFont bold = pop1_Show->font();
    bold.setBold(true);
    pop1_Show->setFont(bold);
    connect(PopupMenu1, &QMenu::aboutToShow, this, [this] { PopupMenu1Popup(); });
    connect(pop1_Show, &QAction::triggered, this,
            [this] { guarded([this] { pop1_ShowClick(); }); });
    connect(pop1_AddTask, &QAction::triggered, this,
            [this] { guarded([this] { SpeedButton4Click(); }); });
    connect(pop1_Exit, &QAction::triggered, this, [this] { close(); });
    trayIcon = new TrayIcon(this);
    trayIcon->setObjectName(QStringLiteral("trayIcon"));
}
