// Moving the selected tasks of the main window into the archive file.
#include "ArchiveFixture.h"

#include "common/PermissionsBind.h"
#include "store/TaskRecord.h"

#include "widgets/TaskGrid.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QToolButton>

#include <functional>

#include <csignal>
#include <sys/resource.h>

namespace {

class ArchiveCommand : public ArchiveTest
{
protected:
    // Five tasks whose file order is the reverse of the grid's (sorted by text);
    // one is done and some carry the order values an older file left in them.
    void startWithFiveTasks()
    {
        for (const auto &[name, done] : std::initializer_list<std::pair<QByteArray, QByteArray>>{
                 {"Echo", ""}, {"Delta", ""}, {"Charlie", "\xD7"}, {"Bravo", ""}, {"Alpha", ""}}) {
            offsets[name] = original.size();
            original += rec(text(name, "2027-03-01 09:00", "Work", done, "2", "123"));
        }
        writeData(original);
        writeArchive({});
        start();
        ASSERT_EQ(mainTasks(), QStringList({"Alpha", "Bravo", "Charlie", "Delta", "Echo"}));
    }
    QByteArray recordOf(const QByteArray &name) const
    {
        const qint64 at = offsets.value(name);
        const qint32 length = qint32(quint8(original[at])) | qint32(quint8(original[at + 1])) << 8;
        return original.mid(at, 4 + length);
    }
    QByteArray blanked(const QByteArray &name) const { return blank(recordOf(name).size() - 4); }

    QByteArray original;
    QMap<QByteArray, qint64> offsets;
};

TEST_F(ArchiveCommand, ThreeSelectedRowsMoveToTheArchiveInGridOrderByteForByte)
{
    startWithFiveTasks();
    selectRange(2, 4);
    ui<QAction>(w.get(), "Menu_ArchiveTask")->trigger();

    ASSERT_EQ(t.messages.shown.size(), 1);
    const MessageRequest box = t.messages.shown.first();
    EXPECT_EQ(box.caption, QStringLiteral("Information"));
    EXPECT_EQ(box.text, QStringLiteral("Sure to archive this Task ?"));
    EXPECT_EQ(box.icon, MsgIcon::Information);
    EXPECT_EQ(box.buttons, MsgButtons::YesNo);

    // Appended top to bottom, length prefix and all; the done mark and the stored
    // order values travel unchanged.
    EXPECT_EQ(archiveBytes(), recordOf("Bravo") + recordOf("Charlie") + recordOf("Delta"));
    // Blanked in place: every other record keeps its bytes and its position.
    EXPECT_EQ(dataBytes(), recordOf("Echo") + blanked("Delta") + blanked("Charlie") +
                               blanked("Bravo") + recordOf("Alpha"));
    EXPECT_EQ(mainTasks(), QStringList({"Alpha", "Echo"}));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Nudgery   [ tasks: 2 ]"));
}

TEST_F(ArchiveCommand, AnsweringNoChangesNothing)
{
    startWithFiveTasks();
    selectRange(1, 3);
    t.messages.answers = {MsgResult::No};
    ui<QAction>(w.get(), "Menu_ArchiveTask")->trigger();
    EXPECT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(dataBytes(), original);
    EXPECT_EQ(archiveBytes(), QByteArray());
    EXPECT_EQ(mainTasks().size(), 5);
}

TEST_F(ArchiveCommand, OnlyTheMenuItemAsksWhileAutoArchivingIsOff)
{
    startWithFiveTasks();
    grid()->setCurrentRow(5);
    QTest::mouseClick(ui<QToolButton>(w.get(), "SpeedButton14"), Qt::LeftButton);
    EXPECT_TRUE(t.messages.shown.isEmpty());
    EXPECT_EQ(archiveBytes(), recordOf("Echo"));

    grid()->setCurrentRow(1);
    ui<QAction>(w.get(), "pop2_Archivetask")->trigger();
    EXPECT_TRUE(t.messages.shown.isEmpty());
    EXPECT_EQ(archiveBytes(), recordOf("Echo") + recordOf("Alpha"));
    EXPECT_EQ(mainTasks(), QStringList({"Bravo", "Charlie", "Delta"}));
}

TEST_F(ArchiveCommand, AutoArchivingAsksEveryRouteUnlessToldNotTo)
{
    startWithFiveTasks();
    // Auto-archive on, the "don't ask" key not written: the tool button asks.
    t.settings.setFlag(SettingKey::AutoArchiv, true);
    t.messages.answers = {MsgResult::No, MsgResult::No};
    QTest::mouseClick(ui<QToolButton>(w.get(), "SpeedButton14"), Qt::LeftButton);
    ui<QAction>(w.get(), "pop2_Archivetask")->trigger();
    EXPECT_EQ(t.messages.shown.size(), 2);
    EXPECT_EQ(dataBytes(), original);

    // "but don't ask everytime": the tool button archives at once; the menu item
    // still asks.
    t.settings.setFlag(SettingKey::AutoArchivAsk, true);
    grid()->setCurrentRow(1);
    QTest::mouseClick(ui<QToolButton>(w.get(), "SpeedButton14"), Qt::LeftButton);
    EXPECT_EQ(t.messages.shown.size(), 2);
    EXPECT_EQ(archiveBytes(), recordOf("Alpha"));
    t.messages.answers = {MsgResult::No};
    ui<QAction>(w.get(), "Menu_ArchiveTask")->trigger();
    EXPECT_EQ(t.messages.shown.size(), 3);
    EXPECT_EQ(archiveBytes(), recordOf("Alpha"));
}

TEST_F(ArchiveCommand, TheCheckCommandsRouteArchivesEverySelectedRowAfterAsking)
{
    startWithFiveTasks();
    t.settings.setFlag(SettingKey::AutoArchiv, true);
    t.settings.setFlag(SettingKey::AutoArchivAsk, false);
    selectRange(3, 4);
    QToolButton *check = ui<QToolButton>(w.get(), "SpeedButton3");
    t.messages.answers = {MsgResult::No};
    QTest::mouseClick(check, Qt::LeftButton); // Delta ticked, its archiving refused
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown.first().text, QStringLiteral("Sure to archive this Task ?"));
    EXPECT_TRUE(archiveBytes().isEmpty());
    QTest::mouseClick(check, Qt::LeftButton); // unticked: nothing to archive, nothing asked
    EXPECT_EQ(t.messages.shown.size(), 1);

    QTest::mouseClick(check, Qt::LeftButton); // ticked again, and archived with Charlie
    EXPECT_EQ(t.messages.shown.size(), 2);
    EXPECT_EQ(mainTasks(), QStringList({"Alpha", "Bravo", "Echo"}));
    const QByteArray archived = archiveBytes();
    ASSERT_TRUE(archived.startsWith(recordOf("Charlie")));
    const TaskRow delta = TaskRecord::split(archived.mid(recordOf("Charlie").size() + 4));
    EXPECT_EQ(delta[Col::Task], QStringLiteral("Delta"));
    EXPECT_EQ(delta[Col::Done], QString(QChar(0xD7)));
}

TEST_F(ArchiveCommand, AMissingArchiveFileIsCreated)
{
    startWithFiveTasks();
    ASSERT_TRUE(QFile::remove(t.file(FileNames::Archive)));
    grid()->setCurrentRow(2);
    ui<QAction>(w.get(), "pop2_Archivetask")->trigger();
    EXPECT_EQ(archiveBytes(), recordOf("Bravo"));
}

TEST_F(ArchiveCommand, AnEmptyListDoesNothingAndAsksNothing)
{
    writeData({});
    writeArchive({});
    start();
    ui<QAction>(w.get(), "Menu_ArchiveTask")->trigger();
    QTest::mouseClick(ui<QToolButton>(w.get(), "SpeedButton14"), Qt::LeftButton);
    EXPECT_TRUE(t.messages.shown.isEmpty());
    EXPECT_EQ(dataBytes(), QByteArray());
    EXPECT_EQ(archiveBytes(), QByteArray());
}

TEST_F(ArchiveCommand, AnArchiveThatCannotBeOpenedStopsBeforeAnythingMoves)
{
    startWithFiveTasks();
    ASSERT_TRUE(QFile::remove(t.file(FileNames::Archive)));
    ASSERT_TRUE(QDir().mkdir(t.file(FileNames::Archive)));
    grid()->setCurrentRow(1);
    ui<QAction>(w.get(), "Menu_ArchiveTask")->trigger();
    ASSERT_EQ(t.messages.shown.size(), 2);
    EXPECT_EQ(t.messages.shown[1].caption, QStringLiteral("Nudgery"));
    EXPECT_TRUE(t.messages.shown[1].text.startsWith(
        QStringLiteral("Cannot open file \"%1\". ").arg(t.file(FileNames::Archive))))
        << t.messages.shown[1].text.toStdString();
    EXPECT_EQ(dataBytes(), original);
    EXPECT_EQ(mainTasks().size(), 5);
}

// A move is all or nothing: when any half of it fails, what was written is
// taken back, the failure is told, and the selection stays on the rows chosen,
// so the next click does not archive another task.
TEST_F(ArchiveCommand, AMoveThatFailsAtAnyPointTakesEverythingBackAndKeepsTheSelection)
{
    const QByteArray alpha = rec(text("Alpha")), bravo = rec(text("Bravo"));
    struct Case
    {
        const char *what;
        std::function<void()> archive;
    };
    const auto withFileSizeLimit = [&](rlim_t limit) {
        struct rlimit before
        {
        };
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = before;
        small.rlim_cur = limit;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        ui<QAction>(w.get(), "Menu_ArchiveTask")->trigger();
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, previousHandler);
    };
    const Case cases[] = {
        // Alpha moves whole; Bravo's copy cannot be appended.
        {"the second copy", [&] { withFileSizeLimit(rlim_t(alpha.size())); }},
        // Each copy is appended, but no original can be blanked.
        {"the first blank",
         [&] {
             QFile::setPermissions(t.file(FileNames::Data), QFile::ReadOwner | QFile::ReadGroup);
             {
                 PermissionsBind asAUser;
                 ui<QAction>(w.get(), "Menu_ArchiveTask")->trigger();
             }
             QFile::setPermissions(t.file(FileNames::Data), QFile::ReadOwner | QFile::WriteOwner);
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        writeData(alpha + bravo);
        writeArchive({});
        w.reset();
        start();
        selectRange(1, 2);
        c.archive();
        ASSERT_EQ(t.messages.shown.size(), 2); // the question, then the failure
        EXPECT_EQ(archiveBytes(), QByteArray());
        EXPECT_EQ(dataBytes(), alpha + bravo);
        EXPECT_EQ(mainTasks(), QStringList({"Alpha", "Bravo"}));
        EXPECT_EQ(grid()->selectionTop(), 1);
        EXPECT_EQ(grid()->selectionBottom(), 2);
        EXPECT_FALSE(t.tasks.canUndo());

        // Once the files let it, the same click moves both.
        ui<QAction>(w.get(), "Menu_ArchiveTask")->trigger();
        EXPECT_EQ(archiveBytes(), alpha + bravo);
        EXPECT_TRUE(t.tasks.table().isEmpty());
        t.tasks.forgetUndo();
    }
}

// An archive whose end is torn (a record cut short by a crash of another
// program, or a hand edit) is cut back to its last whole record, with an
// untouched copy kept and the user told once, before a task is appended to it:
// the archived task is then readable.
TEST_F(ArchiveCommand, ATornArchiveIsCutBackToItsWholeRecordsBeforeATaskMovesIn)
{
    const QByteArray kept = rec(text("Kept")), alpha = rec(text("Alpha"));
    const QByteArray torn = kept + QByteArray("\x40\x00\x00\x00half a rec", 14);
    writeData(alpha);
    writeArchive(torn);
    start();
    grid()->setCurrentRow(1);
    QTest::mouseClick(ui<QToolButton>(w.get(), "SpeedButton14"), Qt::LeftButton);
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown[0].text,
              QStringLiteral("The file \"%1\" was damaged. Every task before the damage was "
                             "kept; the original file was saved as \"%1.damaged\".")
                  .arg(t.file(FileNames::Archive)));
    EXPECT_EQ(TestFiles::readAll(t.file(FileNames::Archive) + ".damaged"), torn);
    EXPECT_EQ(archiveBytes(), kept + alpha);
    EXPECT_TRUE(t.tasks.table().isEmpty());

    // Told once: the next task moves in without a word.
    t.tasks.undo();
    t.messages.shown.clear();
    grid()->setCurrentRow(1);
    QTest::mouseClick(ui<QToolButton>(w.get(), "SpeedButton14"), Qt::LeftButton);
    EXPECT_TRUE(t.messages.shown.isEmpty());
    showViewer();
    EXPECT_EQ(archivedTasks(), QStringList({"Kept", "Alpha"}));
}

TEST_F(ArchiveCommand, TheCategoryFilterStaysAfterArchiving)
{
    writeSettings("[Category]\r\nCats=2\r\n1=Work\r\n2=Home\r\n");
    writeData(rec(text("Home one", "2027-03-01 09:00", "Home")) +
              rec(text("Work one", "2027-03-01 09:00", "Work")) +
              rec(text("Work two", "2027-03-01 09:00", "Work")));
    writeArchive({});
    start();
    QComboBox *selector = ui<QComboBox>(w.get(), "ComboBox1");
    choose(selector, QStringLiteral("Work"));
    ASSERT_EQ(mainTasks(), QStringList({"Work one", "Work two"}));
    grid()->setCurrentRow(1);
    QTest::mouseClick(ui<QToolButton>(w.get(), "SpeedButton14"), Qt::LeftButton);
    EXPECT_EQ(selector->currentText(), QStringLiteral("Work"));
    EXPECT_EQ(mainTasks(), QStringList({"Work two"}));
    EXPECT_EQ(archiveBytes(), rec(text("Work one", "2027-03-01 09:00", "Work")));
}

} // namespace
