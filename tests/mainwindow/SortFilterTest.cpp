// The category filter and the search, on the real main window.
#include "SortFilterFixture.h"

#include <QLineEdit>
#include <QToolButton>

namespace {

class SortFilterTest : public SortFilterWindowTest
{
protected:
    void SetUp() override
    {
        writeTasks({task("cherry", "Work", "2027-03-02 08:00"),
                    task("apple", "Home", "2027-05-01 12:00"),
                    task("Banana", "work", "2026-12-31 23:00", "\xD7"),
                    task("date", "", "2027-01-15 07:30")});
    }
};

TEST_F(SortFilterTest, shouldShowOnlyTheTasksOfTheChosenCategoryExactly)
{
    // (The obsolete key goes at start-up.)
    writeSettings(
        "[Preferences]\r\nSortedHint=old\r\n[Category]\r\nCats=2\r\n1=Work\r\n2=Home\r\n");
    start();
    EXPECT_FALSE(settingsBytes().contains("SortedHint"));
    EXPECT_EQ(w->windowTitle(), "Nudgery   [ tasks: 4 ]");
    EXPECT_EQ(checkedMenuItem(), 3);

    // The user picks Work in the toolbar's selector.
    selector()->setFocus();
    QTest::keyClick(selector(), Qt::Key_Down);
    EXPECT_EQ(selector()->currentText(), "Work");
    EXPECT_EQ(tasks(), QStringList({"cherry"}));
    EXPECT_EQ(w->windowTitle(), "Nudgery   [ tasks: 1 ]");
    EXPECT_EQ(checkedMenuItem(), 4);
    EXPECT_EQ(w->focusWidget(), grid());

    // The menu's own item for Home, then All Items.
    categoryItems().at(5)->trigger();
    EXPECT_EQ(selector()->currentText(), "Home");
    EXPECT_EQ(tasks(), QStringList({"apple"}));
    EXPECT_EQ(checkedMenuItem(), 5);
    command("Menu_AllItems")->trigger();
    EXPECT_EQ(selector()->currentIndex(), 0);
    EXPECT_EQ(tasks().size(), 4);
    EXPECT_EQ(w->windowTitle(), "Nudgery   [ tasks: 4 ]");
    EXPECT_EQ(checkedMenuItem(), 3);
}

TEST_F(SortFilterTest, shouldTickTheMenuItemOfTheChosenNameWhenNamesRepeatInAnotherCase)
{
    writeSettings("[Category]\r\nCats=3\r\n1=Work\r\n2=work\r\n3=Home\r\n");
    start();
    selector()->setFocus();
    QTest::keyClick(selector(), Qt::Key_Down);
    EXPECT_EQ(selector()->currentText(), "Work");
    EXPECT_EQ(checkedMenuItem(), 4);
    QTest::keyClick(selector(), Qt::Key_Down);
    EXPECT_EQ(selector()->currentText(), "Home");
    EXPECT_EQ(tasks(), QStringList({"apple"}));
    EXPECT_EQ(categoryItems().at(checkedMenuItem())->text(), "Home");
}

// Records, with every box, which task was current when it was shown.
class CurrentTaskMessages : public FakeMessageService
{
public:
    MsgResult show(QWidget *parent, const MessageRequest &request) override
    {
        currentTasks << (grid ? table->cell(Col::Task, grid->currentRow()) : QString());
        return FakeMessageService::show(parent, request);
    }
    const TaskTable *table = nullptr;
    const TaskGrid *grid = nullptr;
    QStringList currentTasks;
};

TEST_F(SortFilterTest, shouldSelectAndShowEveryShownTaskContainingTheTextWithTheSameCase)
{
    writeTasks(
        {task("Write to Anna", "Home"), task("call anna"), task("Buy milk"), task("Call Anna")});
    writeSettings("[Preferences]\r\nSorted=Task\r\n"); // table order: by task, ascending
    CurrentTaskMessages messages;
    t.ctx.messages = &messages;
    start();
    messages.table = &t.tasks.table();
    messages.grid = grid();
    messages.shown.clear();
    messages.currentTasks.clear();

    withDialog(
        [](TFormCategory &d) {
            EXPECT_EQ(d.windowTitle(), " Search for :");
            EXPECT_EQ(searchField(d)->x(), 4);
            EXPECT_TRUE(searchField(d)->text().isEmpty());
            EXPECT_TRUE(searchField(d)->hasFocus());
            EXPECT_EQ(nameField(d)->x(), 2 * d.width());
            EXPECT_EQ(deleteList(d)->x(), 2 * d.width());
            QTest::keyClicks(searchField(d), "Anna");
            QTest::keyClick(searchField(d), Qt::Key_Return);
        },
        [&] { command("Menu_Search")->trigger(); });
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(messages.shown[0].text, "Call Anna");
    EXPECT_EQ(messages.shown[0].caption, "Nudgery");
    EXPECT_EQ(messages.shown[1].text, "Write to Anna");
    EXPECT_EQ(messages.currentTasks, QStringList({"Call Anna", "Write to Anna"}));

    // Only the shown tasks are searched; blanks, Cancel and misses show nothing.
    messages.shown.clear();
    t.tasks.load("Home");
    withDialog(
        [](TFormCategory &d) {
            QTest::keyClicks(searchField(d), "Anna");
            okButton(d)->click();
        },
        [&] { command("Menu_Search")->trigger(); });
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, "Write to Anna");
    messages.shown.clear();
    withDialog(
        [](TFormCategory &d) {
            QTest::keyClicks(searchField(d), "   ");
            okButton(d)->click();
        },
        [&] { command("Menu_Search")->trigger(); });
    withDialog(
        [](TFormCategory &d) {
            QTest::keyClicks(searchField(d), "Anna");
            QTest::keyClick(searchField(d), Qt::Key_Escape);
        },
        [&] { command("Menu_Search")->trigger(); });
    withDialog(
        [](TFormCategory &d) {
            QTest::keyClicks(searchField(d), "zebra");
            okButton(d)->click();
        },
        [&] { command("Menu_Search")->trigger(); });
    EXPECT_TRUE(messages.shown.isEmpty());
}

} // namespace
