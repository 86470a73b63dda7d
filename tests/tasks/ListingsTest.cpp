// What a printed page or PDF cannot show: the fields' exact widths, trailing
// blanks included. The lines as seen on paper are checked in PrintListTest.
#include "store/TaskTable.h"
#include "tasks/TaskListings.h"

#include <gtest/gtest.h>

namespace {

TEST(FixedField, shouldCutToThePrecisionThenPadToTheWidth)
{
    EXPECT_EQ(Listing::field("   Task", 50, 40), QString("   Task") + QString(43, ' '));
    EXPECT_EQ(Listing::field("abcdefgh", 6, 4), "abcd  ");
    EXPECT_EQ(Listing::field("abcdefgh", 3), "abc");
    EXPECT_EQ(Listing::field("anything", 0), "");
}

TEST(MainListLines, shouldCutEveryFieldToItsWidthAndKeepTheLinesAtTheirLengths)
{
    TaskTable table;
    table.setHeader(Col::Task, "Task");
    table.setHeader(Col::Category, "Type");
    TaskRow row;
    row[Col::Done] = "done?";
    row[Col::Task] = QString(60, 't');
    row[Col::Date] = "10/12/2026 at 08:00 sharp";
    row[Col::Hour] = "08:00";
    row[Col::Priority] = "1234567";
    row[Col::Category] = "A category name of thirty chars";
    row[Col::Note] = "never printed";
    table.setTasks({row});

    const QStringList lines = Listing::mainList(table);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0].size(), 86);
    EXPECT_EQ(lines[2],
              QString(11, ' ') + "Task" + QString(46 + 22, ' ') + "  | Type" + QString(16, ' '));
    EXPECT_EQ(lines[3],
              "       done" + QString(50, 't') + "10/12/2026 at 08123456  | A category name of t");
}

TEST(MainListLines, shouldPrintOneLineOfBlanksForTheEmptyTable)
{
    TaskTable table;
    const QStringList lines = Listing::mainList(table);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[3], QString(83, ' ') + "  | " + QString(20, ' '));
}

TEST(ArchiveListLines, shouldHaveA102CharacterHeaderAnd103CharacterLines)
{
    TaskTable table;
    TaskRow row;
    row[Col::Done] = DoneMark;
    row[Col::Task] = "Renew the passport";
    table.setTasks({row});
    const QStringList lines = Listing::archiveList(table);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0].size(), 102);
    EXPECT_EQ(lines[3],
              "       Renew the passport" + QString(32 + 22, ' ') + "  | " + QString(20, ' '));
}

TEST(ExportLines, shouldKeepTheBarAndCategoryWhenNoColumnIsShownInFull)
{
    TaskTable table;
    table.setHeader(Col::Category, "Type");
    const QString rule(25, '-');
    EXPECT_EQ(Listing::exportList(table, {}),
              QStringList({"", rule, "   | Type                ", rule, "   |                     ",
                           rule}));
}

TEST(ExportBytes, shouldWriteWindows1252WithCrLfAfterEveryLine)
{
    EXPECT_EQ(Listing::exportBytes({"", "-", QString(" ") + DoneMark + "é"}),
              QByteArray("\r\n-\r\n \xD7\xE9\r\n"));
}

} // namespace
