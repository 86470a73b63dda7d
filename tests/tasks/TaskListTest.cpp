// What the task list refuses when its file changed under it.
#include "tasks/TaskList.h"
#include "common/TestFiles.h"
#include "store/DamagedFiles.h"
#include "store/StoreError.h"
#include "store/TaskDataFile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

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

} // namespace
