// The archive viewer: composition, size and position, showing and closing.
#include "TFormArchive.h"
#include "i18n/LanguageTables.h"
#include "widgets/DesignCaptions.h"
#include "widgets/Hint.h"
#include "widgets/OuterSize.h"

#include "ArchiveGrid.h"
#include "TFormArchOptions.h"
#include "platform/HandlerGuard.h"
#include "platform/MessageService.h"
#include "platform/WindowPlacement.h"
#include "store/Clock.h"
#include "store/Settings.h"
#include "store/StoreError.h"
#include "store/TaskDataFile.h"
#include "store/TaskTable.h"
#include "tasks/SortRows.h"
#include "tasks/TaskList.h"
#include "widgets/ApplyLanguage.h"
#include "widgets/KeyPreview.h"
#include "widgets/RepaintOnAltTab.h"
#include "widgets/TaskGrid.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <algorithm>

namespace {

const DesignCaptions designCaption(LanguageTables::archive());

const QString DesignCaption = QStringLiteral(" Nudgery - Archived Events");

// The bottom bar's designed geometry; buttons grow only when their text needs it.
constexpr int BarHeight = 22;
constexpr int ButtonTop = 3;
constexpr int ButtonHeight = 18;
constexpr int DelLeft = 3, DelWidth = 65;
constexpr int UnarchiveLeft = 72;
constexpr int MenuWidth = 16, MenuHeight = 18;
constexpr int CloseWidth = 72;
constexpr int CloseRightGap = 2; // client width - 74 for the designed width of 72
constexpr QPoint DesignPosition(238, 141);

constexpr int DateColumnWidth = 58;
constexpr int PriorityColumnWidth = 15;

QPushButton *button(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

int textButtonWidth(const QPushButton *b, int designed)
{
    return std::max(designed, b->fontMetrics().horizontalAdvance(b->text()) + 12);
}

} // namespace

TFormArchive::TFormArchive(AppContext &ctx, TaskList &tasks, QWidget *parent)
    : QDialog(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_ctx(ctx), m_tasks(tasks)
{
    setObjectName(QStringLiteral("FormArchive"));
    setWindowTitle(DesignCaption);
    setSizeGripEnabled(false);

    m_table = new TaskTable(this);
    m_table->setHeader(Col::Task, QStringLiteral("Task"));
    m_table->setHeader(Col::Date, QStringLiteral("Date"));
    m_table->setHeader(Col::Priority, QStringLiteral("Pr"));
    StringGrid1 = new ArchiveGrid(this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setTable(m_table);

    buildBottomBar();
    buildPopupMenu();
    nameControls(this, LanguageTables::archive());
    connectHandlers();
    new OuterSizeLimits(this, [] {
        const QRect screen = primaryScreenGeometry();
        return OuterSizeLimits::Limits{QSize(MinTrackWidth, MinTrackHeight),
                                       QSize(screen.width() / 2, (screen.height() / 3) * 2)};
    });
    FormCreate();
    FormArchOptions = new TFormArchOptions(ctx, this);
}

bool TFormArchive::guarded(const std::function<void()> &handler)
{
    return runGuardedIn(*m_ctx.messages, this, handler);
}

void TFormArchive::buildBottomBar()
{
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Button_Del = button(Panel1, "Button_Del", designCaption("Button_Del"));
    Button_Unarchive = button(Panel1, "Button_Unarchive", designCaption("Button_Unarchive"));
    Button_Menu = new QToolButton(Panel1);
    Button_Menu->setObjectName(QStringLiteral("Button_Menu"));
    setHint(Button_Menu, QStringLiteral(" menu "));
    Button_Menu->setArrowType(Qt::DownArrow);
    Button_Menu->setFocusPolicy(Qt::NoFocus);
    Button_close = button(Panel1, "Button_close", designCaption("Button_close"));
    fitButtonsToTexts();
}

void TFormArchive::fitButtonsToTexts()
{
    const int height = std::max(ButtonHeight, Button_close->fontMetrics().height() + 5);
    Panel1->setFixedHeight(BarHeight + height - ButtonHeight);
    Button_Del->setGeometry(DelLeft, ButtonTop, textButtonWidth(Button_Del, DelWidth), height);
    Button_Unarchive->setGeometry(std::max(UnarchiveLeft, Button_Del->geometry().right() + 5),
                                  ButtonTop, Button_Unarchive->width(), height);
    Button_Menu->setGeometry(Button_Menu->x(), ButtonTop, MenuWidth, std::max(MenuHeight, height));
    Button_close->setGeometry(Button_close->x(), ButtonTop,
                              textButtonWidth(Button_close, CloseWidth), height);
}

void TFormArchive::buildPopupMenu()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    pop1_Unarchive = designCaption.item(PopupMenu1, "pop1_Unarchive");
    pop1_Delete = designCaption.item(PopupMenu1, "pop1_Delete");
    PopupMenu1->addSeparator();
    pop1_Sort = designCaption.submenu(PopupMenu1, "pop1_Sort");
    PopupMenu1->addMenu(pop1_Sort);
    pop1_sortByname = designCaption.item(pop1_Sort, "pop1_sortByname");
    pop1_sortBydate = designCaption.item(pop1_Sort, "pop1_sortBydate");
    pop1_sortBycategory = designCaption.item(pop1_Sort, "pop1_sortBycategory");
    PopupMenu1->addSeparator();
    Preferences1 = designCaption.item(PopupMenu1, "Preferences1");
    pop1_Print = designCaption.item(PopupMenu1, "pop1_Print");
}

void TFormArchive::connectHandlers()
{
    auto run = [this](auto *sender, auto signal, std::function<void()> handler) {
        connect(sender, signal, this, [this, handler] { guarded(handler); });
    };
    run(Button_Unarchive, &QPushButton::clicked, [this] { Button_UnarchiveClick(); });
    run(pop1_Unarchive, &QAction::triggered, [this] { Button_UnarchiveClick(); });
    run(StringGrid1, &ArchiveGrid::gridDoubleClicked, [this] { Button_UnarchiveClick(); });
    run(Button_Del, &QPushButton::clicked, [this] { Button_DelClick(); });
    run(pop1_Delete, &QAction::triggered, [this] { Button_DelClick(); });
    run(Button_close, &QPushButton::clicked, [this] { Button_closeClick(); });
    run(Button_Menu, &QToolButton::clicked, [this] { Button_MenuClick(); });
    run(Preferences1, &QAction::triggered, [this] { Preferences1Click(); });
    run(pop1_Print, &QAction::triggered, [this] { pop1_PrintClick(); });
    for (QAction *a :
         {pop1_Sort->menuAction(), pop1_sortByname, pop1_sortBydate, pop1_sortBycategory})
        run(a, &QAction::triggered, [this, a] { pop1_SortClick(a); });
    connect(StringGrid1, &ArchiveGrid::gridMousePressed, this,
            [this](Qt::MouseButton b, int c, int r, const QPoint &g) {
                guarded([&] { StringGrid1MouseDown(b, c, r, g); });
            });
    new KeyPreview(this, {}, [this](int key) { guarded([&] { FormKeyUp(key); }); });
    // The main window's undo, which this modal window holds back while it is open.
    run(new QShortcut(QKeySequence::Undo, this), &QShortcut::activated, [this] { undoClick(); });
}

void TFormArchive::FormCreate()
{
    const Settings &s = *m_ctx.settings;
    // 1: the client area fits the button row; the minimum size then takes over.
    resize(Button_close->x() + Button_close->width() + 1,
           Button_close->y() + Button_close->height() + 3);
    // 2
    if (s.flag(SettingKey::ArchWindowPosition)) {
        const QRect screen = primaryScreenGeometry();
        const int left = s.integer(SettingKey::ArchWindowPositionLeft,
                                   screen.width() / 2 - frameGeometry().width() / 2);
        const int top = s.integer(SettingKey::ArchWindowPositionTop,
                                  screen.height() / 2 - frameGeometry().height() / 2);
        move(left, top);
    } else {
        move(DesignPosition);
    }
    // 3
    if (s.flag(SettingKey::ArchWindowSize))
        resize(s.integer(SettingKey::ArchWindowWidth), s.integer(SettingKey::ArchWindowHeight));
}

void TFormArchive::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    guarded([this] { FormShow(); });
}

void TFormArchive::FormShow()
{
    Settings &s = *m_ctx.settings;
    ApplyLanguageArchive(this, s.text(SettingKey::Language)); // 1
    m_archiveBaseCaption = windowTitle();                     // 2
    fitButtonsToTexts();
    FormResize();
    const int dateWidth = std::max(
        DateColumnWidth, // 3
        TaskGrid::dateColumnWidth(StringGrid1->fontMetrics(), *m_ctx.dates, m_ctx.clock->today()));
    for (int c = 0; c < Col::Count; ++c)
        StringGrid1->setColWidth(c, 0);
    StringGrid1->setColWidth(Col::Date, dateWidth);
    StringGrid1->setColWidth(Col::Priority, PriorityColumnWidth);
    StringGrid1->setColWidth(
        Col::Task, std::max(1, StringGrid1->width() - dateWidth - PriorityColumnWidth - 4));
    StringGrid1->setHeaderHeight(ArchiveGrid::DefaultHeaderHeight);
    m_archiveFileName = m_ctx.file(FileNames::Archive);           // 4
    LoadArchive();                                                // 5
    setWindowTitle(m_archiveBaseCaption + QStringLiteral(" - [ ") // 6
                   + QString::number(m_table->taskCount()) + QStringLiteral(" ]"));
    const int column = s.integer(SettingKey::SortedArch); // 7
    // A stored column that is no column of the table leaves the file's order.
    if (column >= 0 && column < Col::Count)
        SortRows(*m_table, column, true);
    FitTaskColumn(); // 8
}

void TFormArchive::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    guarded([this] { FormResize(); });
}

void TFormArchive::FormResize()
{
    const int bar = Panel1->height();
    StringGrid1->setGeometry(0, 0, clientWidth(), clientHeight() - bar);
    Panel1->setGeometry(0, clientHeight() - bar, clientWidth(), bar);
    Button_close->move(clientWidth() - Button_close->width() - CloseRightGap, Button_close->y());
    Button_Menu->move(Button_close->x() - Button_Menu->width() - 3, Button_Menu->y());
    Button_Unarchive->resize(Button_Menu->x() - Button_Unarchive->x() - 3,
                             Button_Unarchive->height());
    StringGrid1->setColWidth(Col::Task,
                             std::max(1, StringGrid1->width() - StringGrid1->colWidth(Col::Date) -
                                             StringGrid1->colWidth(Col::Priority) - 4));
}

void TFormArchive::FitTaskColumn()
{
    const int dataRows = m_table->rowCount() - 1;
    const int scrollBar =
        StringGrid1->visibleRowCount() < dataRows ? StringGrid1->scrollBarExtent() : 0;
    StringGrid1->setColWidth(Col::Task,
                             std::max(1, StringGrid1->width() - StringGrid1->colWidth(Col::Date) -
                                             StringGrid1->colWidth(Col::Priority) - 4 - scrollBar));
}

void TFormArchive::done(int result)
{
    // A file that cannot be rewritten is reported; the window still closes, as
    // every change was already written in place and nothing is lost.
    if (isVisible())
        guarded([this] { FormClose(); });
    QDialog::done(result);
}

void TFormArchive::FormClose()
{
    Settings &s = *m_ctx.settings;
    if (s.flag(SettingKey::ArchWindowPosition) && windowPositionsKnown()) { // 1
        s.setInteger(SettingKey::ArchWindowPositionLeft, x());
        s.setInteger(SettingKey::ArchWindowPositionTop, y());
    }
    if (s.flag(SettingKey::ArchWindowSize)) { // 2
        s.setInteger(SettingKey::ArchWindowHeight, clientHeight());
        s.setInteger(SettingKey::ArchWindowWidth, clientWidth());
    } else {
        s.setInteger(SettingKey::ArchWindowHeight, 139);
        s.setInteger(SettingKey::ArchWindowWidth, 309);
    }
    setWindowTitle(m_archiveBaseCaption); // 3
    SaveArchive();                        // 4
}

void TFormArchive::FormKeyUp(int key)
{
    RepaintOnAltTab(this, key, *m_ctx.os);
}

void TFormArchive::LoadArchive()
{
    // After a failed conversion the archive is left as it is (a missing one would be made).
    if (m_tasks.writesBlocked() && !QFileInfo::exists(m_archiveFileName)) {
        m_table->clearTasks();
        return;
    }
    const TaskDataFile file(m_archiveFileName, *m_ctx.damagedFiles);
    const TaskDataFile::LoadResult result = file.LoadTasks(*m_table, AllItems);
    if (result.tellUser)
        m_ctx.messages->show(isVisible() ? this : nullptr, {AppTitle, file.damagedMessage(result),
                                                            MsgIcon::Warning, MsgButtons::Ok});
}

void TFormArchive::SaveArchive()
{
    if (m_tasks.writesBlocked())
        return;
    m_tasks.saveArchive(*m_table);
}

void TFormArchive::BlankArchivedTask(qint64 position)
{
    if (m_tasks.writesBlocked())
        throw StoreError(QStringLiteral(
            "Nothing can be changed until the older release's tasks are converted."));
    // Through the task list, so that the delete can be undone as every change can.
    m_tasks.deleteArchived(position);
}
