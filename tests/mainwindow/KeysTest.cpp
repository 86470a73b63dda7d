// The main window's keyboard shortcuts and every window's key-release repaint.
#include "editor/EditorFixture.h"

#include "store/TaskDataFile.h"
#include "store/TaskRecord.h"

#include <QAction>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QSignalSpy>

namespace {

class KeysTest : public TaskWindowTest
{
protected:
    void SetUp() override
    {
        writeTasks({alpha, bravo});
        start();
        grid()->setCurrentRow(2);
        grid()->setFocus();
    }
    static void key(QWidget *target, int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(target, Qt::Key(k), modifiers);
    }
    // The editor's caption when a key opens it, else "".
    QString editorOpenedBy(int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QString caption;
        QTimer::singleShot(0, w.get(), [&] {
            if (auto *dialog = qobject_cast<TFormAddEdit *>(QApplication::activeModalWidget())) {
                caption = dialog->windowTitle();
                dialog->reject();
            }
        });
        key(grid(), k, modifiers);
        QCoreApplication::processEvents();
        // The next key comes once the window is active again, as a user's would
        // (here without a window manager to hand the activation back).
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == w.get(); }));
        grid()->setFocus();
        return caption;
    }
    // Counts the paint events a widget receives.
    struct PaintCounter : QObject
    {
        int paints = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            paints += event->type() == QEvent::Paint ? 1 : 0;
            return false;
        }
    };
    static int paintsAfterRelease(QWidget *target, QWidget *watched, int k)
    {
        PaintCounter counter;
        QCoreApplication::processEvents();
        watched->installEventFilter(&counter);
        QTest::keyRelease(target, Qt::Key(k));
        QCoreApplication::processEvents();
        watched->removeEventFilter(&counter);
        return counter.paints;
    }

    const QByteArray alpha = task("Alpha");
    const QByteArray bravo = task("Bravo");
};

TEST_F(KeysTest, shouldTickWithSpaceMinusAndTheKeypadMinusWhateverTheModifiers)
{
    const struct
    {
        int key;
        Qt::KeyboardModifiers modifiers;
    } ticks[] = {{Qt::Key_Space, Qt::ShiftModifier},
                 {Qt::Key_Space, Qt::NoModifier},
                 {Qt::Key_Minus, Qt::NoModifier},
                 {Qt::Key_Minus, Qt::KeypadModifier},
                 {Qt::Key_Underscore, Qt::ShiftModifier}};
    bool done = false;
    for (const auto &tick : ticks) {
        key(grid(), tick.key, tick.modifiers);
        done = !done;
        EXPECT_EQ(cell(Col::Done, 2), done ? QString(QChar(0xD7)) : QStringLiteral(" "))
            << tick.key;
    }
    // Each tick appended the task once and blanked its previous record: the last
    // record is the only live one of it.
    const TaskDataFile file(t.file(FileNames::Data), t.damagedFiles);
    const qint64 order = cell(Col::Order, 2).toLongLong();
    const QByteArray last = file.readRecord(order);
    EXPECT_EQ(order + last.size(), dataBytes().size());
    EXPECT_EQ(TaskRecord::split(last.mid(4))[Col::Done], QString(QChar(0xD7)));
    TaskTable loaded;
    file.LoadTasks(loaded, AllItems);
    EXPECT_EQ(loaded.taskCount(), 2);
}

TEST_F(KeysTest, shouldEditWithEnterOrCtrlEAndAddWithInsertPlusEqualsOrCtrlA)
{
    EXPECT_EQ(editorOpenedBy(Qt::Key_Return), " Edit Task");
    EXPECT_EQ(editorOpenedBy(Qt::Key_Return, Qt::ControlModifier), " Edit Task");
    EXPECT_EQ(editorOpenedBy(Qt::Key_Enter, Qt::KeypadModifier), " Edit Task");
    EXPECT_EQ(editorOpenedBy(Qt::Key_E, Qt::ControlModifier), " Edit Task");
    EXPECT_EQ(editorOpenedBy(Qt::Key_E), "");
    EXPECT_EQ(editorOpenedBy(Qt::Key_Insert), " Add New Task");
    EXPECT_EQ(editorOpenedBy(Qt::Key_Plus, Qt::KeypadModifier), " Add New Task");
    EXPECT_EQ(editorOpenedBy(Qt::Key_Equal), " Add New Task");
    EXPECT_EQ(editorOpenedBy(Qt::Key_Plus, Qt::ShiftModifier), " Add New Task");
    EXPECT_EQ(editorOpenedBy(Qt::Key_A, Qt::ControlModifier), " Add New Task");
    EXPECT_EQ(editorOpenedBy(Qt::Key_A), "");
    EXPECT_EQ(dataBytes(), alpha + bravo);
}

TEST_F(KeysTest, shouldAskBeforeDeletingWithDeleteOrCtrlD)
{
    t.messages.answers = {MsgResult::No, MsgResult::No};
    key(grid(), Qt::Key_Delete);
    key(grid(), Qt::Key_D, Qt::ControlModifier);
    key(grid(), Qt::Key_D);
    ASSERT_EQ(t.messages.shown.size(), 2);
    EXPECT_EQ(t.messages.shown[1].text, "Sure to delete this Task ?");
    key(grid(), Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(dataBytes(), alpha + blanked(bravo));
}

TEST_F(KeysTest, shouldTakeBackTheLastChangesWithCtrlZOrTheEditMenuNamingEachInTurn)
{
    QAction *undo = ui<QAction>(w.get(), "Menu_Undo");
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(undo->text(), "&Undo\tCtrl+Z");

    key(grid(), Qt::Key_Space); // Bravo ticked
    grid()->setCurrentRow(rowOf("Alpha"));
    key(grid(), Qt::Key_Delete);
    EXPECT_EQ(tasks(), QStringList({"Bravo"}));
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(undo->text(), "&Undo delete\tCtrl+Z");

    // The deleted record comes back as it was, appended; Ctrl+Z in the notes pane
    // is only typing.
    ui<QPlainTextEdit>(w.get(), "Memo_notes")->setFocus();
    key(ui<QPlainTextEdit>(w.get(), "Memo_notes"), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(tasks(), QStringList({"Bravo"}));
    grid()->setFocus();
    key(grid(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(tasks(), QStringList({"Alpha", "Bravo"}));
    const QByteArray afterTick = dataBytes();
    EXPECT_TRUE(afterTick.endsWith(alpha)) << afterTick.toStdString();
    EXPECT_EQ(undo->text(), "&Undo tick\tCtrl+Z");

    undo->trigger();
    EXPECT_EQ(cell(Col::Done, rowOf("Bravo")), QString());
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(undo->text(), "&Undo\tCtrl+Z");
    // Only the two tasks as they were are left unblanked (at other offsets).
    auto content = [](TaskRow row) {
        row[Col::Order].clear();
        return TaskRecord::join(row);
    };
    TaskTable loaded;
    TaskDataFile(t.file(FileNames::Data), t.damagedFiles).LoadTasks(loaded, AllItems);
    ASSERT_EQ(loaded.taskCount(), 2);
    QByteArrayList live = {content(loaded.row(1)), content(loaded.row(2))};
    std::sort(live.begin(), live.end());
    EXPECT_EQ(live, QByteArrayList({content(TaskRecord::split(alpha.mid(4))),
                                    content(TaskRecord::split(bravo.mid(4)))}));
    EXPECT_TRUE(t.messages.shown.size() == 1); // the delete's question only
}

TEST_F(KeysTest, shouldRunNoCommandForKeysTypedInTheNotesPane)
{
    ui<QAction>(w.get(), "Menu_NotesPane")->trigger();
    QPlainTextEdit *notes = ui<QPlainTextEdit>(w.get(), "Memo_notes");
    ASSERT_TRUE(notes->isVisible());
    notes->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), notes);
    const int height = w->height();
    bool dialog = false;
    QTimer::singleShot(0, w.get(), [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            dialog = true;
            modal->close();
        }
    });
    for (int k : {Qt::Key_Space, Qt::Key_Delete, Qt::Key_Insert, Qt::Key_Return, Qt::Key_Minus})
        key(notes, k);
    key(notes, Qt::Key_A, Qt::ControlModifier);
    key(notes, Qt::Key_Down, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_FALSE(dialog);
    EXPECT_TRUE(t.messages.shown.isEmpty());
    EXPECT_EQ(dataBytes(), alpha + bravo);
    EXPECT_EQ(w->height(), height);
}

TEST_F(KeysTest, shouldMakeTheWindowTwoPixelsTallerOrShorterPerCtrlArrowAndLeaveTheRowAlone)
{
    const int height = w->height();
    grid()->setCurrentRow(1);
    for (int i = 0; i < 5; ++i)
        key(grid(), Qt::Key_Down, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(w->height(), height + 10);
    EXPECT_EQ(grid()->currentRow(), 1) << "the next Space or Delete would hit another task";
    key(grid(), Qt::Key_Up, Qt::ControlModifier);
    key(grid(), Qt::Key_8, Qt::ControlModifier | Qt::KeypadModifier);
    key(grid(), Qt::Key_2, Qt::ControlModifier | Qt::KeypadModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(w->height(), height + 8);
    EXPECT_EQ(grid()->currentRow(), 1);
    key(grid(), Qt::Key_Down); // without Ctrl the grid just moves its row
    QCoreApplication::processEvents();
    EXPECT_EQ(w->height(), height + 8);
    EXPECT_EQ(grid()->currentRow(), 2);
    // Letters act on nothing: no jump to a task that starts with one.
    key(grid(), Qt::Key_A);
    key(grid(), Qt::Key_B);
    EXPECT_EQ(grid()->currentRow(), 2);
}

TEST_F(KeysTest, shouldClickTheButtonOrMenuItemOfEachCtrlShortcutEvenWithTheToolbarHidden)
{
    // The commands themselves belong to other windows; here only the clicks count.
    QList<QObject *> targets = {toolButton("SpeedButton1"), toolButton("SpeedButton7"),
                                toolButton("SpeedButton9"), ui<QAction>(w.get(), "Menu_Print"),
                                ui<QAction>(w.get(), "Menu_SavetoFile")};
    for (QObject *target : targets)
        QObject::disconnect(target, nullptr, w.get(), nullptr);
    QSignalSpy exit(toolButton("SpeedButton1"), &QToolButton::clicked);
    QSignalSpy preferences(toolButton("SpeedButton7"), &QToolButton::clicked);
    QSignalSpy about(toolButton("SpeedButton9"), &QToolButton::clicked);
    QSignalSpy print(ui<QAction>(w.get(), "Menu_Print"), &QAction::triggered);
    QSignalSpy notepad(ui<QAction>(w.get(), "Menu_SavetoFile"), &QAction::triggered);
    w->setToolbarShown(false);

    key(grid(), Qt::Key_X, Qt::ControlModifier);
    key(grid(), Qt::Key_O, Qt::ControlModifier);
    key(grid(), Qt::Key_F1);
    key(grid(), Qt::Key_F1, Qt::ShiftModifier);
    key(grid(), Qt::Key_P, Qt::ControlModifier);
    key(grid(), Qt::Key_S, Qt::ControlModifier);
    for (int k : {Qt::Key_X, Qt::Key_O, Qt::Key_P, Qt::Key_S})
        key(grid(), k);
    EXPECT_EQ(exit.count(), 1);
    EXPECT_EQ(preferences.count(), 1);
    EXPECT_EQ(about.count(), 2);
    EXPECT_EQ(print.count(), 1);
    EXPECT_EQ(notepad.count(), 1);
}

TEST_F(KeysTest, shouldIgnoreAKeyArrivingWhileAnotherWindowIsActive)
{
    // What is left of a key that opened a dialog reaches the window after the dialog
    // has closed, before the window is active again, with no control focused.
    QWidget other;
    other.resize(100, 50);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &other; }));
    ASSERT_EQ(QApplication::focusWidget(), nullptr);
    bool dialog = false;
    QTimer::singleShot(0, w.get(), [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            dialog = true;
            modal->close();
        }
    });
    QKeyEvent insert(QEvent::KeyPress, Qt::Key_Insert, Qt::NoModifier);
    QApplication::sendEvent(w.get(), &insert);
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
    QApplication::sendEvent(w.get(), &space);
    QCoreApplication::processEvents();
    EXPECT_FALSE(dialog);
    EXPECT_EQ(dataBytes(), alpha + bravo);
}

TEST_F(KeysTest, shouldRepaintButtonsAndCheckBoxesOnAltOrTabReleaseOnlyWhereTheSystemNeedsIt)
{
    auto *box = new QCheckBox(QStringLiteral("probe"), ui<QWidget>(w.get(), "Panel1"));
    box->setGeometry(300, 2, 20, 20);
    box->show();
    QCoreApplication::processEvents();

    t.os.repaintOnAltTab = false;
    EXPECT_EQ(paintsAfterRelease(grid(), box, Qt::Key_Alt), 0);
    t.os.repaintOnAltTab = true;
    EXPECT_GT(paintsAfterRelease(grid(), box, Qt::Key_Alt), 0);
    EXPECT_GT(paintsAfterRelease(grid(), box, Qt::Key_Tab), 0);
    EXPECT_EQ(paintsAfterRelease(grid(), box, Qt::Key_Shift), 0);

    // The editor does the same with its own buttons.
    int editorPaints = -1, otherKey = -1, systemWithout = -1;
    withEditor(
        [&](TFormAddEdit &e) {
            editorPaints = paintsAfterRelease(taskField(e), okButton(e), Qt::Key_Alt);
            otherKey = paintsAfterRelease(taskField(e), okButton(e), Qt::Key_Z);
            t.os.repaintOnAltTab = false;
            systemWithout = paintsAfterRelease(taskField(e), okButton(e), Qt::Key_Tab);
        },
        [&] { click(toolButton("SpeedButton4")); });
    EXPECT_GT(editorPaints, 0);
    EXPECT_EQ(otherKey, 0);
    EXPECT_EQ(systemWithout, 0);
}

} // namespace
