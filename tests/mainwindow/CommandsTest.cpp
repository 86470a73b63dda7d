// The task commands: check/uncheck, delete, the double-click rules, the grid's
// context menu in its two forms, and the editor's presets for add and edit.
#include "editor/EditorFixture.h"

#include "store/TaskRecord.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>

using TestFiles::fields;
using TestFiles::record;

namespace {

class CommandsTest : public TaskWindowTest
{
protected:
    // The record a check or uncheck appends: the row's fields with the new mark
    // and its new order.
    static QByteArray rewritten(const QByteArray &original, const QByteArray &done, qint64 order)
    {
        TaskRow row = TaskRecord::split(original.mid(4));
        row[Col::Done] = QString::fromLatin1(done);
        row[Col::Order] = QString::number(order);
        return record(TaskRecord::join(row));
    }
    QPoint centreOf(int col, int row) const
    {
        QWidget *target = row == 0 ? static_cast<QWidget *>(grid()->horizontalHeader()->viewport())
                                   : grid()->viewport();
        return target->mapFrom(grid(), grid()->cellRect(col, row).center());
    }
    void rightClickRow(int row)
    {
        QTest::mouseClick(grid()->viewport(), Qt::RightButton, {}, centreOf(Col::Task, row));
    }
    QMenu *gridMenu() const { return ui<QMenu>(w.get(), "PopupMenu2"); }
    // The visible items of the grid's context menu, by name.
    QStringList visibleMenu() const
    {
        QStringList out;
        for (QAction *action : gridMenu()->actions())
            if (action->isVisible())
                out << action->objectName();
        return out;
    }
    // Runs action; a modal dialog it opens is recorded and closed.
    bool opensADialog(const std::function<void()> &action)
    {
        bool opened = false;
        QTimer::singleShot(0, w.get(), [&] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                opened = true;
                modal->close();
            }
        });
        action();
        QCoreApplication::processEvents();
        return opened;
    }

    const QByteArray a = task("Alpha");
    const QByteArray b = task("Bravo", "20/01/2027", "14:00");
    const QByteArray c = task("Charlie", "21/01/2027", "08:15", {}, "\xD7");
};

TEST_F(CommandsTest, shouldAppendTheTickedTaskThenBlankItsOldRecordAndKeepItsPlace)
{
    writeTasks({a, b, c});
    start();
    grid()->setCurrentRow(rowOf("Bravo"));
    const qint64 size1 = a.size() + b.size() + c.size();

    click(toolButton("SpeedButton3"));
    const QByteArray ticked = rewritten(b, "\xD7", size1);
    EXPECT_EQ(dataBytes(), a + blanked(b) + c + ticked);
    EXPECT_EQ(tasks(), QStringList({"Alpha", "Bravo", "Charlie"}));
    EXPECT_EQ(grid()->currentRow(), 2);
    EXPECT_EQ(cell(Col::Done, 2), QString(QChar(0xD7)));
    EXPECT_EQ(cell(Col::Order, 2), QString::number(size1));

    // Unticked, an open task holds one blank.
    ui<QAction>(w.get(), "Menu_CheckUncheck")->trigger();
    const qint64 size2 = size1 + ticked.size();
    const QByteArray unticked = rewritten(b, " ", size2);
    EXPECT_EQ(dataBytes(), a + blanked(b) + c + blanked(ticked) + unticked);
    EXPECT_EQ(cell(Col::Done, 2), " ");
    EXPECT_EQ(cell(Col::Order, 2), QString::number(size2));
    EXPECT_EQ(grid()->currentRow(), 2);
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(CommandsTest, shouldHandATickedTaskToTheArchiveWhenAutoArchivingButNeverAnUntickedOne)
{
    writeTasks({a, b, c});
    writeSettings("AutoArchiv=1\r\nAutoArchivAsk=1\r\n");
    TestFiles::writeAll(t.file(FileNames::Archive), {});
    start();
    const qint64 size1 = a.size() + b.size() + c.size();

    grid()->setCurrentRow(rowOf("Charlie")); // done: unticking keeps it here
    click(toolButton("SpeedButton3"));
    const QByteArray unticked = rewritten(c, " ", size1);
    EXPECT_TRUE(TestFiles::readAll(t.file(FileNames::Archive)).isEmpty());
    EXPECT_EQ(tasks(), QStringList({"Alpha", "Bravo", "Charlie"}));

    grid()->setCurrentRow(rowOf("Bravo"));
    click(toolButton("SpeedButton3"));
    const QByteArray ticked = rewritten(b, "\xD7", size1 + unticked.size());
    EXPECT_EQ(TestFiles::readAll(t.file(FileNames::Archive)), ticked);
    EXPECT_EQ(dataBytes(), a + blanked(b) + blanked(c) + unticked + blanked(ticked));
    EXPECT_EQ(tasks(), QStringList({"Alpha", "Charlie"}));
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(CommandsTest, shouldDoNothingOnAnEmptyTable)
{
    start();
    click(toolButton("SpeedButton3"));
    click(toolButton("SpeedButton5"));
    EXPECT_FALSE(opensADialog([&] { click(toolButton("SpeedButton6")); }));
    EXPECT_TRUE(t.messages.shown.isEmpty());
    EXPECT_TRUE(dataBytes().isEmpty());
    EXPECT_TRUE(t.tasks.table().isEmpty());
}

TEST_F(CommandsTest, shouldAskThenBlankTheSelectedRowsFromTheBottomUp)
{
    const QByteArray d = task("Delta"), e = task("Echo");
    writeTasks({a, b, c, d, e});
    start();
    grid()->selectRows(2, 4);

    t.messages.answers = {MsgResult::No};
    click(toolButton("SpeedButton5"));
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown[0].caption, "Information");
    EXPECT_EQ(t.messages.shown[0].text, "Sure to delete this Task ?");
    EXPECT_EQ(t.messages.shown[0].icon, MsgIcon::Information);
    EXPECT_EQ(t.messages.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(dataBytes(), a + b + c + d + e);

    ui<QAction>(w.get(), "Menu_DeleteTask")->trigger();
    EXPECT_EQ(t.messages.shown.size(), 2);
    EXPECT_EQ(dataBytes(), a + blanked(b) + blanked(c) + blanked(d) + e);
    EXPECT_EQ(tasks(), QStringList({"Alpha", "Echo"}));
    EXPECT_EQ(grid()->currentRow(), 1); // the row above the first deleted one
}

TEST_F(CommandsTest, shouldStopAtARowItCannotDeleteHavingBlankedTheRowsBelowIt)
{
    const QByteArray d = task("Delta"), e = task("Echo");
    writeTasks({a, b, c, d, e});
    start();
    grid()->selectRows(3, 5);
    t.tasks.table().setCell(Col::Order, 4, "x"); // Delta's order is no number

    click(toolButton("SpeedButton5"));
    ASSERT_EQ(t.messages.shown.size(), 2);
    EXPECT_EQ(t.messages.shown[1].text, "'x' is not a valid integer value");
    EXPECT_EQ(dataBytes(), a + b + c + d + blanked(e));
    // The table shows what the file holds.
    EXPECT_EQ(tasks(), QStringList({"Alpha", "Bravo", "Charlie", "Delta"}));
}

TEST_F(CommandsTest, shouldToggleOnTheDoneCellAndEditOnAnyOtherCellOfADoubleClickedTask)
{
    writeTasks({a, b});
    start();
    QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, centreOf(Col::Done, 2));
    EXPECT_EQ(cell(Col::Done, 2), QString(QChar(0xD7)));
    EXPECT_EQ(dataBytes(), a + blanked(b) + rewritten(b, "\xD7", a.size() + b.size()));

    // The pair's first press makes the row current; a test's quick clicks may merge
    // with the ones before, so the row is made current here.
    grid()->setCurrentRow(1);
    QString caption;
    withEditor([&](TFormAddEdit &e) { caption = e.windowTitle() + "|" + taskField(e)->text(); },
               [&] {
                   QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {},
                                      centreOf(Col::Date, 1));
               });
    EXPECT_EQ(caption, " Edit Task|Alpha");

    const QByteArray before = dataBytes();
    EXPECT_FALSE(opensADialog([&] {
        QTest::mouseDClick(grid()->horizontalHeader()->viewport(), Qt::LeftButton, {},
                           centreOf(Col::Task, 0));
    }));
    EXPECT_FALSE(opensADialog([&] {
        QTest::mouseDClick(grid()->horizontalHeader()->viewport(), Qt::LeftButton, {},
                           centreOf(Col::Done, 0));
    }));
    EXPECT_EQ(dataBytes(), before);
}

TEST_F(CommandsTest, shouldPresetTheEditorFromTheCurrentRowForEdit)
{
    const QByteArray row =
        record(fields({" ", "Garden", "05/02/2027", "07:05", "4", "0", "2027-02-05 07:05", "home",
                       "12", "cut the hedge\r\nwater"}));
    writeTasks({row});
    writeSettings("[Category]\r\nCats=2\r\n1=Home\r\n2=Work\r\n");
    start();
    withEditor(
        [&](TFormAddEdit &e) {
            EXPECT_EQ(e.windowTitle(), " Edit Task");
            EXPECT_EQ(taskField(e)->text(), "Garden");
            EXPECT_EQ(dateField(e)->text(), "05/02/2027");
            EXPECT_EQ(hourField(e)->text(), "07");
            EXPECT_EQ(minuteField(e)->text(), "05");
            EXPECT_EQ(ui<QComboBox>(&e, "ComboBox1")->currentText(), "4");
            EXPECT_EQ(ui<QComboBox>(&e, "ComboBox2")->currentText(),
                      "Home"); // matched ignoring case
            EXPECT_EQ(ui<ColourComboBox>(&e, "ComboBox3")->currentIndex(), 12);
            EXPECT_EQ(ui<QLabel>(&e, "Label4")->text(), " ");
            EXPECT_EQ(noteField(e)->toPlainText(), "cut the hedge\nwater");
            click(okButton(e));
        },
        [&] { click(toolButton("SpeedButton6")); });
    // Saved unchanged but for the matched category's spelling and the new order.
    EXPECT_EQ(dataBytes(),
              blanked(row) + record(fields({" ", "Garden", "05/02/2027", "07:05", "4",
                                            QByteArray::number(row.size()), "2027-02-05 07:05",
                                            "Home", "12", "cut the hedge\r\nwater"})));
}

TEST_F(CommandsTest, shouldPresetTheCategoryFromTheFilterForAdd)
{
    writeSettings("[Category]\r\nCats=2\r\n1=Home\r\n2=Work\r\n");
    start();
    QString preset;
    withEditor([&](TFormAddEdit &e) { preset = ui<QComboBox>(&e, "ComboBox2")->currentText(); },
               [&] { click(toolButton("SpeedButton4")); });
    EXPECT_EQ(preset, "");                                           // "All Items"
    ui<QMenu>(w.get(), "Menu_Category")->actions().at(5)->trigger(); // "Work"
    ASSERT_EQ(ui<QComboBox>(w.get(), "ComboBox1")->currentText(), "Work");
    withEditor(
        [&](TFormAddEdit &e) {
            preset = ui<QComboBox>(&e, "ComboBox2")->currentText();
            EXPECT_EQ(ui<QComboBox>(&e, "ComboBox1")->currentIndex(), 0);
            EXPECT_EQ(ui<ColourComboBox>(&e, "ComboBox3")->currentIndex(), 18);
            EXPECT_TRUE(ui<QLabel>(&e, "Label4")->text().isEmpty());
        },
        [&] { ui<QAction>(w.get(), "Menu_AddTask")->trigger(); });
    EXPECT_EQ(preset, "Work");
}

TEST_F(CommandsTest, shouldLeaveTheTopmostBandWhileTheEditorIsUpAndReturnToItAfter)
{
    writeSettings("FormStyle=fsStayOnTop\r\n");
    start();
    ASSERT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);
    bool topmostMeanwhile = true;
    withEditor(
        [&](TFormAddEdit &) { topmostMeanwhile = w->windowFlags() & Qt::WindowStaysOnTopHint; },
        [&] { click(toolButton("SpeedButton4")); });
    EXPECT_FALSE(topmostMeanwhile);
    EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(w->isVisible());
}

TEST_F(CommandsTest, shouldOfferTaskItemsOnARowAndAboutOnTheToolbar)
{
    writeTasks({a, b, c});
    start();
    grid()->setCurrentRow(1);
    rightClickRow(3);
    EXPECT_TRUE(gridMenu()->isVisible());
    EXPECT_EQ(grid()->currentRow(), 3);
    EXPECT_EQ(visibleMenu(), QStringList({"pop2_EditTask", "pop2_Deletetask", "pop2_Archivetask",
                                          "pop2_N9", "pop2_Sort", "pop2_Preferences"}));
    gridMenu()->close();

    QToolButton *add = toolButton("SpeedButton4");
    QContextMenuEvent onButton(QContextMenuEvent::Mouse, QPoint(3, 3),
                               add->mapToGlobal(QPoint(3, 3)));
    QApplication::sendEvent(add, &onButton);
    EXPECT_TRUE(gridMenu()->isVisible());
    EXPECT_EQ(visibleMenu(),
              QStringList({"pop2_Sort", "pop2_N1", "pop2_Preferences", "pop2_About"}));
    gridMenu()->close();
    EXPECT_EQ(grid()->currentRow(), 3);
}

TEST_F(CommandsTest, shouldKeepAThreeRowSelectionOnARightClickAndDeleteAllThree)
{
    const QByteArray d = task("Delta");
    writeTasks({a, b, c, d});
    start();
    grid()->selectRows(1, 3);
    rightClickRow(2);
    EXPECT_EQ(grid()->selectionTop(), 1);
    EXPECT_EQ(grid()->selectionBottom(), 3);
    ASSERT_TRUE(gridMenu()->isVisible());
    ui<QAction>(w.get(), "pop2_Deletetask")->trigger();
    gridMenu()->close();
    EXPECT_EQ(dataBytes(), blanked(a) + blanked(b) + blanked(c) + d);
    EXPECT_EQ(tasks(), QStringList({"Delta"}));
}

} // namespace
