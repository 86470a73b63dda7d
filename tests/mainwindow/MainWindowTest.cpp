// The main window's start-up steps, layout rules and close sequence.
#include "common/Eventually.h"
#include "common/TestContext.h"
#include "common/TestFiles.h"
#include "common/Ui.h"
#include "mainwindow/TForm1.h"
#include "store/ProfileData.h"
#include "store/StoreError.h"
#include "store/TaskTable.h"
#include "widgets/TaskGrid.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace TestFiles;

namespace {

QByteArray taskRecord(const QByteArray &task, const QByteArray &date, const QByteArray &hour,
                      const QByteArray &sortKey, const QByteArray &category = {},
                      const QByteArray &note = {})
{
    return record(fields({"", task, date, hour, "", "0", sortKey, category, "18", note}));
}

class MainWindowTest : public ::testing::Test
{
protected:
    MainWindowTest() { t.clock.set(QDateTime(QDate(2026, 12, 8), QTime(10, 0))); }

    void writeTasks()
    {
        writeAll(
            t.file(FileNames::Data),
            taskRecord("Cherry", "10/12/2026", "09:00", "2026-12-10 09:00", "Work") +
                taskRecord("apple", "08/12/2026", "", "2026-12-08 00:00", "Home", "a\r\nnote") +
                taskRecord("Banana", "01/12/2026", "07:15", "2026-12-01 07:15", "Work"));
        writeAll(t.file(FileNames::Archive), {});
    }
    void writeSettings(const QByteArray &ini) { writeAll(t.file(FileNames::Settings), ini); }
    QString stored(const char *key) const
    {
        return ProfileData::load(t.file(FileNames::Settings))
            .value(QStringLiteral("Preferences"), QString::fromLatin1(key))
            .value_or(QStringLiteral("<missing>"));
    }
    std::unique_ptr<TForm1> start()
    {
        auto w = std::make_unique<TForm1>(t.ctx, t.tasks, t.alarm);
        EXPECT_TRUE(w->FormCreate());
        return w;
    }
    QStringList tasksInOrder() const
    {
        QStringList out;
        for (int r = 1; r < t.tasks.table().rowCount(); ++r)
            out << t.tasks.table().cell(Col::Task, r);
        return out;
    }
    static TaskGrid *gridOf(TForm1 &w) { return ui<TaskGrid>(&w, "StringGrid1"); }

    TestContext t;
};

TEST_F(MainWindowTest, shouldRestoreTheStoredAppearanceSortAndCategoriesAtStartUp)
{
    writeTasks();
    writeSettings(
        "[preferences]\r\nwindowsize=1\r\nWindowHeight=300\r\nWINDOWWIDTH=500\r\nHideToolbar=1\r\n"
        "Sorted=Date\r\nSortedOrdr=0\r\nSortedHint=old\r\nAlert=1\r\nSelectedRow=2\r\n"
        "[Category]\r\nCats=3\r\n1=Home\r\n2=work\r\n3=HOME\r\n");
    auto w = start();

    EXPECT_EQ(w->clientHeight(), 300);
    EXPECT_EQ(w->clientWidth(), 500);
    EXPECT_TRUE(ui<QWidget>(w.get(), "Panel1")->isHidden());
    // Sorted "Date" sorts by the hidden sort key, ascending while the tag is 0.
    EXPECT_EQ(t.tasks.sortColumn(), Col::SortKey);
    EXPECT_EQ(tasksInOrder(), (QStringList{"Banana", "apple", "Cherry"}));
    EXPECT_EQ(gridOf(*w)->currentRow(), 2);
    EXPECT_TRUE(t.alarm.isActive());
    EXPECT_EQ(t.alarm.interval(), 5000);
    // The selector drops a name repeated in another case; the menu keeps it.
    const QComboBox *selector = ui<QComboBox>(w.get(), "ComboBox1");
    EXPECT_EQ(selector->count(), 3);
    EXPECT_EQ(selector->itemText(2), QStringLiteral("work"));
    const QList<QAction *> menu = ui<QMenu>(w.get(), "Menu_Category")->actions();
    ASSERT_EQ(menu.size(), 7);
    EXPECT_EQ(menu[6]->text(), QStringLiteral("HOME"));
    EXPECT_TRUE(menu[3]->isChecked());
    // The empty hour reads "00:00" once loaded; the obsolete key is gone.
    EXPECT_EQ(t.tasks.table().cell(Col::Hour, 2), QStringLiteral("00:00"));
    EXPECT_EQ(stored("SortedHint"), QStringLiteral("<missing>"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Nudgery   [ tasks: 3 ]"));
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(MainWindowTest, shouldCreateEmptyFilesWithoutAMessageOnAFirstStartInAnEmptyFolder)
{
    auto w = start();
    EXPECT_EQ(readAll(t.file(FileNames::Data)), QByteArray());
    EXPECT_TRUE(QFile::exists(t.file(FileNames::Archive)));
    EXPECT_TRUE(t.tasks.table().isEmpty());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Nudgery   [ tasks: 0 ]"));
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(MainWindowTest, shouldLeaveTheOldTasksForTheNextStartWhenTheirConversionFails)
{
    writeSettings("[Records]\r\nQuantity=1\r\n[Events0]\r\nChecked=\r\nTask=Old one\r\n"
                  "Date=31/02/2009\r\nTime=21:30\r\nPriority=1\r\nMemoLines=0\r\n");
    auto w = start();
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_TRUE(t.messages.shown[0].text.contains(QStringLiteral("Events0")));
    EXPECT_EQ(t.tasks.table().taskCount(), 0);

    // Nothing may be stored in this run: a task file would stop every later try.
    TaskRow task;
    task[Col::Task] = QStringLiteral("New one");
    EXPECT_THROW(t.tasks.add(task), StoreError);
    w->show();
    w->close();
    EXPECT_FALSE(QFile::exists(t.file(FileNames::Data)));
    EXPECT_FALSE(QFile::exists(t.file(FileNames::Archive)));
    EXPECT_EQ(ProfileData::load(t.file(FileNames::Settings))
                  .value(QStringLiteral("Events0"), QStringLiteral("Task")),
              QStringLiteral("Old one"));
}

TEST_F(MainWindowTest, shouldSelectTheLastRowForAStoredRowOutsideTheTable)
{
    writeTasks();
    writeSettings("[Preferences]\r\nSelectedRow=40\r\n");
    auto w = start();
    EXPECT_EQ(gridOf(*w)->currentRow(), 3);
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(MainWindowTest, shouldFallBackToDefaultWidthsAndFinishStartUpWhenColumnWidthsDoNotRead)
{
    writeTasks();
    writeSettings(
        "[Preferences]\r\nColumnWidths=[0x2,206,061,031,012]\r\nAlert=1\r\nSelectedRow=1\r\n");
    auto w = start();
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown[0].text, QStringLiteral("'0x2' is not a valid integer value"));
    EXPECT_EQ(gridOf(*w)->colWidth(0), 12);
    EXPECT_EQ(gridOf(*w)->colWidth(3), 31);
    EXPECT_TRUE(t.alarm.isActive());
    EXPECT_EQ(gridOf(*w)->currentRow(), 1);
}

TEST_F(MainWindowTest, shouldLayOutTheSelectorAndTheTaskColumnByTheirFormulas)
{
    writeTasks();
    auto w = start();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    TaskGrid *g = gridOf(*w);
    const auto others = [g] {
        return g->colWidth(0) + g->colWidth(2) + g->colWidth(3) + g->colWidth(4);
    };
    // At start-up already, before any resize: no scroll bar is taken off that is not there.
    EXPECT_EQ(g->colWidth(1), g->width() - 6 - others());

    // Toolbar width - 254 up to the selector's left edge + 125, then 119.
    const QWidget *toolbarPanel = ui<QWidget>(w.get(), "Panel1");
    const QComboBox *selectorBox = ui<QComboBox>(w.get(), "ComboBox1");
    for (const auto &[toolbar, selector] :
         {std::pair{360, 106}, {370, 116}, {371, 119}, {500, 119}}) {
        w->setClientSize(toolbar, 200);
        ASSERT_TRUE(eventually([&] { return toolbarPanel->width() == toolbar; }))
            << toolbarPanel->width();
        EXPECT_TRUE(eventually([&] { return selectorBox->width() == selector; }))
            << "toolbar " << toolbar << ": " << selectorBox->width();
    }

    EXPECT_EQ(g->colWidth(1), g->width() - 6 - others());

    // With more rows than fit, the task column gives up the scroll bar's width.
    QByteArray many;
    for (int i = 0; i < 40; ++i)
        many +=
            taskRecord("Task " + QByteArray::number(i), "10/12/2026", "09:00", "2026-12-10 09:00");
    writeAll(t.file(FileNames::Data), many);
    t.tasks.refresh();
    ASSERT_TRUE(eventually([&] { return g->visibleRowCount() < t.tasks.table().rowCount() - 1; }));
    EXPECT_TRUE(eventually([&] {
        return g->colWidth(1) == g->width() - 6 - others() - g->scrollBarExtent();
    })) << g->colWidth(1);
}

TEST_F(MainWindowTest, shouldGiveTheNotesPaneAFifthAtOnceAndASixthAfterTheNextLayoutStep)
{
    writeTasks();
    auto w = start();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    w->setClientSize(400, 300);
    ASSERT_TRUE(eventually([&] { return w->clientHeight() == 300; })) << w->clientHeight();

    QAction *notesPane = ui<QAction>(w.get(), "Menu_NotesPane");
    const QPlainTextEdit *notes = ui<QPlainTextEdit>(w.get(), "Memo_notes");
    notesPane->trigger();
    EXPECT_TRUE(notesPane->isChecked());
    EXPECT_EQ(notes->height(), 60);
    EXPECT_EQ(w->clientHeight(), 300);
    // The next layout step: the user makes the window taller.
    w->setClientSize(400, 330);
    EXPECT_TRUE(eventually([&] { return notes->height() == 55; })) << notes->height();

    // The pane shows the current row's note.
    gridOf(*w)->setCurrentRow(2);
    QString note = t.tasks.table().cell(Col::Note, 2);
    EXPECT_EQ(notes->toPlainText(), note.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

    notesPane->trigger();
    EXPECT_FALSE(notesPane->isChecked());
    EXPECT_TRUE(notes->isHidden());
}

TEST_F(MainWindowTest, shouldSaveEveryTaskAndTheExitKeysWhenClosedUnderAFilter)
{
    writeTasks();
    writeSettings("[Category]\r\nCats=2\r\n1=Home\r\n2=Work\r\n");
    auto w = start();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    choose(ui<QComboBox>(w.get(), "ComboBox1"), "Work");
    ASSERT_EQ(t.tasks.table().taskCount(), 2);
    gridOf(*w)->setCurrentRow(2);

    w->close();

    EXPECT_EQ(stored("SelectedRow"), QStringLiteral("2"));
    EXPECT_EQ(stored("WindowHeight"), QStringLiteral("240"));
    EXPECT_EQ(stored("WindowWidth"), QStringLiteral("336"));
    EXPECT_EQ(stored("NotePane"), QStringLiteral("0"));
    EXPECT_TRUE(stored("ColumnWidths").startsWith(QStringLiteral("[012,")));
    EXPECT_EQ(stored("ColumnWidths").size(), 21);
    // Compacted: every task once, in the table's (unsorted) order, each order field the
    // record's offset in the file as it was loaded, and the hour filled in at start-up kept.
    QByteArray expected;
    qint64 loadedAt = 0;
    const auto append = [&](const QByteArray &task, const QByteArray &date, const QByteArray &hour,
                            const QByteArray &key, const QByteArray &category,
                            const QByteArray &note, const QByteArray &hourInFile) {
        const QByteArray offset = QByteArray::number(loadedAt);
        expected += record(fields({"", task, date, hour, "", offset, key, category, "18", note}));
        loadedAt += taskRecord(task, date, hourInFile, key, category, note).size();
    };
    append("Cherry", "10/12/2026", "09:00", "2026-12-10 09:00", "Work", {}, "09:00");
    append("apple", "08/12/2026", "00:00", "2026-12-08 00:00", "Home", "a\r\nnote", "");
    append("Banana", "01/12/2026", "07:15", "2026-12-01 07:15", "Work", {}, "07:15");
    EXPECT_EQ(readAll(t.file(FileNames::Data)), expected);
}

TEST_F(MainWindowTest, shouldKeepCustomWidthsWithWindowSizeOnAndWriteTheSizes)
{
    writeTasks();
    writeSettings("[Preferences]\r\nWindowSize=1\r\nWindowHeight=280\r\nWindowWidth=450\r\n"
                  "ColumnWidths=[010,206,070,040,020]\r\n");
    auto w = start();
    EXPECT_EQ(gridOf(*w)->colWidth(0), 10);
    EXPECT_EQ(gridOf(*w)->colWidth(2), 70);
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    w->close();
    EXPECT_EQ(stored("WindowHeight"), QStringLiteral("280"));
    EXPECT_EQ(stored("WindowWidth"), QStringLiteral("450"));
    EXPECT_TRUE(stored("ColumnWidths").startsWith(QStringLiteral("[010,")));
    EXPECT_TRUE(stored("ColumnWidths").endsWith(QStringLiteral(",070,040,020]")));
}

TEST_F(MainWindowTest, shouldShowTheToolbarHintsAndTheGridMenuExtrasWhenBothBarsAreHidden)
{
    writeSettings("[Preferences]\r\nHideMainMenu=1\r\nHideToolbar=1\r\n");
    auto w = start();
    EXPECT_EQ(ui<QToolButton>(w.get(), "SpeedButton4")->toolTip(),
              QStringLiteral(" Add New Task "));
    EXPECT_EQ(ui<QToolButton>(w.get(), "SpeedButton9")->toolTip(), QStringLiteral(" About ... "));
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    EXPECT_TRUE(ui<QAction>(w.get(), "pop2_Preferences")->isVisible());
    EXPECT_TRUE(ui<QAction>(w.get(), "pop2_About")->isVisible());
    EXPECT_TRUE(ui<QAction>(w.get(), "pop2_N1")->isVisible());
}

TEST_F(MainWindowTest, shouldFallBackToAMinimisedWindowWithoutANotificationArea)
{
    // Offscreen there is never a tray: the window must stay reachable.
    auto w = start();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    QMenu *trayMenu = ui<QMenu>(w.get(), "PopupMenu1");
    QAction *showItem = ui<QAction>(w.get(), "pop1_Show");
    QTest::mouseClick(ui<QToolButton>(w.get(), "SpeedButton2"), Qt::LeftButton);
    EXPECT_TRUE(w->isMinimized());
    EXPECT_TRUE(w->isVisible());
    emit trayMenu->aboutToShow();
    EXPECT_EQ(showItem->text(), QStringLiteral("&Show"));
    showItem->trigger();
    EXPECT_FALSE(w->isMinimized());
    emit trayMenu->aboutToShow();
    EXPECT_EQ(showItem->text(), QStringLiteral("&Hide"));
}

} // namespace
