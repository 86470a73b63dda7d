#include "store/TaskRecord.h"
#include "common/TestFiles.h"
#include "store/StoreError.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>

using TestFiles::fields;

namespace {

TEST(TaskRecordTest, shouldPutExtraSeparatorsIntoTheTaskWhenTheTailIsWellFormed)
{
    const QByteArray text = fields(
        {"", "a", "b", "01/03/2009", "09:30", "", "0", "2009-03-01 09:30", "Home", "4", "note"});
    const TaskRow row = TaskRecord::split(text);
    EXPECT_EQ(row[Col::Task], QStringLiteral("a|b"));
    EXPECT_EQ(row[Col::Date], QStringLiteral("01/03/2009"));
    EXPECT_EQ(row[Col::Category], QStringLiteral("Home"));
    EXPECT_EQ(row[Col::TextColor], QStringLiteral("4"));
    EXPECT_EQ(row[Col::Note], QStringLiteral("note"));
    EXPECT_EQ(TaskRecord::category(text), QStringLiteral("Home"));
}

TEST(TaskRecordTest, shouldKeepEverythingAfterTheNinthSeparatorInTheNoteOtherwise)
{
    const QByteArray text = fields(
        {"", "t", "01/03/2009", "09:30", "", "0", "2009-03-01 09:30", "Home", "18", "x", "y", "z"});
    const TaskRow row = TaskRecord::split(text);
    EXPECT_EQ(row[Col::Task], QStringLiteral("t"));
    EXPECT_EQ(row[Col::Category], QStringLiteral("Home"));
    EXPECT_EQ(row[Col::Note], QStringLiteral("x|y|z"));
    EXPECT_EQ(TaskRecord::category(text), QStringLiteral("Home"));
}

TEST(TaskRecordTest, shouldTakeTheThirdFieldFromTheEndAsTheCategoryOfAShortRecord)
{
    EXPECT_EQ(TaskRecord::category("a\xA6"
                                   "b"),
              QString());
    EXPECT_EQ(TaskRecord::category("a\xA6"
                                   "b\xA6"
                                   "c"),
              QStringLiteral("a"));
}

TEST(TaskRecordTest, shouldRefuseANonNumericOrder)
{
    try {
        TaskRecord::orderOffset(QString());
        FAIL() << "no error";
    } catch (const StoreError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("'' is not a valid integer value"));
    }
}

// The category is looked for from the record's end first; whatever the record's
// shape, it must be the field a full split gives (records of ten fields or more,
// the extra separators typed into a text by an older release). A record asked
// whether its category reads a name (a filter, a category delete) answers as
// that field does, for records of any number of fields.
TEST(TaskRecordTest, shouldFindTheSameCategoryAsAFullSplitWhateverTheRecordsShape)
{
    const QByteArray pool[] = {"",
                               "Home",
                               "18",
                               "4",
                               "+3",
                               " 5",
                               "19",
                               "x",
                               "0",
                               "07",
                               "2009-03-01 09:30",
                               "2009-03-01",
                               "ab",
                               "Work",
                               "9 ",
                               "2009-03-01 09:30x",
                               "Home\r\nnote"};
    std::mt19937 random(7);
    const auto pick = [&] { return pool[random() % std::size(pool)]; };
    for (int trial = 0; trial < 5000; ++trial) {
        QByteArray text = pick();
        const int count = 1 + int(random() % 14);
        for (int f = 1; f < count; ++f)
            text += FieldSeparator + pick();
        const TaskRecord::Span span = TaskRecord::categorySpan(text);
        for (const QByteArray &name : pool) {
            const std::optional<TaskRecord::Span> named = TaskRecord::categoryNamed(text, name);
            ASSERT_EQ(bool(named), span.in(text) == name)
                << text.toStdString() << " / " << name.toStdString();
            ASSERT_TRUE(!named || (named->from == span.from && named->to == span.to));
        }
        if (count < 10)
            continue;
        ASSERT_EQ(TaskRecord::category(text), TaskRecord::split(text)[Col::Category])
            << text.toStdString();
        // Asked of each field in turn, only the category's place is the category.
        for (qsizetype from = 0, to = 0; to <= text.size(); from = ++to) {
            while (to < text.size() && text[to] != FieldSeparator)
                ++to;
            ASSERT_EQ(TaskRecord::categoryIsAt(text, from, to), from == span.from && to == span.to)
                << text.toStdString() << " at " << from;
        }
    }
}

} // namespace
