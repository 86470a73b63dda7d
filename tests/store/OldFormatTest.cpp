#include "store/OldFormat.h"
#include "common/TestFiles.h"
#include "store/DamagedFiles.h"
#include "store/DateFormat.h"
#include "store/ProfileData.h"
#include "store/ProfileFile.h"
#include "store/StoreError.h"
#include "store/TaskDataFile.h"
#include "store/TaskTable.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace TestFiles;

namespace {

class OldFormatTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    OldFormat::FirstStartPaths paths{dir.filePath("Tasklyn.INI"), dir.filePath("Tasklyn.DAT"),
                                     dir.filePath("Tasklyn.ARK"), dir.filePath("Tasklyn.ARH")};
    DateFormat dates{QStringLiteral("dd/MM/yyyy")};
    QDate today{2026, 12, 8};
    ProfileFile settings{paths.settings};
    DamagedFiles damaged;

    // Two old tasks: one done with a priority of "0" and no Time, one with a
    // two-line note; plus an unrelated section that must survive.
    const QByteArray oldIni =
        "[Preferences]\r\nAlert=1\r\n"
        "[Records]\r\nQuantity=2\r\n"
        "[Events0]\r\nChecked=\xD7\r\nTask=Old one\r\nDate=01/03/2009\r\nPriority=0\r\n"
        "Type=Home\r\nMemoLines=0\r\n"
        "[events1]\r\nchecked=\r\nTASK=Second\r\nDate=02/03/2009\r\nTime=21:30\r\n"
        "Priority=3\r\nColor=9\r\nMemoLines=2\r\nNotes0=first\r\nNotes1=second\r\n";
};

TEST_F(OldFormatTest, shouldConvertOldTasksFieldByField)
{
    const QList<QByteArray> texts =
        OldFormat::ConvertOldFormat(ProfileData::parse(oldIni), dates, today);
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(texts[0], fields({"\xD7", "Old one", "01/03/2009", "00:00", "", "0",
                                "2009-03-01 00:00", "Home", "18", ""}));
    EXPECT_EQ(texts[1], fields({" ", "Second", "02/03/2009", "21:30", "3", "1", "2009-03-02 21:30",
                                "", "9", "first\r\nsecond\r\n"}));
}

TEST_F(OldFormatTest, shouldConvertAtFirstStartEraseTheOldLayoutAndKeepOtherSettings)
{
    writeAll(paths.settings, oldIni);
    writeAll(paths.oldArchive,
             "[Records]\r\nQuantity=1\r\n[Events0]\r\nTask=Archived\r\nDate=05/05/2005\r\n"
             "Time=10:00\r\nMemoLines=1\r\nNotes0=x\r\n");

    EXPECT_TRUE(OldFormat::convertAtFirstStart(paths, settings, dates, today, damaged));

    TaskTable table;
    TaskDataFile(paths.dataFile, damaged).LoadTasks(table, AllItems);
    EXPECT_EQ(table.taskCount(), 2);
    TaskTable archive;
    TaskDataFile(paths.archive, damaged).LoadTasks(archive, AllItems);
    ASSERT_EQ(archive.taskCount(), 1);
    EXPECT_EQ(archive.cell(Col::Note, 1), QStringLiteral("x\r\n"));
    EXPECT_FALSE(QFile::exists(paths.oldArchive));
    const ProfileData after = ProfileData::load(paths.settings);
    EXPECT_FALSE(after.hasSection(QStringLiteral("Records")));
    EXPECT_FALSE(after.hasSection(QStringLiteral("Events0")));
    EXPECT_FALSE(after.hasSection(QStringLiteral("Events1")));
    EXPECT_EQ(
        after.value(QStringLiteral("Preferences"), QStringLiteral("Alert")).value_or(QString()),
        QStringLiteral("1"));
}

TEST_F(OldFormatTest, shouldCreateEmptyFilesAndNoMessageInAnEmptyFolder)
{
    EXPECT_FALSE(OldFormat::convertAtFirstStart(paths, settings, dates, today, damaged));
    EXPECT_EQ(readAll(paths.dataFile), QByteArray());
    EXPECT_TRUE(QFile::exists(paths.archive));
    EXPECT_EQ(readAll(paths.archive), QByteArray());
}

TEST_F(OldFormatTest, shouldNeverReplaceAnExistingArchive)
{
    const QByteArray kept = record(
        fields({"", "Kept", "01/01/2020", "10:00", "", "0", "2020-01-01 10:00", "", "18", ""}));
    writeAll(paths.archive, kept);
    OldFormat::convertAtFirstStart(paths, settings, dates, today, damaged);
    EXPECT_EQ(readAll(paths.archive), kept);

    QFile::remove(paths.dataFile);
    writeAll(
        paths.oldArchive,
        "[Records]\r\nQuantity=1\r\n[Events0]\r\nTask=Old\r\nDate=05/05/2005\r\nMemoLines=0\r\n");
    OldFormat::convertAtFirstStart(paths, settings, dates, today, damaged);
    const QByteArray appended = record(
        fields({" ", "Old", "05/05/2005", "00:00", "", "0", "2005-05-05 00:00", "", "18", ""}));
    EXPECT_EQ(readAll(paths.archive), kept + appended);
}

TEST_F(OldFormatTest, shouldWriteNothingAndKeepTheOldLayoutWhenATaskCannotBeConverted)
{
    QByteArray bad = oldIni;
    bad.replace("Date=02/03/2009", "Date=31/02/2009");
    writeAll(paths.settings, bad);
    writeAll(paths.oldArchive, "[Records]\r\nQuantity=0\r\n");
    try {
        OldFormat::convertAtFirstStart(paths, settings, dates, today, damaged);
        FAIL() << "no error";
    } catch (const StoreError &e) {
        EXPECT_TRUE(e.message().startsWith(
            QStringLiteral("'31/02/2009 21:30' is not a valid date and time")));
        EXPECT_TRUE(e.message().contains(QStringLiteral("Events1")));
    }
    EXPECT_FALSE(QFile::exists(paths.dataFile));
    EXPECT_FALSE(QFile::exists(paths.archive));
    EXPECT_TRUE(QFile::exists(paths.oldArchive));
    EXPECT_EQ(readAll(paths.settings), bad);
}

TEST_F(OldFormatTest, shouldRefuseAMissingMemoLines)
{
    const QByteArray ini = "[Records]\r\nQuantity=1\r\n[Events0]\r\nTask=t\r\nDate=01/01/2020\r\n";
    try {
        OldFormat::ConvertOldFormat(ProfileData::parse(ini), dates, today);
        FAIL() << "no error";
    } catch (const StoreError &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("'' is not a valid integer value")));
    }
}

// Counts are input from a file: a count far above what the file holds converts
// and erases what is there, at once, instead of counting up to it.
TEST_F(OldFormatTest, shouldConvertTheTasksAndNoteLinesThereWhateverCountTheFileGives)
{
    const QByteArray ini = "[Records]\r\nQuantity=2147483647\r\n"
                           "[Events0]\r\nTask=Only\r\nDate=01/03/2009\r\n"
                           "MemoLines=2147483647\r\nNotes0=first\r\nNotes1=second\r\n"
                           "[Options]\r\nLanguage=English\r\n";
    const QList<QByteArray> texts =
        OldFormat::ConvertOldFormat(ProfileData::parse(ini), dates, today);
    ASSERT_EQ(texts.size(), 1);
    EXPECT_EQ(texts[0], fields({" ", "Only", "01/03/2009", "00:00", "", "0", "2009-03-01 00:00", "",
                                "18", "first\r\nsecond\r\n"}));
    writeAll(paths.settings, ini);
    OldFormat::EraseOldFormat(settings);
    EXPECT_EQ(readAll(paths.settings), QByteArray("[Options]\r\nLanguage=English\r\n"));
}

} // namespace
