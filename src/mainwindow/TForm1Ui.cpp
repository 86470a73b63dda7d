// Composition of the main window: toolbar, menus, grid, notes pane, context menus.
#include "TForm1.h"
#include "i18n/LanguageTables.h"
#include "widgets/ApplyLanguage.h"
#include "widgets/Hint.h"

#include "VisibleColumnsMenu.h"
#include "output/IcsExport.h"
#include "output/IcsImportProgress.h"
#include "platform/MessageService.h"
#include "platform/TrayIcon.h"
#include "reminders/AlarmTimer.h"
#include "store/Settings.h"
#include "store/StoreError.h"
#include "store/TaskTable.h"
#include "syncsettings/SyncCommands.h"
#include "tasks/DailyBackup.h"
#include "tasks/TaskList.h"
#include "widgets/Glyphs.h"
#include "widgets/TaskGrid.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The component's English caption from the language table, the one place it is spelled.
QString designCaption(const char *component)
{
    return LanguageTables::englishCaption(LanguageTables::mainWindow(), component,
                                          LanguageTables::mainTwins());
}

QAction *item(QMenu *menu, const char *name, const QString &caption)
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

QAction *separator(QMenu *menu, const char *name = nullptr)
{
    QAction *a = menu->addSeparator();
    if (name)
        a->setObjectName(QString::fromLatin1(name));
    return a;
}

QMenu *submenu(QWidget *parent, const char *name, const QString &caption)
{
    auto *m = new QMenu(caption, parent);
    m->setObjectName(QString::fromLatin1(name));
    m->menuAction()->setObjectName(QString::fromLatin1(name));
    return m;
}

} // namespace

TForm1::TForm1(AppContext &ctx, TaskList &tasks, AlarmTimer &alarm, QWidget *parent)
    : QMainWindow(parent), m_ctx(ctx), m_tasks(tasks), m_alarm(alarm)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Nudgery"));
    m_table = &m_tasks.table();

    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("ClientArea"));
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    buildToolbar();
    layout->addWidget(Panel1);

    StringGrid1 = new TaskGrid(central);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setTable(m_table);
    StringGrid1->setDateServices(m_ctx.dates, m_ctx.clock);
    layout->addWidget(StringGrid1, 1);

    Bevel6 = new QFrame(central);
    Bevel6->setObjectName(QStringLiteral("Bevel6"));
    Bevel6->setFrameShape(QFrame::HLine);
    Bevel6->setFrameShadow(QFrame::Sunken);
    Bevel6->setFixedHeight(2);
    Bevel6->hide();
    layout->addWidget(Bevel6);

    Memo_notes = new QPlainTextEdit(central);
    Memo_notes->setObjectName(QStringLiteral("Memo_notes"));
    Memo_notes->setReadOnly(true);
    Memo_notes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo_notes->setFixedHeight(0);
    Memo_notes->hide();
    Memo_notes->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(Memo_notes);
    setCentralWidget(central);

    buildMenus();
    buildPopupMenus();
    buildTray();

    connect(&m_alarm, &AlarmTimer::checkDue, this, [this] { guarded([this] { Timer1Timer(); }); });
    connect(&m_tasks, &TaskList::changed, this, &TForm1::tasksChanged);
    connect(&m_tasks, &TaskList::selectionWanted, this,
            [this](int row) { StringGrid1->setCurrentRow(row); });
    connect(&m_tasks, &TaskList::damaged, this, [this](const QString &message) {
        m_ctx.messages->show(isVisible() ? this : nullptr,
                             {AppTitle, message, MsgIcon::Warning, MsgButtons::Ok});
    });
    connect(&m_tasks, &TaskList::categoryAdded, this, &TForm1::categoryAdded);
    connect(&m_tasks, &TaskList::categoryDeleted, this, &TForm1::categoryDeleted);
    connect(&m_tasks, &TaskList::categoriesRestored, this, &TForm1::categoriesRestored);
    if (m_ctx.backups)
        connect(m_ctx.backups, &DailyBackup::failed, this, &TForm1::backupFailed);

    connect(StringGrid1, &TaskGrid::gridMousePressed, this,
            [this](Qt::MouseButton b, int c, int r, const QPoint &g) {
                guarded([&] { StringGrid1MouseDown(b, c, r, g); });
            });
    connect(
        StringGrid1, &TaskGrid::gridMouseReleased, this,
        [this](Qt::MouseButton b, const QPoint &p) { guarded([&] { StringGrid1MouseUp(b, p); }); });
    connect(StringGrid1, &TaskGrid::gridDoubleClicked, this,
            [this] { guarded([this] { StringGrid1DblClick(); }); });
    connect(StringGrid1, &TaskGrid::currentCellChanged, this,
            [this] { guarded([this] { StringGrid1Click(); }); });
    connect(Memo_notes, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { PopupMenu3->popup(Memo_notes->mapToGlobal(p)); });

    // Every key reaches the window first; no shortcut consumes its key.
    qApp->installEventFilter(this);
    setMinimumSize(360, 240);
    nameControls(this, LanguageTables::mainWindow());
}

TForm1::~TForm1()
{
    qApp->removeEventFilter(this);
}

void TForm1::buildToolbar()
{
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(24);
    Panel1->setContextMenuPolicy(Qt::CustomContextMenu);

    struct Button
    {
        QToolButton **member;
        const char *name;
        int left;
        const char *hint;
        const char *glyph;
    };
    const Button buttons[] = {
        {&SpeedButton2, "SpeedButton2", 3, " Minimize ", "minimize"},
        {&SpeedButton3, "SpeedButton3", 32, " Check/Uncheck ", "check"},
        {&SpeedButton4, "SpeedButton4", 61, " Add New Task ", "add"},
        {&SpeedButton6, "SpeedButton6", 84, " Edit Task ", "edit"},
        {&SpeedButton5, "SpeedButton5", 107, " Delete Task ", "delete"},
        {&SpeedButton14, "SpeedButton14", 136, " Archive Task ", "archive"},
        {&SpeedButton7, "SpeedButton7", 165, " Preferences ", "preferences"},
        {&SpeedButton9, "SpeedButton9", 188, " About ... ", "about"},
        {&SpeedButton1, "SpeedButton1", 217, " Exit ", "exit"},
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
        btn->setContextMenuPolicy(Qt::CustomContextMenu);
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

    connect(SpeedButton2, &QToolButton::clicked, this,
            [this] { guarded([this] { SpeedButton2Click(); }); });
    connect(SpeedButton3, &QToolButton::clicked, this,
            [this] { guarded([this] { SpeedButton3Click(); }); });
    connect(SpeedButton4, &QToolButton::clicked, this,
            [this] { guarded([this] { SpeedButton4Click(); }); });
    connect(SpeedButton6, &QToolButton::clicked, this,
            [this] { guarded([this] { SpeedButton6Click(); }); });
    connect(SpeedButton5, &QToolButton::clicked, this,
            [this] { guarded([this] { SpeedButton5Click(); }); });
    connect(SpeedButton14, &QToolButton::clicked, this,
            [this] { guarded([this] { Menu_ArchiveTaskClick(SpeedButton14); }); });
    connect(SpeedButton7, &QToolButton::clicked, this,
            [this] { guarded([this] { SpeedButton7Click(); }); });
    connect(SpeedButton9, &QToolButton::clicked, this,
            [this] { guarded([this] { Menu_AboutClick(); }); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { close(); });
    connect(ComboBox1, qOverload<int>(&QComboBox::activated), this,
            [this](int) { guarded([this] { ComboBox1Change(); }); });
}

void TForm1::buildMenus()
{
    MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    auto run = [this](QAction *a, std::function<void()> f) {
        connect(a, &QAction::triggered, this, [this, f] { guarded(f); });
    };

    Menu_File = submenu(this, "Menu_File", designCaption("Menu_File"));
    Menu_ArchiveTask = item(Menu_File, "Menu_ArchiveTask", designCaption("Menu_ArchiveTask"));
    Menu_OpenArchive = item(Menu_File, "Menu_OpenArchive", designCaption("Menu_OpenArchive"));
    Menu_Restore = item(Menu_File, "Menu_Restore", designCaption("Menu_Restore"));
    QAction *exportIcs = item(Menu_File, "Menu_ExportIcs", designCaption("Menu_ExportIcs"));
    QAction *importIcs = item(Menu_File, "Menu_ImportIcs", designCaption("Menu_ImportIcs"));
    m_sync = new SyncCommands(m_ctx, this);
    m_sync->addTo(Menu_File);
    separator(Menu_File);
    Menu_Minimize = item(Menu_File, "Menu_Minimize", designCaption("Menu_Minimize"));
    Menu_Print = item(Menu_File, "Menu_Print", designCaption("Menu_Print"));
    separator(Menu_File);
    Menu_SavetoFile = item(Menu_File, "Menu_SavetoFile", designCaption("Menu_SavetoFile"));
    separator(Menu_File);
    Menu_Exit = item(Menu_File, "Menu_Exit", designCaption("Menu_Exit"));
    run(Menu_ArchiveTask, [this] { Menu_ArchiveTaskClick(Menu_ArchiveTask); });
    run(Menu_OpenArchive, [this] { Menu_OpenArchiveClick(); });
    run(Menu_Restore, [this] { Menu_RestoreClick(); });
    const auto language = [this] {
        Language chosen = Language::English;
        languageFromName(m_ctx.settings->text(SettingKey::Language), chosen);
        return chosen;
    };
    const auto text = [language](const char *key) {
        return LanguageTables::text(LanguageTables::backupTexts(), key, language());
    };
    run(exportIcs, [this, text] {
        const QString target = QFileDialog::getSaveFileName(
            this, text("ExportTitle"), m_ctx.programFolder + QStringLiteral("Nudgery.ics"),
            QStringLiteral("iCalendar (*.ics)"));
        if (target.isEmpty())
            return;
        QString error;
        const int count =
            IcsExport::exportFile(m_tasks.dataFileName(), m_ctx.file(FileNames::Identities), target,
                                  *m_ctx.dates, *m_ctx.clock, &error);
        if (count < 0)
            throw StoreError(error);
        m_ctx.messages->notice(this, text("Exported").arg(count).arg(target));
    });
    run(importIcs, [this, text, language] {
        const QString source =
            QFileDialog::getOpenFileName(this, text("ImportTitle"), m_ctx.programFolder,
                                         QStringLiteral("iCalendar (*.ics *.ical *.ifb);;* (*)"));
        if (source.isEmpty())
            return;
        const IcsImport::Parsed result = IcsImport::importWithProgress(
            this, source, m_tasks, *m_ctx.settings, *m_ctx.dates, *m_ctx.clock, language());
        if (!result.cancelled)
            m_ctx.messages->show(this, {AppTitle, IcsImport::summary(result, language()),
                                        result.refused() ? MsgIcon::Warning : MsgIcon::None,
                                        MsgButtons::Ok});
    });
    run(Menu_Minimize, [this] { SpeedButton2Click(); });
    run(Menu_Print, [this] { Menu_PrintClick(); });
    run(Menu_SavetoFile, [this] { Menu_SavetoFileClick(); });
    connect(Menu_Exit, &QAction::triggered, this, [this] { close(); });

    Menu_Edit = submenu(this, "Menu_Edit", designCaption("Menu_Edit"));
    Menu_Undo = item(Menu_Edit, "Menu_Undo", QString());
    separator(Menu_Edit);
    Menu_CheckUncheck = item(Menu_Edit, "Menu_CheckUncheck", designCaption("Menu_CheckUncheck"));
    separator(Menu_Edit);
    Menu_AddTask = item(Menu_Edit, "Menu_AddTask", designCaption("Menu_AddTask"));
    Menu_EditTask = item(Menu_Edit, "Menu_EditTask", designCaption("Menu_EditTask"));
    Menu_DeleteTask = item(Menu_Edit, "Menu_DeleteTask", designCaption("Menu_DeleteTask"));
    separator(Menu_Edit);
    Menu_Search = item(Menu_Edit, "Menu_Search", designCaption("Menu_Search"));
    Menu_AddTask->setIcon(glyph(QStringLiteral("add")));
    Menu_EditTask->setIcon(glyph(QStringLiteral("edit")));
    Menu_DeleteTask->setIcon(glyph(QStringLiteral("delete")));
    run(Menu_Undo, [this] { Menu_UndoClick(); });
    connect(&m_tasks, &TaskList::undoChanged, this, &TForm1::showUndoState);
    showUndoState();
    run(Menu_CheckUncheck, [this] { SpeedButton3Click(); });
    run(Menu_AddTask, [this] { SpeedButton4Click(); });
    run(Menu_EditTask, [this] { SpeedButton6Click(); });
    run(Menu_DeleteTask, [this] { SpeedButton5Click(); });
    run(Menu_Search, [this] { Menu_SearchClick(); });

    Menu_View = submenu(this, "Menu_View", designCaption("Menu_View"));
    Menu_Sort = submenu(Menu_View, "Menu_Sort", designCaption("Menu_Sort"));
    Menu_View->addMenu(Menu_Sort);
    Menu_SortByTask = item(Menu_Sort, "Menu_SortByTask", designCaption("Menu_SortByTask"));
    Menu_SortByDate = item(Menu_Sort, "Menu_SortByDate", designCaption("Menu_SortByDate"));
    Menu_SortByHour = item(Menu_Sort, "Menu_SortByHour", designCaption("Menu_SortByHour"));
    Menu_SortByCategory =
        item(Menu_Sort, "Menu_SortByCategory", designCaption("Menu_SortByCategory"));
    Menu_SortByStatus = item(Menu_Sort, "Menu_SortByStatus", designCaption("Menu_SortByStatus"));
    for (QAction *a : Menu_Sort->actions())
        run(a, [this, a] { Sort1Click(a); });
    separator(Menu_View);
    Menu_Preferences = item(Menu_View, "Menu_Preferences", designCaption("Menu_Preferences"));
    separator(Menu_View);
    Menu_NotesPane = item(Menu_View, "Menu_NotesPane", designCaption("Menu_NotesPane"));
    Menu_NotesPane->setCheckable(true);
    run(Menu_Preferences, [this] { SpeedButton7Click(); });
    // The switch flips the check mark itself: undo the action's own toggle first.
    connect(Menu_NotesPane, &QAction::triggered, this, [this] {
        Menu_NotesPane->setChecked(!Menu_NotesPane->isChecked());
        guarded([this] { Menu_NotesPaneClick(); });
    });

    Menu_Category = submenu(this, "Menu_Category", designCaption("Menu_Category"));
    Menu_AddCategory = item(Menu_Category, "Menu_AddCategory", designCaption("Menu_AddCategory"));
    Menu_DeleteCategory =
        item(Menu_Category, "Menu_DeleteCategory", designCaption("Menu_DeleteCategory"));
    separator(Menu_Category);
    Menu_AllItems = item(Menu_Category, "Menu_AllItems", designCaption("Menu_AllItems"));
    Menu_AllItems->setCheckable(true);
    run(Menu_AddCategory, [this] { Menu_AddCategoryClick(Menu_AddCategory); });
    run(Menu_DeleteCategory, [this] { Menu_AddCategoryClick(Menu_DeleteCategory); });
    run(Menu_AllItems, [this] { Menu_AllItemsClick(); });

    Menu_Help = submenu(this, "Menu_Help", designCaption("Menu_Help"));
    Menu_HelpFile = item(Menu_Help, "Menu_HelpFile", designCaption("Menu_HelpFile"));
    separator(Menu_Help);
    Menu_SoftwareNews = item(Menu_Help, "Menu_SoftwareNews", designCaption("Menu_SoftwareNews"));
    Menu_CheckNewVersion =
        item(Menu_Help, "Menu_CheckNewVersion", designCaption("Menu_CheckNewVersion"));
    separator(Menu_Help);
    Menu_Donations = item(Menu_Help, "Menu_Donations", designCaption("Menu_Donations"));
    Menu_About = item(Menu_Help, "Menu_About", designCaption("Menu_About"));
    run(Menu_HelpFile, [this] { Menu_HelpFileClick(); });
    run(Menu_SoftwareNews, [this] { Menu_SoftwareNewsClick(); });
    run(Menu_CheckNewVersion, [this] { Menu_CheckNewVersionClick(); });
    run(Menu_Donations, [this] { Menu_DonationsClick(); });
    run(Menu_About, [this] { Menu_AboutClick(); });

    for (QMenu *m : {Menu_File, Menu_Edit, Menu_View, Menu_Category, Menu_Help})
        MainMenu1->addMenu(m);
}

void TForm1::buildPopupMenus()
{
    auto run = [this](QAction *a, std::function<void()> f) {
        connect(a, &QAction::triggered, this, [this, f] { guarded(f); });
    };
    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    pop2_EditTask = item(PopupMenu2, "pop2_EditTask", designCaption("pop2_EditTask"));
    pop2_Deletetask = item(PopupMenu2, "pop2_Deletetask", designCaption("pop2_Deletetask"));
    pop2_Archivetask = item(PopupMenu2, "pop2_Archivetask", designCaption("pop2_Archivetask"));
    pop2_N9 = separator(PopupMenu2, "pop2_N9");
    pop2_Sort = submenu(PopupMenu2, "pop2_Sort", designCaption("pop2_Sort"));
    PopupMenu2->addMenu(pop2_Sort);
    pop2_SortByTask = item(pop2_Sort, "pop2_SortByTask", designCaption("pop2_SortByTask"));
    pop2_SortByDate = item(pop2_Sort, "pop2_SortByDate", designCaption("pop2_SortByDate"));
    pop2_SortByHour = item(pop2_Sort, "pop2_SortByHour", designCaption("pop2_SortByHour"));
    pop2_SortByCategory =
        item(pop2_Sort, "pop2_SortByCategory", designCaption("pop2_SortByCategory"));
    pop2_SortByStatus = item(pop2_Sort, "pop2_SortByStatus", designCaption("pop2_SortByStatus"));
    for (QAction *a : pop2_Sort->actions())
        run(a, [this, a] { Sort1Click(a); });
    pop2_N1 = separator(PopupMenu2, "pop2_N1");
    pop2_Preferences = item(PopupMenu2, "pop2_Preferences", designCaption("pop2_Preferences"));
    pop2_About = item(PopupMenu2, "pop2_About", designCaption("pop2_About"));
    pop2_N1->setVisible(false);
    pop2_About->setVisible(false);
    run(pop2_EditTask, [this] { SpeedButton6Click(); });
    run(pop2_Deletetask, [this] { SpeedButton5Click(); });
    run(pop2_Archivetask, [this] { Menu_ArchiveTaskClick(pop2_Archivetask); });
    run(pop2_Preferences, [this] { SpeedButton7Click(); });
    run(pop2_About, [this] { Menu_AboutClick(); });

    // The toolbar's context menu is the same menu in its toolbar form.
    auto toolbarMenu = [this](QWidget *w) {
        connect(w, &QWidget::customContextMenuRequested, this, [this, w](const QPoint &p) {
            Panel1MouseDown(Qt::RightButton);
            PopupMenu2->popup(w->mapToGlobal(p));
        });
    };
    toolbarMenu(Panel1);
    for (QToolButton *b : {SpeedButton1, SpeedButton2, SpeedButton3, SpeedButton4, SpeedButton5,
                           SpeedButton6, SpeedButton7, SpeedButton9, SpeedButton14})
        toolbarMenu(b);

    PopupMenu3 = new QMenu(this);
    PopupMenu3->setObjectName(QStringLiteral("PopupMenu3"));
    pop3_Copy = item(PopupMenu3, "pop3_Copy", designCaption("pop3_Copy"));
    pop3_HideNotespane =
        item(PopupMenu3, "pop3_HideNotespane", designCaption("pop3_HideNotespane"));
    connect(pop3_Copy, &QAction::triggered, this, [] {
        QWidget *focused = QApplication::focusWidget();
        if (auto *edit = qobject_cast<QPlainTextEdit *>(focused)) {
            edit->selectAll();
            QApplication::clipboard()->setText(edit->toPlainText());
        }
    });
    connect(pop3_HideNotespane, &QAction::triggered, Menu_NotesPane, &QAction::trigger);

    PopupMenu4 = new VisibleColumnsMenu(
        StringGrid1, m_ctx.dates, m_ctx.clock, [this] { AdjustLayout(); }, this);
}

void TForm1::buildTray()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    pop1_Show = item(PopupMenu1, "pop1_Show", designCaption("pop1_Show"));
    pop1_AddTask = item(PopupMenu1, "pop1_AddTask", designCaption("pop1_AddTask"));
    pop1_Exit = item(PopupMenu1, "pop1_Exit", designCaption("pop1_Exit"));
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
