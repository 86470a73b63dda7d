// The task pane on its own, over a task list on a program folder written by hand:
// sorting from its menus and its header, the selection kept across sorts, the
// stored sort, the notes pane, the columns and the grid's context menus.
#include "mainwindow/TaskPane.h"
#include "common/TestContext.h"
#include "common/TestFiles.h"
#include "common/Ui.h"
#include "store/ProfileData.h"
#include "store/TaskTable.h"
#include "widgets/TaskGrid.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

class TaskPaneTest : public ::testing::Test
{
protected:
    // One record as the file holds it; dates far from the fake clock's day.
    static QByteArray task(const QByteArray &text, const QByteArray &category = {},
                           const QByteArray &sortKey = "2027-03-01 09:00",
                           const QByteArray &done = {}, const QByteArray &note = {})
    {
        const QByteArray date = sortKey.mid(8, 2) + '/' + sortKey.mid(5, 2) + '/' + sortKey.left(4);
        return TestFiles::record(TestFiles::fields(
            {done, text, date, sortKey.mid(11), "1", "0", sortKey, category, "18", note}));
    }
    void SetUp() override
    {
        writeTasks({task("cherry", "Work", "2027-03-02 08:00"),
                    task("apple", "Home", "2027-05-01 12:00"),
                    task("Banana", "work", "2026-12-31 23:00", "\xD7"),
                    task("date", "", "2027-01-15 07:30")});
    }
    void writeTasks(const QList<QByteArray> &records)
    {
        TestFiles::writeAll(t.file(FileNames::Data), records.join());
    }
    void writeSettings(const QByteArray &text)
    {
        TestFiles::writeAll(t.file(FileNames::Settings), text);
    }
    QByteArray settingsBytes() const { return TestFiles::readAll(t.file(FileNames::Settings)); }
    QString stored(const char *key) const
    {
        return ProfileData::load(t.file(FileNames::Settings))
            .value(QStringLiteral("Preferences"), QString::fromLatin1(key))
            .value_or(QStringLiteral("<none>"));
    }

    // The pane as the main window starts it: the tasks loaded, the stored sort
    // restored and applied; the window's layout step is the pane's column step.
    void start()
    {
        t.tasks.load(AllItems);
        pane = std::make_unique<TaskPane>(t.ctx, t.tasks);
        QObject::connect(pane.get(), &TaskPane::layoutWanted, pane.get(), &TaskPane::layoutColumns);
        pane->restoreSort();
        pane->ApplySort();
        pane->resize(420, 200);
        pane->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(pane.get()));
    }

    TaskGrid *grid() const { return ui<TaskGrid>(pane.get(), "StringGrid1"); }
    QStringList tasks() const
    {
        QStringList out;
        for (int r = 1; r < t.tasks.table().rowCount(); ++r)
            out << t.tasks.table().cell(Col::Task, r);
        return out;
    }
    QString currentTask() const { return t.tasks.table().cell(Col::Task, pane->currentRow()); }
    void select(const QString &text)
    {
        const int row = int(tasks().indexOf(text)) + 1;
        ASSERT_GE(row, 1) << text.toStdString();
        pane->selectRow(row);
    }

    // A left click on the header, pressed and released at x pixels from the
    // left edge of the column's header cell.
    void clickHeader(int col, int x)
    {
        QWidget *header = grid()->horizontalHeader()->viewport();
        const QRect cell = grid()->cellRect(col, 0);
        const QPoint at = header->mapFrom(grid(), QPoint(cell.left() + x, cell.center().y()));
        QTest::mousePress(header, Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseRelease(header, Qt::LeftButton, Qt::NoModifier, at);
    }
    void clickHeaderMiddle(int col) { clickHeader(col, grid()->cellRect(col, 0).width() / 2); }
    QPoint centreOf(int col, int row) const
    {
        QWidget *target = row == 0 ? grid()->horizontalHeader()->viewport() : grid()->viewport();
        return target->mapFrom(grid(), grid()->cellRect(col, row).center());
    }
    // The visible items of a menu, by name.
    static QStringList visibleItems(const QMenu *menu)
    {
        QStringList out;
        for (QAction *action : menu->actions())
            if (action->isVisible())
                out << action->objectName();
        return out;
    }

    TestContext t;
    std::unique_ptr<TaskPane> pane;
};

TEST_F(TaskPaneTest, shouldToggleTheDirectionOnEverySortCommandWhateverTheColumn)
{
    writeSettings("[Preferences]\r\nSortedOrdr=1\r\n");
    start();
    // The View menu's Sort submenu, built by the pane as the grid menu's is.
    QMenu view;
    pane->addSortMenu(&view, "Menu_Sort");
    const auto command = [&](const char *name) {
        QAction *item = view.findChild<QAction *>(QString::fromLatin1(name));
        return item ? item : ui<QAction>(pane.get(), name);
    };
    const QByteArray settingsBefore = settingsBytes();

    command("Menu_SortByTask")->trigger(); // tag 1: ascending, tag becomes 0
    EXPECT_EQ(tasks(), QStringList({"apple", "Banana", "cherry", "date"}));
    EXPECT_EQ(t.tasks.sortTag(), 0);
    command("Menu_SortByDate")->trigger(); // tag 0: descending by sort key
    EXPECT_EQ(tasks(), QStringList({"apple", "cherry", "date", "Banana"}));
    EXPECT_EQ(t.tasks.sortTag(), 1);
    command("pop2_SortByDate")->trigger(); // the same column again turns round
    EXPECT_EQ(tasks(), QStringList({"Banana", "date", "cherry", "apple"}));
    command("pop2_SortByHour")->trigger();
    EXPECT_EQ(tasks(),
              QStringList({"Banana", "apple", "cherry", "date"})); // 23:00 12:00 08:00 07:30
    command("Menu_SortByCategory")->trigger(); // ascending: no category, Home, then Work and work
    EXPECT_EQ(tasks().mid(0, 2), QStringList({"date", "apple"}));
    command("Menu_SortByStatus")->trigger(); // descending: the finished task first
    EXPECT_EQ(tasks().first(), "Banana");
    command("pop2_SortByStatus")->trigger();
    EXPECT_EQ(tasks().last(), "Banana");
    // Menu sorts last until the next start only.
    EXPECT_EQ(settingsBytes(), settingsBefore);
    // Both submenus carry the designed captions.
    EXPECT_EQ(command("Menu_SortByTask")->text(), "By &task");
    EXPECT_EQ(command("pop2_SortByTask")->text(), "By &task");
}

TEST_F(TaskPaneTest, shouldKeepTheSelectedTaskSelectedAfterEverySort)
{
    start();
    const QList<QAction *> commands = ui<QMenu>(pane.get(), "pop2_Sort")->actions();
    ASSERT_EQ(commands.size(), 5);
    for (const QString chosen : {"Banana", "date"}) {
        for (QAction *command : commands) {
            select(chosen);
            command->trigger();
            EXPECT_EQ(currentTask(), chosen) << command->objectName().toStdString();
        }
    }
    for (int col : {Col::Done, Col::Task, Col::Date, Col::Hour, Col::Priority}) {
        select("cherry");
        clickHeaderMiddle(col);
        EXPECT_EQ(currentTask(), "cherry") << "header " << col;
    }
}

TEST_F(TaskPaneTest, shouldSortByAHeaderClickAndAlternateTheDirection)
{
    start();
    clickHeaderMiddle(Col::Task); // tag 0 at start: descending
    EXPECT_EQ(tasks(), QStringList({"date", "cherry", "Banana", "apple"}));
    EXPECT_EQ(stored("Sorted"), "Task");
    EXPECT_EQ(stored("SortedOrdr"), "1");
    clickHeaderMiddle(Col::Task);
    EXPECT_EQ(tasks(), QStringList({"apple", "Banana", "cherry", "date"}));
    EXPECT_EQ(stored("SortedOrdr"), "0");

    clickHeaderMiddle(Col::Done);
    EXPECT_EQ(tasks().first(), "Banana");
    EXPECT_EQ(stored("Sorted"), "");
    clickHeaderMiddle(Col::Priority);
    EXPECT_EQ(stored("Sorted"), "Pr");
}

TEST_F(TaskPaneTest, shouldNotSortOnAReleaseNextToAColumnBorder)
{
    start();
    const QStringList before = tasks();
    const QByteArray settingsBefore = settingsBytes();
    QSignalSpy layoutSteps(pane.get(), &TaskPane::layoutWanted);
    // The layout step that ends a column drag may change the widths: each click
    // measures its cell anew.
    const auto taskWidth = [this] { return grid()->cellRect(Col::Task, 0).width(); };
    clickHeader(Col::Task, taskWidth() - 2); // the end of a drag of the right border
    EXPECT_EQ(tasks(), before);
    clickHeader(Col::Hour, 2); // next to the left border
    EXPECT_EQ(tasks(), before);
    clickHeader(Col::Task, taskWidth() - 3); // on the 3-pixel limit
    EXPECT_EQ(tasks(), before);
    clickHeader(Col::Task, 3);
    EXPECT_EQ(tasks(), before);
    EXPECT_EQ(settingsBytes(), settingsBefore);
    EXPECT_EQ(t.tasks.sortTag(), 0);
    EXPECT_GE(layoutSteps.count(), 4);

    clickHeader(Col::Task, 4); // just inside
    EXPECT_NE(tasks(), before);
}

TEST_F(TaskPaneTest, shouldSortTheDateHeaderByTimeAndRestoreItAfterARestart)
{
    start();
    clickHeaderMiddle(Col::Date);
    const QStringList byDateDescending = {"apple", "cherry", "date", "Banana"};
    EXPECT_EQ(tasks(), byDateDescending);
    EXPECT_EQ(stored("Sorted"), "Date");
    EXPECT_EQ(stored("SortedOrdr"), "1");
    EXPECT_EQ(t.tasks.sortColumn(), Col::SortKey);

    // A pointer move between press and release still sorts by time, not by the
    // day-first date text.
    QWidget *header = grid()->horizontalHeader()->viewport();
    const QPoint at = centreOf(Col::Date, 0);
    QTest::mousePress(header, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseMove(header, at + QPoint(1, 0));
    QTest::mouseRelease(header, Qt::LeftButton, Qt::NoModifier, at + QPoint(1, 0));
    EXPECT_EQ(tasks(), QStringList({"Banana", "date", "cherry", "apple"}));
    clickHeaderMiddle(Col::Date);

    pane.reset();
    start();
    EXPECT_EQ(t.tasks.sortColumn(), Col::SortKey);
    EXPECT_EQ(tasks(), byDateDescending);
}

TEST_F(TaskPaneTest, shouldRestoreOnlyTheEnglishCaptionsAtStart)
{
    writeSettings("[Preferences]\r\nSorted=Hour\r\nSortedOrdr=0\r\n");
    start();
    EXPECT_EQ(t.tasks.sortColumn(), Col::Hour);
    EXPECT_EQ(tasks(), QStringList({"date", "cherry", "apple", "Banana"})); // tag 0: ascending

    pane.reset();
    writeSettings("[Preferences]\r\nSorted=Hora\r\nSortedOrdr=1\r\n");
    start();
    EXPECT_EQ(t.tasks.sortColumn(), Col::Done);
}

TEST_F(TaskPaneTest, shouldShowTheNoteOfEachTaskTheArrowKeysReachAfterAHeaderClick)
{
    QList<QByteArray> records;
    for (const QByteArray name : {"apple", "Banana", "cherry", "date"})
        records << task(name, {}, "2027-03-01 09:00", {}, "about " + name);
    writeTasks(records);
    start();
    const QPlainTextEdit *notes = ui<QPlainTextEdit>(pane.get(), "Memo_notes");
    pane->showNotes(40);
    EXPECT_EQ(notes->height(), 40);
    EXPECT_EQ(notes->toPlainText(), "about " + currentTask());
    clickHeaderMiddle(Col::Task);
    grid()->setFocus();
    for (int key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up}) {
        QTest::keyClick(grid(), Qt::Key(key));
        EXPECT_EQ(notes->toPlainText(), "about " + currentTask());
    }

    // "Hide note's pane" asks the window's switch; hidden, the pane follows no row.
    QSignalSpy switchWanted(pane.get(), &TaskPane::notesSwitchWanted);
    ui<QAction>(pane.get(), "pop3_HideNotespane")->trigger();
    EXPECT_EQ(switchWanted.count(), 1);
    pane->hideNotes();
    EXPECT_TRUE(notes->isHidden());
    const QString shown = notes->toPlainText();
    QTest::keyClick(grid(), Qt::Key_Down);
    EXPECT_EQ(notes->toPlainText(), shown);
}

TEST_F(TaskPaneTest, shouldOpenTheRowFormOfTheGridMenuOnARowAndTheColumnsMenuOnTheHeader)
{
    start();
    QMenu *gridMenu = ui<QMenu>(pane.get(), "PopupMenu2");
    QMenu *columnsMenu = ui<QMenu>(pane.get(), "PopupMenu4");
    pane->selectRow(1);
    QTest::mouseClick(grid()->viewport(), Qt::RightButton, {}, centreOf(Col::Task, 3));
    EXPECT_TRUE(gridMenu->isVisible());
    EXPECT_EQ(pane->currentRow(), 3);
    EXPECT_EQ(visibleItems(gridMenu),
              QStringList({"pop2_EditTask", "pop2_Deletetask", "pop2_Archivetask", "pop2_N9",
                           "pop2_Sort", "pop2_Preferences"}));
    gridMenu->close();

    // A selection of several rows stays as it is.
    grid()->selectRows(1, 3);
    QTest::mouseClick(grid()->viewport(), Qt::RightButton, {}, centreOf(Col::Task, 2));
    EXPECT_EQ(pane->selectionTop(), 1);
    EXPECT_EQ(pane->selectionBottom(), 3);
    gridMenu->close();

    // The header's menu changes no selection.
    QTest::mouseClick(grid()->horizontalHeader()->viewport(), Qt::RightButton, {},
                      centreOf(Col::Task, 0));
    EXPECT_TRUE(columnsMenu->isVisible());
    EXPECT_FALSE(gridMenu->isVisible());
    EXPECT_EQ(pane->selectionTop(), 1);
    EXPECT_EQ(pane->selectionBottom(), 3);
    columnsMenu->close();

    // The toolbar's form; with both bars hidden the about item shows in the row form.
    pane->ConfigureGridPopup(true);
    EXPECT_EQ(visibleItems(gridMenu),
              QStringList({"pop2_Sort", "pop2_N1", "pop2_Preferences", "pop2_About"}));
    writeSettings("[Preferences]\r\nHideMainMenu=1\r\nHideToolbar=1\r\n");
    pane->ConfigureGridPopup(false);
    EXPECT_EQ(visibleItems(gridMenu),
              QStringList({"pop2_EditTask", "pop2_Deletetask", "pop2_Archivetask", "pop2_N9",
                           "pop2_Sort", "pop2_N1", "pop2_Preferences", "pop2_About"}));
}

TEST_F(TaskPaneTest, shouldAskForATickOnTheDoneCellAndAnEditOnAnyOtherCellOfADoubleClick)
{
    start();
    QSignalSpy ticks(pane.get(), &TaskPane::checkWanted);
    QSignalSpy edits(pane.get(), &TaskPane::editWanted);
    QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, centreOf(Col::Done, 2));
    EXPECT_EQ(ticks.count(), 1);
    EXPECT_EQ(edits.count(), 0);
    QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, centreOf(Col::Date, 1));
    EXPECT_EQ(edits.count(), 1);
    // The header is no task; neither is the one blank row of an empty table.
    QTest::mouseDClick(grid()->horizontalHeader()->viewport(), Qt::LeftButton, {},
                       centreOf(Col::Done, 0));
    writeTasks({});
    t.tasks.load(AllItems);
    QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, centreOf(Col::Task, 1));
    EXPECT_EQ(ticks.count(), 1);
    EXPECT_EQ(edits.count(), 1);
}

TEST_F(TaskPaneTest, shouldGiveTheRoomOfAHiddenColumnToTheTaskColumnAndKeepTheStoredWidths)
{
    writeSettings("[Preferences]\r\nCustomCols=1\r\n");
    start();
    auto *menu = ui<QMenu>(pane.get(), "PopupMenu4");
    const auto item = [&menu](const char *name) { return ui<QAction>(menu, name); };
    const auto byRule = [this] {
        TaskGrid *g = grid();
        return g->width() - 6 - g->colWidth(0) - g->colWidth(2) - g->colWidth(3) - g->colWidth(4);
    };
    pane->layoutColumns();
    const int task = grid()->colWidth(Col::Task);
    const int hour = grid()->colWidth(Col::Hour);
    ASSERT_GT(hour, 3);
    item("pop4_HourCol")->trigger();
    EXPECT_EQ(grid()->colWidth(Col::Hour), 0);
    EXPECT_EQ(grid()->colWidth(Col::Task), task + hour);
    item("pop4_HourCol")->trigger();
    EXPECT_EQ(grid()->colWidth(Col::Hour), 31);
    EXPECT_EQ(grid()->colWidth(Col::Task), byRule());

    // A task column the user hid stays hidden, in this run and the next.
    item("pop4_TaskDescript")->trigger();
    pane->layoutColumns();
    EXPECT_EQ(grid()->colWidth(Col::Task), 0);
    pane->storeColumnWidths();
    EXPECT_TRUE(stored("ColumnWidths").startsWith(QStringLiteral("[012,000,")))
        << stored("ColumnWidths").toStdString();
    pane.reset();
    start();
    pane->restoreColumnWidths();
    pane->layoutColumns();
    EXPECT_EQ(grid()->colWidth(Col::Task), 0);
    menu = ui<QMenu>(pane.get(), "PopupMenu4");
    emit menu->aboutToShow();
    EXPECT_FALSE(item("pop4_TaskDescript")->isChecked());
    item("pop4_TaskDescript")->trigger();
    EXPECT_EQ(grid()->colWidth(Col::Task), byRule());
}

} // namespace
