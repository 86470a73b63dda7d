// What a kill in the middle of a large append can leave, and what the next start
// makes of it: the file as it was before, or, when the marker no longer fits what
// the file holds, the file left alone.
#include "store/AppendJournal.h"
#include "common/TestFiles.h"
#include "store/DamagedFiles.h"
#include "store/StoreError.h"
#include "store/TaskDataFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace TestFiles;

namespace {

TaskRow task(int n)
{
    return {" ",
            QStringLiteral("Imported %1").arg(n),
            "01/03/2027",
            "09:30",
            "",
            "",
            "2027-03-01 09:30",
            "",
            "18",
            QString(2000, QLatin1Char('n'))};
}

TEST(AppendJournal, theNextStartTakesBackAnAppendAKillLeftAndNothingElse)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tasklyn.DAT"));
    const QByteArray before =
        record(fields({" ", "Mine", "01/01/2027", "", "", "0", "2027-01-01 00:00", "", "18", ""}));
    DamagedFiles damaged;
    const TaskDataFile file(path, damaged);
    const AppendJournal journal(path);

    // The append as it is written whole: three records of some 2 KB each.
    writeAll(path, before);
    std::vector<TaskRow> rows = {task(1), task(2), task(3)};
    file.appendRowsAtOnce(rows);
    const QByteArray appended = readAll(path).mid(before.size());
    ASSERT_GT(appended.size(), 6000);
    EXPECT_FALSE(QFile::exists(journal.markerPath()));
    EXPECT_EQ(journal.recover(), AppendJournal::Recovery::NothingPending);
    EXPECT_EQ(readAll(path), before + appended);

    const QByteArray other = record(
        fields({" ", "Added later", "02/01/2027", "", "", "0", "2027-01-02 00:00", "", "18", ""}));
    const struct
    {
        const char *killed;
        QByteArray file; // what the kill left
        AppendJournal::Recovery recovery;
        QByteArray after;
    } cases[] = {
        {"before the append", before, AppendJournal::Recovery::Kept, before},
        {"one byte into it", before + appended.left(1), AppendJournal::Recovery::RolledBack,
         before},
        {"past the marker's copy of its head", before + appended.left(5000),
         AppendJournal::Recovery::RolledBack, before},
        {"after it, before the marker went", before + appended, AppendJournal::Recovery::RolledBack,
         before},
        // A marker that could not be removed must not take later writes with it.
        {"(the file written on since)", before + other, AppendJournal::Recovery::Kept,
         before + other},
        {"(the file compacted since)", before.left(4), AppendJournal::Recovery::Kept,
         before.left(4)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.killed);
        writeAll(path, c.file);
        journal.begin(before.size(), appended);
        EXPECT_EQ(journal.recover(), c.recovery);
        EXPECT_EQ(readAll(path), c.after);
        EXPECT_FALSE(QFile::exists(journal.markerPath()));
    }
    writeAll(journal.markerPath(), "not a marker");
    writeAll(path, before + appended);
    EXPECT_EQ(journal.recover(), AppendJournal::Recovery::Kept);
    EXPECT_EQ(readAll(path), before + appended);

    // A failure of the step taken inside the append takes the records back.
    writeAll(path, before);
    rows = {task(4)};
    EXPECT_THROW(file.appendRowsAtOnce(rows, [] { throw StoreError(QStringLiteral("no")); }),
                 StoreError);
    EXPECT_EQ(readAll(path), before);
    EXPECT_FALSE(QFile::exists(journal.markerPath()));
}

} // namespace
