// What the task list refuses when its file changed under it, and what its undo
// writes where.
#include "tasks/TaskList.h"
#include "common/PermissionsBind.h"
#include "common/TestFiles.h"
#include "store/DamagedFiles.h"
#include "store/Settings.h"
#include "store/StoreError.h"
#include "store/TaskDataFile.h"
#include "tasks/CategoryList.h"

#include <QFile>
#include <QFileDevice>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>

using namespace TestFiles;

namespace {

TEST(TaskListTest, shouldNotChangeBackATaskThatLeftTheFileSinceTheLoad)
{
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("Tasklyn.DAT"));
    const QByteArray first = record(
        fields({"", "Leaves", "01/12/2026", "09:00", "", "0", "2026-12-01 09:00", "", "18", ""}));
    writeAll(data, first + record(fields({"", "Stays", "02/12/2026", "09:00", "", "0",
                                          "2026-12-02 09:00", "", "18", ""})));
    DamagedFiles damaged;
    TaskList tasks(data, dir.filePath(QStringLiteral("Tasklyn.ARK")), damaged);
    tasks.load(AllItems);
    ASSERT_EQ(tasks.table().cell(Col::Task, 1), QStringLiteral("Leaves"));

    // Archived or deleted elsewhere: its record is blank now.
    TaskDataFile(data, damaged).BlankTask(0);
    const QByteArray blanked = readAll(data);

    // A tick or an edit would append it again: one task in both files.
    EXPECT_THROW(tasks.toggleDone(1), StoreError);
    TaskRow edited = tasks.table().row(1);
    edited[Col::Task] = QStringLiteral("Edited");
    EXPECT_THROW(tasks.replace(1, edited), StoreError);
    EXPECT_EQ(readAll(data), blanked);
}

// An older copy of the task file put over it behind the program's back: the
// undo of a delete must not append the task again, which the copy already holds.
TEST(TaskListTest, shouldReloadAndRefuseAnUndoWhenAnotherWriterReplacedTheFile)
{
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("Tasklyn.DAT"));
    const QByteArray older = record(fields({"", "Kept", "01/12/2026", "09:00", "", "0",
                                            "2026-12-01 09:00", "", "18", ""})) +
                             record(fields({"", "Deleted", "02/12/2026", "09:00", "", "0",
                                            "2026-12-02 09:00", "", "18", ""}));
    writeAll(data, older);
    DamagedFiles damaged;
    TaskList tasks(data, dir.filePath(QStringLiteral("Tasklyn.ARK")), damaged);
    tasks.load(AllItems);
    tasks.applySort();
    tasks.remove(2, 2);
    ASSERT_EQ(tasks.table().taskCount(), 1);

    // Put back with the same size; only its change time tells.
    const QString copy = dir.filePath(QStringLiteral("copy"));
    writeAll(copy, older);
    ASSERT_TRUE(QFile::remove(data));
    ASSERT_TRUE(QFile::rename(copy, data));
    try {
        tasks.undo();
        ADD_FAILURE() << "the undo was done";
    } catch (const StoreError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("This change can no longer be undone: a task it "
                                              "changed is no longer in the file \"%1\".")
                                   .arg(data));
    }
    EXPECT_EQ(readAll(data), older);
    // The list shows what the file holds.
    ASSERT_EQ(tasks.table().taskCount(), 2);
    EXPECT_EQ(tasks.table().cell(Col::Task, 2), QStringLiteral("Deleted"));
    EXPECT_FALSE(tasks.canUndo());
}

// An import is taken back where it wrote its records, also after another writer
// put a copy over the file: the list is loaded again first, and the undo goes on
// when the copy holds the imported tasks where they were, and is refused, with the
// file left alone, when it does not.
TEST(TaskListTest, shouldUndoAnImportOnlyWhereItsRecordsStillStandAfterAReload)
{
    const auto task = [](const char *text) {
        TaskRow row;
        row[Col::Task] = QString::fromLatin1(text);
        row[Col::Date] = QStringLiteral("01/12/2026");
        row[Col::Hour] = QStringLiteral("09:00");
        row[Col::SortKey] = QStringLiteral("2026-12-01 09:00");
        row[Col::TextColor] = QStringLiteral("18");
        return row;
    };
    const QByteArray kept = record(
        fields({"", "Kept", "01/12/2026", "09:00", "", "0", "2026-12-01 09:00", "", "18", ""}));
    const QByteArray theirs = record(
        fields({"", "Theirs", "02/12/2026", "09:00", "", "0", "2026-12-02 09:00", "", "18", ""}));
    for (const bool copyHoldsImport : {true, false}) {
        SCOPED_TRACE(copyHoldsImport ? "a copy holding the import" : "an older copy");
        QTemporaryDir dir;
        const QString data = dir.filePath(QStringLiteral("Tasklyn.DAT"));
        writeAll(data, kept);
        DamagedFiles damaged;
        TaskList tasks(data, dir.filePath(QStringLiteral("Tasklyn.ARK")), damaged);
        tasks.load(AllItems);
        tasks.addAll({task("One"), task("Two"), task("Three")});
        const QByteArray imported = readAll(data);
        ASSERT_EQ(tasks.table().taskCount(), 4);

        const QByteArray copy = (copyHoldsImport ? imported : kept) + theirs;
        writeAll(dir.filePath(QStringLiteral("copy")), copy);
        ASSERT_TRUE(QFile::remove(data));
        ASSERT_TRUE(QFile::rename(dir.filePath(QStringLiteral("copy")), data));
        if (copyHoldsImport) {
            tasks.undo();
            // The three records blanked where they stand, the other writer's task kept.
            QByteArray blanked = imported;
            for (qsizetype at = kept.size(); at < blanked.size();) {
                qint32 length = 0;
                memcpy(&length, blanked.constData() + at, 4); // little-endian, as the file
                blanked.replace(at + 4, length, QByteArray(length, ' '));
                at += 4 + length;
            }
            EXPECT_EQ(readAll(data), blanked + theirs);
            ASSERT_EQ(tasks.table().taskCount(), 2);
            EXPECT_EQ(tasks.table().cell(Col::Task, 2), QStringLiteral("Theirs"));
        } else {
            EXPECT_THROW(tasks.undo(), StoreError);
            EXPECT_EQ(readAll(data), copy);
            // The list shows what the file holds.
            ASSERT_EQ(tasks.table().taskCount(), 2);
            EXPECT_EQ(tasks.table().cell(Col::Task, 2), QStringLiteral("Theirs"));
        }
        EXPECT_FALSE(tasks.canUndo());
    }
}

// The undo of a category delete writes each name back where it was blanked: the
// file keeps its length, so a kill in the middle never leaves a task twice.
TEST(TaskListTest, shouldPutADeletedCategoryBackInPlaceAndInItsOldKey)
{
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("Tasklyn.DAT"));
    QByteArray bytes;
    for (const char *category : {"Work", "Home", "Work", ""})
        bytes += record(fields({"", QByteArray("Task in ") + category, "01/12/2026", "09:00", "",
                                "0", "2026-12-01 09:00", category, "18", ""}));
    writeAll(data, bytes);
    Settings settings(dir.filePath(QStringLiteral("Tasklyn.INI")));
    writeAll(settings.path(), "[Category]\r\nCats=3\r\n1=Work\r\n2=Home\r\n3=Garden\r\n");
    DamagedFiles damaged;
    TaskList tasks(data, dir.filePath(QStringLiteral("Tasklyn.ARK")), damaged);
    tasks.setSettings(&settings);
    tasks.load(AllItems);
    tasks.applySort();

    // As the category dialog and the main window delete it; a name added since.
    CategoryList(settings).remove(QStringLiteral("Work"));
    tasks.clearCategory(QStringLiteral("Work"), 1);
    CategoryList(settings).add(QStringLiteral("Shop"));
    ASSERT_NE(readAll(data), bytes);
    ASSERT_EQ(readAll(data).size(), bytes.size());

    QSignalSpy restored(&tasks, &TaskList::categoriesRestored);
    tasks.undo();
    EXPECT_EQ(readAll(data), bytes);
    EXPECT_EQ(CategoryList(settings).names(), QStringList({"Work", "Home", "Garden", "Shop"}));
    EXPECT_EQ(restored.count(), 1);
}

// A task taken out of the archive into a task file whose torn tail no copy could
// be made of at the load: the write copies the file aside and cuts the tail off
// first, so the task lands where the cut left the end, and the undo takes back
// exactly that record.
TEST(TaskListTest, shouldUnarchiveWholeIntoATaskFileCutBackAtTheWrite)
{
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("Tasklyn.DAT"));
    const QString archive = dir.filePath(QStringLiteral("Tasklyn.ARK"));
    const QByteArray kept = record(
        fields({"", "Kept", "01/12/2026", "09:00", "", "0", "2026-12-01 09:00", "", "18", ""}));
    // A length that runs past the end of the file.
    const QByteArray torn = QByteArray("\x88\x13\x00\x00", 4) + QByteArray(300, 'x');
    writeAll(data, kept + torn);
    const QByteArray back =
        fields({"", "Back", "02/12/2026", "09:00", "", "0", "2026-12-02 09:00", "", "18", ""});
    writeAll(archive, record(back));
    DamagedFiles damaged;
    TaskList tasks(data, archive, damaged);
    const QFileDevice::Permissions open = QFile::permissions(dir.path());
    {
        // A folder that takes no new file: the damaged file stays as it is.
        ASSERT_TRUE(
            QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        PermissionsBind bind;
        tasks.load(AllItems);
    }
    ASSERT_TRUE(QFile::setPermissions(dir.path(), open));
    ASSERT_EQ(readAll(data), kept + torn);
    ASSERT_EQ(tasks.table().taskCount(), 1);

    tasks.unarchive(0);
    EXPECT_EQ(readAll(data + QStringLiteral(".damaged")), kept + torn);
    EXPECT_EQ(readAll(data), kept + record(back));
    ASSERT_EQ(tasks.table().taskCount(), 2);
    const int row = tasks.table().cell(Col::Task, 1) == QStringLiteral("Back") ? 1 : 2;
    EXPECT_EQ(tasks.table().cell(Col::Task, row), QStringLiteral("Back"));
    EXPECT_EQ(TaskDataFile::orderOffset(tasks.table().cell(Col::Order, row)), kept.size());

    tasks.undo();
    EXPECT_EQ(readAll(data), kept + record(QByteArray(back.size(), ' ')));
    EXPECT_EQ(readAll(archive), record(QByteArray(back.size(), ' ')) + record(back));
    ASSERT_EQ(tasks.table().taskCount(), 1);
    EXPECT_EQ(tasks.table().cell(Col::Task, 1), QStringLiteral("Kept"));
}

} // namespace
