// Sorting the task list from the menus and the header, the category filter and
// the search, on the real main window.
#include "SortFilterFixture.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
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

    // A left click on the header, pressed and released at x pixels from the
    // left edge of the column's header cell.
    void clickHeader(int col, int x)
    {
        QWidget *header = w->grid()->horizontalHeader()->viewport();
        const QRect cell = w->grid()->cellRect(col, 0);
        const QPoint at = header->mapFrom(w->grid(), QPoint(cell.left() + x, cell.center().y()));
        QTest::mousePress(header, Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseRelease(header, Qt::LeftButton, Qt::NoModifier, at);
    }
    void clickHeaderMiddle(int col) { clickHeader(col, w->grid()->cellRect(col, 0).width() / 2); }

    QString storedKey(const char *key) const
    {
        for (const QByteArray &line : settingsBytes().split('\n'))
            if (line.startsWith(QByteArray(key) + '='))
                return QString::fromLatin1(line.mid(int(qstrlen(key)) + 1)).trimmed();
        return QStringLiteral("<none>");
    }
};

TEST_F(SortFilterTest, shouldToggleTheDirectionOnEverySortCommandWhateverTheColumn)
{
    writeSettings("[Preferences]\r\nSortedOrdr=1\r\n");
    start();
    const QByteArray settingsBefore = settingsBytes();

    command("Menu_SortByTask")->trigger(); // tag 1: ascending, tag becomes 0
    EXPECT_EQ(tasks(), QStringList({"apple", "Banana", "cherry", "date"}));
    EXPECT_EQ(w->sortTag(), 0);
    command("Menu_SortByDate")->trigger(); // tag 0: descending by sort key
    EXPECT_EQ(tasks(), QStringList({"apple", "cherry", "date", "Banana"}));
    EXPECT_EQ(w->sortTag(), 1);
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
}

TEST_F(SortFilterTest, shouldKeepTheSelectedTaskSelectedAfterEverySort)
{
    start();
    QList<QAction *> commands = ui<QMenu>(w.get(), "Menu_Sort")->actions();
    commands += ui<QMenu>(w.get(), "pop2_Sort")->actions();
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

TEST_F(SortFilterTest, shouldSortByAHeaderClickAndAlternateTheDirection)
{
    start();
    clickHeaderMiddle(Col::Task); // tag 0 at start: descending
    EXPECT_EQ(tasks(), QStringList({"date", "cherry", "Banana", "apple"}));
    EXPECT_EQ(storedKey("Sorted"), "Task");
    EXPECT_EQ(storedKey("SortedOrdr"), "1");
    clickHeaderMiddle(Col::Task);
    EXPECT_EQ(tasks(), QStringList({"apple", "Banana", "cherry", "date"}));
    EXPECT_EQ(storedKey("SortedOrdr"), "0");

    clickHeaderMiddle(Col::Done);
    EXPECT_EQ(tasks().first(), "Banana");
    EXPECT_EQ(storedKey("Sorted"), "");
    clickHeaderMiddle(Col::Priority);
    EXPECT_EQ(storedKey("Sorted"), "Pr");
}

TEST_F(SortFilterTest, shouldNotSortOnAReleaseNextToAColumnBorder)
{
    start();
    const QStringList before = tasks();
    const QByteArray settingsBefore = settingsBytes();
    // The layout step that ends a column drag may change the widths: each click
    // measures its cell anew.
    const auto taskWidth = [this] { return w->grid()->cellRect(Col::Task, 0).width(); };
    clickHeader(Col::Task, taskWidth() - 2); // the end of a drag of the right border
    EXPECT_EQ(tasks(), before);
    clickHeader(Col::Hour, 2); // next to the left border
    EXPECT_EQ(tasks(), before);
    clickHeader(Col::Task, taskWidth() - 3); // on the 3-pixel limit
    EXPECT_EQ(tasks(), before);
    clickHeader(Col::Task, 3);
    EXPECT_EQ(tasks(), before);
    EXPECT_EQ(settingsBytes(), settingsBefore);
    EXPECT_EQ(w->sortTag(), 0);

    clickHeader(Col::Task, 4); // just inside
    EXPECT_NE(tasks(), before);
}

TEST_F(SortFilterTest, shouldSortTheDateHeaderByTimeAndRestoreItAfterARestart)
{
    start();
    clickHeaderMiddle(Col::Date);
    const QStringList byDateDescending = {"apple", "cherry", "date", "Banana"};
    EXPECT_EQ(tasks(), byDateDescending);
    EXPECT_EQ(storedKey("Sorted"), "Date");
    EXPECT_EQ(storedKey("SortedOrdr"), "1");
    EXPECT_EQ(w->sortColumn(), Col::SortKey);

    // A pointer move between press and release still sorts by time, not by the
    // day-first date text.
    QWidget *header = w->grid()->horizontalHeader()->viewport();
    const QPoint at = header->mapFrom(w->grid(), w->grid()->cellRect(Col::Date, 0).center());
    QTest::mousePress(header, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseMove(header, at + QPoint(1, 0));
    QTest::mouseRelease(header, Qt::LeftButton, Qt::NoModifier, at + QPoint(1, 0));
    EXPECT_EQ(tasks(), QStringList({"Banana", "date", "cherry", "apple"}));
    clickHeaderMiddle(Col::Date);

    w.reset();
    start();
    EXPECT_EQ(w->sortColumn(), Col::SortKey);
    EXPECT_EQ(tasks(), byDateDescending);
}

TEST_F(SortFilterTest, shouldRestoreOnlyTheEnglishCaptionsAtStart)
{
    writeSettings("[Preferences]\r\nSorted=Hour\r\nSortedOrdr=0\r\nSortedHint=old\r\n");
    start();
    EXPECT_EQ(w->sortColumn(), Col::Hour);
    EXPECT_EQ(tasks(), QStringList({"date", "cherry", "apple", "Banana"})); // tag 0: ascending
    EXPECT_FALSE(settingsBytes().contains("SortedHint"));

    w.reset();
    writeSettings("[Preferences]\r\nSorted=Hora\r\nSortedOrdr=1\r\n");
    start();
    EXPECT_EQ(w->sortColumn(), Col::Done);
}

TEST_F(SortFilterTest, shouldShowOnlyTheTasksOfTheChosenCategoryExactly)
{
    writeSettings("[Category]\r\nCats=2\r\n1=Work\r\n2=Home\r\n");
    start();
    EXPECT_EQ(w->windowTitle(), "Nudgery   [ tasks: 4 ]");
    EXPECT_EQ(checkedMenuItem(), 3);

    // The user picks Work in the toolbar's selector.
    selector()->setFocus();
    QTest::keyClick(selector(), Qt::Key_Down);
    EXPECT_EQ(selector()->currentText(), "Work");
    EXPECT_EQ(tasks(), QStringList({"cherry"}));
    EXPECT_EQ(w->windowTitle(), "Nudgery   [ tasks: 1 ]");
    EXPECT_EQ(checkedMenuItem(), 4);
    EXPECT_EQ(w->focusWidget(), w->grid());

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

TEST_F(SortFilterTest, shouldShowTheNoteOfEachTaskTheArrowKeysReachAfterAHeaderClick)
{
    QList<QByteArray> records;
    for (const QByteArray name : {"apple", "Banana", "cherry", "date"})
        records << TestFiles::record(
            TestFiles::fields({"", name, "01/03/2027", "09:00", "1", "0", "2027-03-01 09:00", "",
                               "18", "about " + name}));
    writeTasks(records);
    start();
    ui<QAction>(w.get(), "Menu_NotesPane")->trigger();
    const QPlainTextEdit *notes = ui<QPlainTextEdit>(w.get(), "Memo_notes");
    clickHeaderMiddle(Col::Task);
    w->grid()->setFocus();
    for (int key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up}) {
        QTest::keyClick(w->grid(), Qt::Key(key));
        EXPECT_EQ(notes->toPlainText(), "about " + currentTask());
    }
}

// Records, with every box, which task was current when it was shown.
class CurrentTaskMessages : public FakeMessageService
{
public:
    MsgResult show(QWidget *parent, const MessageRequest &request) override
    {
        currentTasks << (window ? window->table().cell(Col::Task, window->grid()->currentRow())
                                : QString());
        return FakeMessageService::show(parent, request);
    }
    TForm1 *window = nullptr;
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
    messages.window = w.get();
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
    w->LoadTasks("Home");
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
