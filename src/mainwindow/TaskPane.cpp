// The task pane: its grid and notes pane, their context menus, the selection and
// the columns.
#include "TaskPane.h"

#include "VisibleColumnsMenu.h"
#include "editor/RepeatChoice.h"
#include "i18n/LanguageTables.h"
#include "platform/AppContext.h"
#include "platform/HandlerGuard.h"
#include "platform/MessageService.h"
#include "store/Clock.h"
#include "store/Settings.h"
#include "store/StoreError.h"
#include "store/TaskTable.h"
#include "tasks/TaskList.h"
#include "widgets/DesignCaptions.h"
#include "widgets/TaskGrid.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QFrame>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

const DesignCaptions designCaption(LanguageTables::mainWindow(), LanguageTables::mainTwins());

} // namespace

TaskPane::TaskPane(AppContext &ctx, TaskList &tasks, QWidget *parent)
    : QWidget(parent), m_ctx(ctx), m_tasks(tasks)
{
    setObjectName(QStringLiteral("TaskPane"));
    buildGrid();
    buildPopupMenus();
    connect(&m_tasks, &TaskList::selectionWanted, this, [this](int row) { selectRow(row); });
}

void TaskPane::buildGrid()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    StringGrid1 = new TaskGrid(this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setTable(&table());
    StringGrid1->setDateServices(m_ctx.dates, m_ctx.clock);
    // The mark is painted often: only the tooltip's words read the language setting.
    StringGrid1->setRepeats([this](int row) { return m_tasks.repeatRule(row).repeats(); },
                            [this](int row) {
                                const RepeatRule rule = m_tasks.repeatRule(row);
                                return rule.repeats() ? RepeatChoice::words(
                                                            rule, chosenLanguage(*m_ctx.settings))
                                                      : QString();
                            });
    layout->addWidget(StringGrid1, 1);
    // The designed widths; columns 5-9 hold data only.
    static const int widths[Col::Count] = {12, 206, 61, 31, 12, 0, 0, 0, 0, 0};
    for (int c = 0; c < Col::Count; ++c)
        StringGrid1->setColWidth(c, widths[c]);
    static const char *captions[Col::Count] = {"",      "Task", "Date", "Hour", "Pr",
                                               "order", "Date", "Type", "TxtC", "Note"};
    for (int c = 0; c < Col::Count; ++c)
        table().setHeader(c, QString::fromLatin1(captions[c]));

    Bevel6 = new QFrame(this);
    Bevel6->setObjectName(QStringLiteral("Bevel6"));
    Bevel6->setFrameShape(QFrame::HLine);
    Bevel6->setFrameShadow(QFrame::Sunken);
    Bevel6->setFixedHeight(2);
    Bevel6->hide();
    layout->addWidget(Bevel6);

    Memo_notes = new QPlainTextEdit(this);
    Memo_notes->setObjectName(QStringLiteral("Memo_notes"));
    Memo_notes->setReadOnly(true);
    Memo_notes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo_notes->setFixedHeight(0);
    Memo_notes->hide();
    Memo_notes->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(Memo_notes);

    connect(StringGrid1, &TaskGrid::gridMousePressed, this,
            [this](Qt::MouseButton b, int, int r, const QPoint &g) {
                guarded([&] { StringGrid1MouseDown(b, r, g); });
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
    // The window's layout step follows the grid's own size, which settles after the
    // window's; the viewport is sized last (it decides whether rows overflow).
    StringGrid1->viewport()->installEventFilter(this);
}

void TaskPane::buildPopupMenus()
{
    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    pop2_EditTask = designCaption.item(PopupMenu2, "pop2_EditTask");
    pop2_Deletetask = designCaption.item(PopupMenu2, "pop2_Deletetask");
    pop2_Archivetask = designCaption.item(PopupMenu2, "pop2_Archivetask");
    pop2_N9 = separator(PopupMenu2, "pop2_N9");
    addSortMenu(PopupMenu2, "pop2_Sort");
    pop2_N1 = separator(PopupMenu2, "pop2_N1");
    QAction *pop2_Preferences = designCaption.item(PopupMenu2, "pop2_Preferences");
    pop2_About = designCaption.item(PopupMenu2, "pop2_About");
    pop2_N1->setVisible(false);
    pop2_About->setVisible(false);
    connect(pop2_EditTask, &QAction::triggered, this, &TaskPane::editWanted);
    connect(pop2_Deletetask, &QAction::triggered, this, &TaskPane::deleteWanted);
    connect(pop2_Archivetask, &QAction::triggered, this, &TaskPane::archiveWanted);
    connect(pop2_Preferences, &QAction::triggered, this, &TaskPane::preferencesWanted);
    connect(pop2_About, &QAction::triggered, this, &TaskPane::aboutWanted);

    PopupMenu3 = new QMenu(this);
    PopupMenu3->setObjectName(QStringLiteral("PopupMenu3"));
    QAction *pop3_Copy = designCaption.item(PopupMenu3, "pop3_Copy");
    QAction *pop3_HideNotespane = designCaption.item(PopupMenu3, "pop3_HideNotespane");
    connect(pop3_Copy, &QAction::triggered, this, [] {
        QWidget *focused = QApplication::focusWidget();
        if (auto *edit = qobject_cast<QPlainTextEdit *>(focused)) {
            edit->selectAll();
            QApplication::clipboard()->setText(edit->toPlainText());
        }
    });
    connect(pop3_HideNotespane, &QAction::triggered, this, &TaskPane::notesSwitchWanted);

    PopupMenu4 = new VisibleColumnsMenu(
        StringGrid1, m_ctx.dates, m_ctx.clock, [this] { emit layoutWanted(); }, this);
}

void TaskPane::addSortMenu(QMenu *menu, const char *name)
{
    QMenu *sort = designCaption.submenu(menu, name);
    menu->addMenu(sort);
    static const struct
    {
        const char *name;
        int column;
    } items[] = {{"ByTask", Col::Task},
                 {"ByDate", Col::SortKey},
                 {"ByHour", Col::Hour},
                 {"ByCategory", Col::Category},
                 {"ByStatus", Col::Done}};
    for (const auto &i : items) {
        QAction *item = designCaption.item(sort, (QByteArray(name) + i.name).constData());
        item->setData(i.column);
        connect(item, &QAction::triggered, this,
                [this, item] { guarded([this, item] { Sort1Click(item); }); });
    }
}

bool TaskPane::guarded(const std::function<void()> &handler)
{
    return runGuardedIn(*m_ctx.messages, window(), handler);
}

TaskTable &TaskPane::table() const
{
    return m_tasks.table();
}

bool TaskPane::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == StringGrid1->viewport() && event->type() == QEvent::Resize)
        emit layoutWanted();
    return QWidget::eventFilter(watched, event);
}

int TaskPane::currentRow() const
{
    return StringGrid1->currentRow();
}

int TaskPane::selectionTop() const
{
    return StringGrid1->selectionTop();
}

int TaskPane::selectionBottom() const
{
    return StringGrid1->selectionBottom();
}

void TaskPane::selectRow(int row)
{
    StringGrid1->setCurrentRow(row);
}

void TaskPane::focusGrid()
{
    StringGrid1->setFocus();
}

void TaskPane::repaintGrid()
{
    StringGrid1->viewport()->update();
}

int TaskPane::dateColumnDefaultWidth() const
{
    return TaskGrid::dateColumnWidth(StringGrid1->fontMetrics(), *m_ctx.dates,
                                     m_ctx.clock->today());
}

void TaskPane::fitDateColumn()
{
    StringGrid1->setColWidth(Col::Date, dateColumnDefaultWidth());
}

void TaskPane::layoutColumns()
{
    if (!m_tasks.loaded())
        return;
    // A task column the user hid (the visible-columns menu) stays hidden.
    if (PopupMenu4->taskColumnHidden())
        return;
    const int s = StringGrid1->visibleRowCount() < table().rowCount() - 1
                      ? StringGrid1->scrollBarExtent()
                      : 0;
    int others = 0;
    for (int c : {0, 2, 3, 4})
        others += StringGrid1->colWidth(c);
    StringGrid1->setColWidth(Col::Task, StringGrid1->width() - 6 - others - s);
}

void TaskPane::restoreColumnWidths()
{
    const Settings &s = *m_ctx.settings;
    if (!s.flag(SettingKey::CustomCols))
        return;
    try {
        const auto widths = ColumnWidths::parse(
            s.text(SettingKey::ColumnWidths, ColumnWidths::defaultValue(dateColumnDefaultWidth())));
        for (int c = 0; c < 5; ++c)
            StringGrid1->setColWidth(c, widths[size_t(c)]);
        // A task column stored at 0 was hidden from the header menu: the layout
        // step must not give it the row's room back.
        PopupMenu4->setTaskColumnHidden(widths[size_t(Col::Task)] == 0);
    } catch (const StoreError &e) {
        // The defaults stay; start-up goes on.
        m_ctx.messages->error(nullptr, e.message());
    }
}

void TaskPane::storeColumnWidths()
{
    Settings &s = *m_ctx.settings;
    if (!s.flag(SettingKey::CustomCols)) {
        s.setText(SettingKey::ColumnWidths, ColumnWidths::defaultValue(dateColumnDefaultWidth()));
        return;
    }
    std::array<int, 5> widths{};
    for (int c = 0; c < 5; ++c)
        widths[size_t(c)] = StringGrid1->colWidth(c);
    s.setText(SettingKey::ColumnWidths, ColumnWidths::format(widths));
}

void TaskPane::resetColumnWidths()
{
    TaskGrid &grid = *StringGrid1;
    const int scrollBar =
        grid.visibleRowCount() < table().rowCount() - 1 ? grid.scrollBarExtent() : 0;
    grid.setColWidth(Col::Done, 12);
    grid.setColWidth(Col::Date, dateColumnDefaultWidth());
    grid.setColWidth(Col::Hour, 31);
    grid.setColWidth(Col::Priority, 12);
    PopupMenu4->setTaskColumnHidden(false);
    grid.setColWidth(Col::Task, grid.width() - grid.colWidth(Col::Done) - grid.colWidth(Col::Date) -
                                    grid.colWidth(Col::Hour) - grid.colWidth(Col::Priority) -
                                    scrollBar - 6);
}

std::vector<int> TaskPane::columnWidths() const
{
    std::vector<int> widths;
    for (int c = 0; c < Col::Count; ++c)
        widths.push_back(StringGrid1->colWidth(c));
    return widths;
}

int TaskPane::rowsWidth() const
{
    return StringGrid1->viewport()->width();
}

void TaskPane::showNotes(int height)
{
    m_notesShown = true;
    Bevel6->show();
    Memo_notes->setFixedHeight(height);
    Memo_notes->show();
    StringGrid1Click();
}

void TaskPane::hideNotes()
{
    m_notesShown = false;
    Memo_notes->setFixedHeight(0);
    Memo_notes->hide();
    Bevel6->hide();
}

void TaskPane::setNotesHeight(int height)
{
    if (m_notesShown)
        Memo_notes->setFixedHeight(height);
}

bool TaskPane::notesHaveFocus() const
{
    return Memo_notes->hasFocus();
}

void TaskPane::StringGrid1Click()
{
    // The row a header click's sort selects is no row the user chose.
    if (m_sortingByHeader)
        return;
    StringGrid1->horizontalScrollBar()->setValue(0);
    if (m_notesShown) {
        const int row = StringGrid1->currentRow();
        Memo_notes->clear();
        if (row >= 1 && row < table().rowCount())
            Memo_notes->setPlainText(table().cell(Col::Note, row));
    }
}

bool TaskPane::gridPopupNeedsExtras() const
{
    // With neither menu bar nor toolbar the grid's menu is the only way left to
    // the preferences and the about box.
    const Settings &s = *m_ctx.settings;
    return s.flag(SettingKey::HideMainMenu) && s.flag(SettingKey::HideToolbar);
}

void TaskPane::updateGridPopupExtras()
{
    // The preferences item stays in every form; only the about item and its
    // separator follow the rule.
    const bool both = gridPopupNeedsExtras();
    pop2_N1->setVisible(both);
    pop2_About->setVisible(both);
}

void TaskPane::ConfigureGridPopup(bool toolbarForm)
{
    // The about item (with its separator) in the toolbar's form, and in both forms
    // when it is the only way left to the box.
    const bool about = toolbarForm || gridPopupNeedsExtras();
    pop2_N1->setVisible(about);
    pop2_About->setVisible(about);
    for (QAction *taskItem : {pop2_EditTask, pop2_Deletetask, pop2_Archivetask, pop2_N9})
        taskItem->setVisible(!toolbarForm);
}

void TaskPane::popupGridMenu(const QPoint &globalPos)
{
    PopupMenu2->popup(globalPos);
}

void TaskPane::setShowNoteHints(bool on)
{
    StringGrid1->setShowNoteHints(on);
}

void TaskPane::clearHint()
{
    StringGrid1->clearHint();
}
