// The agenda and alert texts, built from a table filled by hand.
#include "reminders/Reminders.h"
#include "store/DateFormat.h"
#include "store/TaskTable.h"

#include <gtest/gtest.h>

using namespace Reminders;

namespace {

TaskRow task(const QString &text, const QString &date, const QString &hour,
             const QString &done = {})
{
    TaskRow row;
    row[Col::Done] = done;
    row[Col::Task] = text;
    row[Col::Date] = date;
    row[Col::Hour] = hour;
    row[Col::TextColor] = QStringLiteral("18");
    return row;
}

class ReminderTexts : public ::testing::Test
{
protected:
    void load(std::vector<TaskRow> rows) { table.setTasks(std::move(rows)); }
    QString alertAt(int hour, int minute, int second = 0) const
    {
        return alertText(table, dates, QDateTime(today, QTime(hour, minute, second)));
    }

    TaskTable table;
    DateFormat dates{QStringLiteral("dd/MM/yyyy")};
    const QDate today{2026, 12, 9};
};

TEST_F(ReminderTexts, AlertListsEveryOpenTaskDueThisMinuteOnlyInThatMinute)
{
    load({task("Bravo", "09/12/2026", "10:30"), task("Other minute", "09/12/2026", "10:31"),
          task("Alpha", "09/12/2026", "10:30"), task("Tomorrow", "10/12/2026", "10:30"),
          task("Yesterday", "08/12/2026", "10:30"), task("Midnight", "09/12/2026", "00:00"),
          task("Last year", "09/12/2025", "10:30"), task("Next year", "09/12/2027", "10:30")});
    const QString text = alertAt(10, 30, 59);
    EXPECT_EQ(text, QStringLiteral("Alert :\r\r1 - Bravo\r3 - Alpha"));
    EXPECT_TRUE(listsTasks(text, AlertHeading));

    EXPECT_EQ(alertAt(10, 31), QStringLiteral("Alert :\r\r2 - Other minute"));
    EXPECT_EQ(alertAt(10, 29, 59), QStringLiteral("Alert :\r"));
    EXPECT_FALSE(listsTasks(alertAt(10, 29, 59), AlertHeading));
    EXPECT_EQ(alertAt(0, 0, 4), QStringLiteral("Alert :\r\r6 - Midnight"));
}

TEST_F(ReminderTexts, AlertLeavesOutDoneTasksAndTasksWithoutAnHour)
{
    load({task("Done", "09/12/2026", "00:00", DoneMark), task("No hour", "09/12/2026", ""),
          task("Blank hour", "09/12/2026", " "),
          task("Marked otherwise", "09/12/2026", "00:00", "x")});
    // Any done text other than the mark means open.
    EXPECT_EQ(alertAt(0, 0), QStringLiteral("Alert :\r\r4 - Marked otherwise"));
}

TEST_F(ReminderTexts, RowsWhoseDateIsNoDateAreLeftOut)
{
    load({task("Impossible day", "31/02/2026", "10:30"), task("Words", "soon", "10:30"),
          task("Empty date", "", "10:30"), task("Short form", "9/12/26", "10:30"),
          task("Year left out", "09/12", "10:30")});
    // Dates typed shorter still read as today.
    EXPECT_EQ(alertAt(10, 30), QStringLiteral("Alert :\r\r4 - Short form\r5 - Year left out"));
    EXPECT_EQ(agendaText(table, dates, today),
              QStringLiteral("Things ToDo today :\r\r4 - Short form\r5 - Year left out"));
}

TEST_F(ReminderTexts, AlertComparesTheHourAsTextWithTheTimeSeparatorInForce)
{
    DateFormat dotted(QStringLiteral("dd.MM.yyyy"), QLatin1Char('.'));
    load({task("Dotted", "09.12.2026", "07.05"), task("Colon", "09.12.2026", "07:05"),
          task("One digit", "09.12.2026", "7.05")});
    EXPECT_EQ(alertText(table, dotted, QDateTime(today, QTime(7, 5))),
              QStringLiteral("Alert :\r\r1 - Dotted"));
}

TEST_F(ReminderTexts, AgendaListsTodaysOpenTasksWhateverTheirHour)
{
    load({task("Morning", "09/12/2026", "06:00"),
          task("Done today", "09/12/2026", "07:00", DoneMark),
          task("Tomorrow", "10/12/2026", "08:00"), task("Any time", "09/12/2026", ""),
          task("Late", "09/12/2026", "23:59"), task("Last year", "09/12/2025", "06:00"),
          task("Next year", "09/12/2027", "06:00")});
    const QString text = agendaText(table, dates, today);
    EXPECT_EQ(text, QStringLiteral("Things ToDo today :\r\r1 - Morning\r4 - Any time\r5 - Late"));
    EXPECT_TRUE(listsTasks(text, AgendaHeading));
}

TEST_F(ReminderTexts, AgendaOfADayWithoutTasksOrOfAnEmptyTableListsNothing)
{
    load({task("Tomorrow", "10/12/2026", "08:00"), task("Done", "09/12/2026", "08:00", DoneMark)});
    EXPECT_EQ(agendaText(table, dates, today), QStringLiteral("Things ToDo today :\r"));
    EXPECT_FALSE(listsTasks(agendaText(table, dates, today), AgendaHeading));

    load({});
    EXPECT_TRUE(table.isEmpty());
    EXPECT_FALSE(listsTasks(agendaText(table, dates, today), AgendaHeading));
    // A task without task text is a task: listed with the placeholder the grid shows.
    load({task("   ", "09/12/2026", "08:00"), task("Below", "09/12/2026", "08:00")});
    EXPECT_EQ(agendaText(table, dates, today),
              QStringLiteral("Things ToDo today :\r\r1 - (no task text)\r2 - Below"));
}

TEST(ListsTasks, StripsBlanksAndControlCharactersAtBothEnds)
{
    EXPECT_FALSE(listsTasks(QStringLiteral("Alert :\r"), AlertHeading));
    EXPECT_FALSE(listsTasks(QStringLiteral(" \t\x01"
                                           "Alert :\r\n\x1f "),
                            AlertHeading));
    EXPECT_TRUE(listsTasks(QStringLiteral("Alert :\r\r1 - x"), AlertHeading));
    EXPECT_TRUE(listsTasks(QStringLiteral("Alert"), AlertHeading));
}

} // namespace
