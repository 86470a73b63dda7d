#include "store/TaskDataFile.h"
#include "common/TestFiles.h"
#include "store/DamagedFiles.h"
#include "store/StoreError.h"
#include "store/TaskRecord.h"
#include "store/TaskTable.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace TestFiles;

namespace {

const QByteArray Times("\xD7");

class TaskDataFileTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Tasklyn.DAT"));
    TaskTable table;
    DamagedFiles damaged;
    TaskDataFile file{path, damaged};

    static QByteArray task(const QByteArray &done, const QByteArray &text,
                           const QByteArray &category, const QByteArray &note = {})
    {
        return fields({done, text, "01/03/2009", "09:30", "2", "77", "2009-03-01 09:30", category,
                       "18", note});
    }
};

TEST_F(TaskDataFileTest, shouldLoadRecordsWithTheirRealOffsetsAndSkipBlankOnes)
{
    const QByteArray a = task("", "Buy milk", "Home");
    const QByteArray blank(20, ' ');
    const QByteArray b = task(Times, "Pay rent", "Work", "line one\r\nline two\r\nline three");
    writeAll(path, record(a) + record(blank) + record(b));

    const auto result = file.LoadTasks(table, AllItems);

    EXPECT_TRUE(result.fileExisted);
    EXPECT_FALSE(result.damaged);
    ASSERT_EQ(table.rowCount(), 3);
    EXPECT_EQ(table.cell(Col::Task, 1), QStringLiteral("Buy milk"));
    EXPECT_EQ(table.cell(Col::Order, 1), QStringLiteral("0"));
    EXPECT_EQ(table.cell(Col::Task, 2), QStringLiteral("Pay rent"));
    EXPECT_EQ(table.cell(Col::Order, 2), QString::number(4 + a.size() + 4 + blank.size()));
    EXPECT_EQ(table.cell(Col::Done, 2), DoneMark);
    EXPECT_EQ(table.cell(Col::Note, 2), QStringLiteral("line one\r\nline two\r\nline three"));
    EXPECT_EQ(taskCountCaption(table), QStringLiteral("Nudgery   [ tasks: 2 ]"));
}

TEST_F(TaskDataFileTest, shouldSkipOtherCategoriesButKeepRealOffsetsUnderAFilter)
{
    const QByteArray a = task("", "Alpha", "work");
    const QByteArray b = task("", "Beta", "Work");
    writeAll(path, record(a) + record(b));

    file.LoadTasks(table, QStringLiteral("Work"));

    ASSERT_EQ(table.taskCount(), 1);
    EXPECT_EQ(table.cell(Col::Task, 1), QStringLiteral("Beta"));
    EXPECT_EQ(table.cell(Col::Order, 1), QString::number(4 + a.size()));
}

TEST_F(TaskDataFileTest, shouldTreatEmptyAndAllBlankFilesAsEmptyTables)
{
    writeAll(path, QByteArray());
    file.LoadTasks(table, AllItems);
    EXPECT_TRUE(table.isEmpty());
    EXPECT_EQ(table.rowCount(), 2);
    EXPECT_EQ(taskCountCaption(table), QStringLiteral("Nudgery   [ tasks: 0 ]"));

    writeAll(path, record(QByteArray(5, ' ')) + record(QByteArray("\t \r\n")));
    file.LoadTasks(table, AllItems);
    EXPECT_TRUE(table.isEmpty());
}

TEST_F(TaskDataFileTest, shouldCreateAMissingFileEmpty)
{
    const auto result = file.LoadTasks(table, AllItems);
    EXPECT_FALSE(result.fileExisted);
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(QFileInfo(path).size(), 0);
    EXPECT_TRUE(table.isEmpty());
}

TEST_F(TaskDataFileTest, shouldFillTheFirstColumnsOfAShortRecordAndFilterByThirdFieldFromTheEnd)
{
    writeAll(path, record(fields({"", "Short", "01/01/2026", "Cat", "x", "y"})));
    file.LoadTasks(table, QStringLiteral("Cat"));
    ASSERT_EQ(table.taskCount(), 1);
    EXPECT_EQ(table.cell(Col::Task, 1), QStringLiteral("Short"));
    EXPECT_EQ(table.cell(Col::Hour, 1), QStringLiteral("Cat"));
    EXPECT_TRUE(table.cell(Col::Category, 1).isEmpty());
}

TEST_F(TaskDataFileTest, shouldWriteExactBytesOnAppendAndBlank)
{
    writeAll(path, record(task("", "Old", "")));
    file.LoadTasks(table, AllItems);
    table.setRowCount(3);
    TaskRow row{QString(),
                QStringLiteral("Caf\u00e9"),
                QStringLiteral("08/12/2026"),
                QStringLiteral("10:15"),
                QString(),
                QString(),
                QStringLiteral("2026-12-08 10:15"),
                QStringLiteral("Home"),
                QStringLiteral("18"),
                QStringLiteral("n")};
    table.setRow(2, row);
    const qint64 before = QFileInfo(path).size();

    file.AppendTask(table, 2);

    EXPECT_EQ(table.cell(Col::Order, 2), QString::number(before));
    const QByteArray expectedText =
        fields({"", "Caf\xE9", "08/12/2026", "10:15", "", QByteArray::number(before),
                "2026-12-08 10:15", "Home", "18", "n"});
    EXPECT_EQ(readAll(path), record(task("", "Old", "")) + record(expectedText));

    file.BlankTask(0);
    const QByteArray old = task("", "Old", "");
    EXPECT_EQ(readAll(path), record(QByteArray(old.size(), ' ')) + record(expectedText));
}

TEST_F(TaskDataFileTest, shouldLeaveOneLiveRecordAfterCheckStyleAppendThenBlankAndCompactOnSave)
{
    writeAll(path, record(task("", "One", "")) + record(task("", "Two", "")));
    file.LoadTasks(table, AllItems);
    for (const QString &mark : {DoneMark, QStringLiteral(" "), DoneMark}) {
        const qint64 old = TaskRecord::orderOffset(table.cell(Col::Order, 1));
        table.setCell(Col::Done, 1, mark);
        file.AppendTask(table, 1);
        file.BlankTask(old);
    }
    TaskTable reloaded;
    file.LoadTasks(reloaded, AllItems);
    ASSERT_EQ(reloaded.taskCount(), 2);
    EXPECT_EQ(reloaded.cell(Col::Task, 1), QStringLiteral("Two"));
    EXPECT_EQ(reloaded.cell(Col::Done, 2), DoneMark);

    file.SaveAllTasks(reloaded);
    const QByteArray two =
        fields({"", "Two", "01/03/2009", "09:30", "2", reloaded.cell(Col::Order, 1).toLatin1(),
                "2009-03-01 09:30", "", "18", ""});
    const QByteArray one = TaskRecord::join(reloaded.row(2));
    EXPECT_EQ(readAll(path), record(two) + record(one));
}

// The exit's rewrite stores an empty hour as the midnight the window showed, in
// the pass that makes each record: a record read as loaded, one of more fields
// than ten, and a row changed since; every other byte as it was.
TEST_F(TaskDataFileTest, shouldWriteABlankHourAsMidnightWhenAskedAndKeepTheRestAsItWas)
{
    const auto withHour = [](const QByteArray &text, const QByteArray &hour,
                             const QByteArray &order) {
        return fields(
            {"", text, "01/03/2009", hour, "2", order, "2009-03-01 09:30", "Home", "18", "n\xA0"});
    };
    const QByteArray a = withHour("Blank", "", "0");
    const QByteArray b = withHour("Spaces", " \t\xA0", "1");
    const QByteArray c = withHour("Set", "07:15", "2");
    const QByteArray d = fields(
        {"", "More", "fields", "01/03/2009", "", "2", "3", "2009-03-01 09:30", "Home", "18", "n"});
    const QByteArray e = withHour("Changed", "", "4");
    writeAll(path, record(a) + record(b) + record(c) + record(d) + record(e));
    const qint64 at[] = {0, 4 + a.size(), 8 + a.size() + b.size(),
                         12 + a.size() + b.size() + c.size(),
                         16 + a.size() + b.size() + c.size() + d.size()};
    file.LoadTasks(table, AllItems);
    ASSERT_EQ(table.taskCount(), 5);
    table.setCell(Col::Task, 5, QStringLiteral("Changed!"));

    file.SaveAllTasks(table);
    const QByteArray asLoaded = readAll(path);
    file.SaveAllTasks(table, nullptr, true);

    const auto order = [&](int k) { return QByteArray::number(at[k]); };
    EXPECT_EQ(readAll(path), record(withHour("Blank", "00:00", order(0))) +
                                 record(withHour("Spaces", "00:00", order(1))) +
                                 record(withHour("Set", "07:15", order(2))) +
                                 record(fields({"", "More|fields", "01/03/2009", "00:00", "2",
                                                order(3), "2009-03-01 09:30", "Home", "18", "n"})) +
                                 record(withHour("Changed!", "00:00", order(4))));
    EXPECT_NE(asLoaded, readAll(path));
}

TEST_F(TaskDataFileTest, shouldKeepTasksWithoutTextAsTasksAndWriteThemBackAsTheyWere)
{
    // The placeholder the grid shows is never stored: the exit's rewrite gives the
    // same records back.
    const QByteArray noText = task("", "", "Home");
    const QByteArray blanks = task("", "   ", "");
    writeAll(path, record(noText) + record(blanks));
    file.LoadTasks(table, AllItems);
    EXPECT_FALSE(table.isEmpty());
    EXPECT_EQ(table.taskCount(), 2);
    EXPECT_EQ(table.cell(Col::Task, 1), QString());
    EXPECT_EQ(table.shownTask(1), NoTaskText);
    EXPECT_EQ(table.shownTask(2), NoTaskText);
    file.SaveAllTasks(table);
    TaskTable again;
    file.LoadTasks(again, AllItems);
    EXPECT_EQ(again.taskCount(), 2);
    EXPECT_EQ(again.cell(Col::Task, 1), QString());
    EXPECT_EQ(again.cell(Col::Task, 2), QStringLiteral("   "));
    EXPECT_EQ(again.cell(Col::Category, 1), QStringLiteral("Home"));
}

// A rewrite tells where each row's record now begins, as a load of the new
// file finds it: over several megabytes, which are written a piece at a time.
TEST_F(TaskDataFileTest, shouldTellWhereEachRecordOfASaveBeginsAcrossPieces)
{
    QByteArray bytes;
    for (int i = 0; i < 3000; ++i) {
        const QByteArray note(200 + (i * 37) % 900, 'n');
        bytes += record(task("", "Task " + QByteArray::number(i), "", note));
        if (i % 7 == 0)
            bytes += record(QByteArray(50 + i % 300, ' ')); // left by a delete
    }
    writeAll(path, bytes);
    file.LoadTasks(table, AllItems);
    ASSERT_EQ(table.taskCount(), 3000);

    std::vector<qint64> starts;
    file.SaveAllTasks(table, &starts);
    ASSERT_GT(readAll(path).size(), 2 << 20);
    TaskTable again;
    file.LoadTasks(again, AllItems);
    ASSERT_EQ(again.taskCount(), 3000);
    ASSERT_EQ(starts.size(), 3000u);
    for (int r = 1; r <= 3000; ++r) {
        ASSERT_EQ(starts[size_t(r - 1)], TaskRecord::orderOffset(again.cell(Col::Order, r))) << r;
        ASSERT_EQ(again.cell(Col::Task, r), table.cell(Col::Task, r)) << r;
    }
}

TEST_F(TaskDataFileTest, shouldSaveAnEmptyTableAsAnEmptyFile)
{
    writeAll(path, record(task("", "Gone", "")));
    file.SaveAllTasks(table);
    EXPECT_EQ(readAll(path), QByteArray());
}

TEST_F(TaskDataFileTest, shouldRefuseOffsetsThatNameNoRecord)
{
    writeAll(path, record("abc"));
    EXPECT_THROW(file.BlankTask(100), StoreError);
    EXPECT_THROW(file.BlankTask(2), StoreError);
    EXPECT_EQ(readAll(path), record("abc"));
}

TEST_F(TaskDataFileTest, shouldReportAMissingFileOnAppendWithTheOpenMessage)
{
    table.setRowCount(2);
    table.setCell(Col::Task, 1, QStringLiteral("x"));
    try {
        file.AppendTask(table, 1);
        FAIL() << "no error";
    } catch (const StoreError &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Cannot open file \"%1\". ").arg(path)));
    }
}

struct Damage
{
    const char *name;
    QByteArray tail;
};

class DamagedFileTest : public TaskDataFileTest, public ::testing::WithParamInterface<Damage>
{
};

TEST_P(DamagedFileTest, shouldKeepRecordsBeforeTheDamageBackUpTheOriginalAndCutTheFile)
{
    const QByteArray good = record(task("", "Kept", ""));
    const QByteArray original = good + GetParam().tail;
    writeAll(path, original);

    const auto result = file.LoadTasks(table, AllItems);

    EXPECT_TRUE(result.damaged);
    ASSERT_EQ(table.taskCount(), 1);
    EXPECT_EQ(table.cell(Col::Task, 1), QStringLiteral("Kept"));
    EXPECT_EQ(result.damagedBackup, path + QStringLiteral(".damaged"));
    EXPECT_EQ(readAll(result.damagedBackup), original);
    EXPECT_EQ(readAll(path), good);
    EXPECT_FALSE(file.damagedMessage(result).isEmpty());

    // Later appends are reachable again.
    table.setRowCount(3);
    table.setCell(Col::Task, 2, QStringLiteral("New"));
    file.AppendTask(table, 2);
    TaskTable again;
    EXPECT_FALSE(file.LoadTasks(again, AllItems).damaged);
    EXPECT_EQ(again.taskCount(), 2);
}

INSTANTIATE_TEST_SUITE_P(Damages, DamagedFileTest,
                         ::testing::Values(Damage{"lengthPastEnd", record("abc").left(4) + "ab"},
                                           Damage{"negativeLength", QByteArray("\xFF\xFF\xFF\xFF"
                                                                               "abcd",
                                                                               8)},
                                           Damage{"truncatedPrefix", QByteArray("\x05\x00", 2)}),
                         [](const auto &p) { return std::string(p.param.name); });

TEST_F(TaskDataFileTest, shouldNeverOverwriteAnEarlierBackup)
{
    writeAll(path + QStringLiteral(".damaged"), "first");
    writeAll(path, record("a") + QByteArray("\x09\x00\x00\x00", 4));
    const auto result = file.LoadTasks(table, AllItems);
    EXPECT_EQ(result.damagedBackup, path + QStringLiteral(".damaged.1"));
    EXPECT_EQ(readAll(path + QStringLiteral(".damaged")), QByteArray("first"));
}

TEST_F(TaskDataFileTest, shouldKeepWhatItLearnsOfDamageToItsOwnDamagedFiles)
{
    // No backup can be made: its name would be too long for the file system.
    const QString unbackable = dir.filePath(QString(250, QLatin1Char('d')));
    const QByteArray original = record(task("", "Kept", "")) + QByteArray("\x09\x00\x00\x00", 4);
    writeAll(unbackable, original);
    const TaskDataFile first(unbackable, damaged);
    ASSERT_TRUE(first.LoadTasks(table, AllItems).tellUser);
    EXPECT_FALSE(first.LoadTasks(table, AllItems).tellUser);
    EXPECT_THROW(first.AppendTask(table, 1), StoreError);
    EXPECT_EQ(readAll(unbackable), original);

    DamagedFiles otherRun;
    const auto result = TaskDataFile(unbackable, otherRun).LoadTasks(table, AllItems);
    EXPECT_TRUE(result.damaged);
    EXPECT_TRUE(result.damagedBackup.isEmpty());
    EXPECT_TRUE(result.tellUser);
}

TEST_F(TaskDataFileTest, shouldSurviveRandomBytes)
{
    std::srand(7);
    for (int round = 0; round < 200; ++round) {
        QByteArray junk(std::rand() % 300, Qt::Uninitialized);
        for (char &c : junk)
            c = char(std::rand() & 0xFF);
        writeAll(path, junk);
        EXPECT_NO_THROW(file.LoadTasks(table, AllItems));
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
    }
}

TEST_F(TaskDataFileTest, shouldMoveARecordVerbatimAndCreateAMissingTarget)
{
    const QByteArray a = task(Times, "Archive me", "Work", "n");
    writeAll(path, record(a));
    const QString archive = dir.filePath(QStringLiteral("Tasklyn.ARK"));

    file.moveRecordTo(0, archive);

    EXPECT_EQ(readAll(archive), record(a));
    EXPECT_EQ(readAll(path), record(QByteArray(a.size(), ' ')));
}

TEST_F(TaskDataFileTest, shouldBlankADeletedCategoryInPlaceKeepingEveryLength)
{
    const QByteArray a = task("", "A", "Home");
    const QByteArray b = task("", "B", "Homer");
    const QByteArray c = task("", "C", "Home", "Home");
    // The task's own text is the name too: the category after it still goes.
    const QByteArray d = task("", "Home", "Home");
    writeAll(path, record(a) + record(b) + record(c) + record(d));

    file.ClearCategory(QStringLiteral("Home"));

    QByteArray a2 = a, c2 = c, d2 = d;
    a2.replace("\xA6Home\xA6", "\xA6    \xA6");
    c2.replace("\xA6Home\xA6"
               "18",
               "\xA6    \xA6"
               "18");
    d2.replace("\xA6Home\xA6"
               "18",
               "\xA6    \xA6"
               "18");
    EXPECT_EQ(readAll(path), record(a2) + record(b) + record(c2) + record(d2));
}

// A file of several read windows: the name in other fields, in a category it only
// begins, in a record of more fields than ten, in a blanked record and in a record
// longer than a window. The undo puts back every byte, and writes nothing once a
// record it would change has changed since.
TEST_F(TaskDataFileTest, shouldClearAndRestoreACategoryAcrossAFileOfManyWindows)
{
    QByteArray before;
    QByteArray cleared;
    int homes = 0;
    const auto add = [&](const QByteArray &withName, const QByteArray &withBlanks) {
        before += record(withName);
        cleared += record(withBlanks);
        homes += withName != withBlanks;
    };
    for (int i = 0; i < 30000; ++i) {
        const QByteArray n = QByteArray::number(i);
        const QByteArray text = i % 7 == 0 ? "Home " + n : "Task " + n;
        const QByteArray note = i % 11 == 0 ? "at Home" : "";
        switch (i % 4) {
        case 0:
            add(task("", text, "Home", note), task("", text, "    ", note));
            break;
        case 1:
            add(task("", text, "Homer", note), task("", text, "Homer", note));
            break;
        default:
            add(task("", text, i % 3 ? "Work" : "", note),
                task("", text, i % 3 ? "Work" : "", note));
        }
        if (i == 12345) {
            // Extra separators and a tail that is not a sort key and a colour: the
            // category is the eighth field.
            add(fields({"", "a", "d", "h", "2", "77", "k", "Home", "18", "x", "y", "z"}),
                fields({"", "a", "d", "h", "2", "77", "k", "    ", "18", "x", "y", "z"}));
            const QByteArray blank(task("", "Blanked", "Home").size(), ' ');
            add(blank, blank);
        }
        if (i == 20000) {
            const QByteArray longNote(1536 * 1024, 'n');
            add(task("", "Long", "Home", longNote), task("", "Long", "    ", longNote));
        }
    }
    writeAll(path, before);

    const QList<TaskDataFile::ClearedField> fields = file.ClearCategory(QStringLiteral("Home"));
    EXPECT_EQ(fields.size(), homes);
    ASSERT_EQ(readAll(path), cleared);

    // Named in any order, the fields go back in file order.
    const QList<TaskDataFile::ClearedField> reversed(fields.rbegin(), fields.rend());
    EXPECT_TRUE(file.restoreCategory(QStringLiteral("Home"), reversed));
    ASSERT_EQ(readAll(path), before);

    const QList<TaskDataFile::ClearedField> again = file.ClearCategory(QStringLiteral("Home"));
    QByteArray changed = cleared;
    const qsizetype task = again[again.size() / 2].offset + 4 + 1; // its task text
    changed[task] = changed[task] == 'T' ? 'H' : 'T';
    writeAll(path, changed);
    EXPECT_FALSE(file.restoreCategory(QStringLiteral("Home"), again));
    EXPECT_EQ(readAll(path), changed);
}

TEST(TaskTableTest, shouldPassQtsModelChecksThroughLoadsAndSorts)
{
    TaskTable table;
    QAbstractItemModelTester tester(&table, QAbstractItemModelTester::FailureReportingMode::Fatal);
    std::vector<TaskRow> rows(3);
    rows[0][Col::Task] = QStringLiteral("c");
    rows[1][Col::Task] = QStringLiteral("a");
    rows[2][Col::Task] = QStringLiteral("b");
    table.setTasks(std::move(rows));
    EXPECT_EQ(table.taskCount(), 3);
    table.permuteTasks({2, 3, 1}, {});
    EXPECT_EQ(table.cell(Col::Task, 1), QStringLiteral("a"));
    EXPECT_EQ(table.cell(Col::Task, 3), QStringLiteral("c"));
    table.clearTasks();
    EXPECT_TRUE(table.isEmpty());
    EXPECT_EQ(table.rowCount(), 2);
    EXPECT_EQ(table.taskCount(), 0);
}

} // namespace
