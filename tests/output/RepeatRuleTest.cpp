// The next date of each kind of rule, from dates where date arithmetic goes
// wrong: month ends, leap years, weekdays across a year end, days missed, ticks
// made early, and rules that give no date at all.
#include "tasks/RepeatRule.h"
#include "output/IcalRecurrence.h"

#include <gtest/gtest.h>

namespace {

QDate day(const char *iso)
{
    return QDate::fromString(QString::fromLatin1(iso), Qt::ISODate);
}

struct Case
{
    const char *rule;  // as the side file keeps it
    const char *task;  // the task's date
    const char *today; // the day it is ticked
    const char *next;  // nullptr: none
};

const Case Cases[] = {
    // Days: a task missed for a week comes back tomorrow, once.
    {"FREQ=DAILY", "2026-12-03", "2026-12-10", "2026-12-11"},
    {"FREQ=DAILY", "2026-12-31", "2026-12-31", "2027-01-01"},
    {"FREQ=DAILY;INTERVAL=3", "2026-12-01", "2026-12-05", "2026-12-07"},
    // Monday to Friday, across a weekend and a year end.
    {"FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR", "2026-12-31", "2026-12-31", "2027-01-01"},
    {"FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR", "2027-01-01", "2027-01-01", "2027-01-04"},
    // Weeks: on the day, early (to the week after its date), late, across a year end.
    {"FREQ=WEEKLY;BYDAY=MO", "2026-12-07", "2026-12-07", "2026-12-14"},
    {"FREQ=WEEKLY;BYDAY=MO", "2026-12-07", "2026-12-04", "2026-12-14"},
    {"FREQ=WEEKLY;BYDAY=MO", "2026-12-07", "2026-12-09", "2026-12-14"},
    {"FREQ=WEEKLY", "2026-12-29", "2026-12-29", "2027-01-05"},
    {"FREQ=WEEKLY;INTERVAL=2;BYDAY=MO", "2026-12-07", "2026-12-15", "2026-12-21"},
    {"FREQ=WEEKLY;INTERVAL=2;BYDAY=MO", "2026-12-07", "2026-12-21", "2027-01-04"},
    // A weekly rule from elsewhere on another weekday than the task's date.
    {"FREQ=WEEKLY;BYDAY=MO", "2026-12-09", "2026-12-09", "2026-12-14"},
    // Months: the 31st falls on the last day of shorter months and comes back.
    {"FREQ=MONTHLY;BYMONTHDAY=31", "2027-01-31", "2027-01-31", "2027-02-28"},
    {"FREQ=MONTHLY;BYMONTHDAY=31", "2027-02-28", "2027-02-28", "2027-03-31"},
    {"FREQ=MONTHLY;BYMONTHDAY=31", "2028-01-31", "2028-01-31", "2028-02-29"},
    {"FREQ=MONTHLY;BYMONTHDAY=31", "2027-03-31", "2027-03-31", "2027-04-30"},
    {"FREQ=MONTHLY;BYMONTHDAY=1", "2026-01-01", "2026-12-10", "2027-01-01"},
    {"FREQ=MONTHLY;INTERVAL=3;BYMONTHDAY=15", "2026-11-15", "2026-11-15", "2027-02-15"},
    {"FREQ=MONTHLY", "2026-12-30", "2026-12-30", "2027-01-30"},
    // Years: the 29th of February falls on the 28th in other years.
    {"FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=29", "2028-02-29", "2028-02-29", "2029-02-28"},
    {"FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=29", "2031-02-28", "2031-02-28", "2032-02-29"},
    {"FREQ=YEARLY", "2024-02-29", "2024-03-01", "2025-02-28"},
    // Rules set elsewhere, followed through the recurrence iterator.
    {"DTSTART=20261207;FREQ=MONTHLY;BYDAY=1MO", "2026-12-07", "2026-12-07", "2027-01-04"},
    {"DTSTART=20261231;FREQ=MONTHLY;BYSETPOS=-1;BYDAY=MO,TU,WE,TH,FR", "2026-12-31", "2026-12-31",
     "2027-01-29"},
    {"DTSTART=20261207;FREQ=WEEKLY;COUNT=2", "2026-12-07", "2026-12-07", "2026-12-14"},
    // ... and their ends: a count used up, an end passed, a date that never comes.
    {"DTSTART=20261207;FREQ=WEEKLY;COUNT=2", "2026-12-14", "2026-12-14", nullptr},
    {"DTSTART=20261101;FREQ=DAILY;UNTIL=20261201", "2026-12-07", "2026-12-07", nullptr},
    {"DTSTART=20270131;FREQ=MONTHLY;BYMONTH=2;BYMONTHDAY=31", "2027-01-31", "2027-01-31", nullptr},
    // Bad rules: never a loop, never a date.
    {"FREQ=SECONDLY", "2026-12-07", "2026-12-07", nullptr},
    {"FREQ=HOURLY;INTERVAL=1", "2026-12-07", "2026-12-07", nullptr},
    {"FREQ=DAILY;INTERVAL=0", "2026-12-07", "2026-12-07", nullptr},
    {"FREQ=DAILY;INTERVAL=1000000000", "2026-12-07", "2026-12-07", nullptr},
    {"FREQ=FORTNIGHTLY", "2026-12-07", "2026-12-07", nullptr},
    {"FREQ", "2026-12-07", "2026-12-07", nullptr},
    // The end of the calendar.
    {"FREQ=YEARLY;BYMONTH=12;BYMONTHDAY=31", "9999-12-31", "9999-12-31", nullptr},
};

TEST(RepeatRuleTest, shouldGiveTheFirstDateOfTheRuleAfterTheLaterOfTodayAndTheTasksDate)
{
    for (const Case &c : Cases) {
        SCOPED_TRACE(std::string(c.rule) + " from " + c.task + " ticked " + c.today);
        QString why;
        const RepeatRule rule = RepeatRule::parse(c.rule, day(c.task), &why);
        QString reason;
        const std::optional<QDate> next =
            rule.next(day(c.task), day(c.today), &IcalRecurrence::next, &reason);
        if (c.next) {
            ASSERT_TRUE(next.has_value()) << reason.toStdString() << why.toStdString();
            EXPECT_EQ(next->toString(Qt::ISODate).toStdString(), c.next);
        } else {
            EXPECT_FALSE(next.has_value()) << next->toString(Qt::ISODate).toStdString();
            // The user is told why the task is ticked as one that does not repeat.
            EXPECT_FALSE((rule.repeats() ? reason : why).isEmpty());
        }
    }
}

TEST(RepeatRuleTest, shouldKeepTheEditorsRulesAsTheEditorMakesThemAndOthersAsTheyCame)
{
    // A rule read back from the side file or from a calendar file is the same rule.
    const QDate monday = day("2026-12-07");
    const QDate last = day("2027-01-31");
    using U = RepeatRule::Unit;
    for (const RepeatRule &r :
         {RepeatRule::every(U::Day, 1, monday), RepeatRule::every(U::Day, 10, monday),
          RepeatRule::every(U::Weekday, 1, monday), RepeatRule::every(U::Week, 1, monday),
          RepeatRule::every(U::Week, 2, monday), RepeatRule::every(U::Month, 1, last),
          RepeatRule::every(U::Month, 6, last), RepeatRule::every(U::Year, 1, last)}) {
        SCOPED_TRACE(r.text().toStdString());
        // On another date (a tick moved the task) it stays the same rule.
        EXPECT_EQ(RepeatRule::parse(r.stored(), day("2027-03-03")), r);
    }
    EXPECT_EQ(RepeatRule::every(U::Week, 1, monday).text(), "FREQ=WEEKLY;BYDAY=MO");
    EXPECT_EQ(RepeatRule::every(U::Month, 1, last).text(), "FREQ=MONTHLY;BYMONTHDAY=31");

    const RepeatRule other = RepeatRule::parse("RRULE:FREQ=MONTHLY;BYDAY=-1FR;COUNT=5", monday);
    EXPECT_EQ(other.unit(), U::Elsewhere);
    EXPECT_EQ(other.text(), "FREQ=MONTHLY;BYDAY=-1FR;COUNT=5");
    EXPECT_EQ(other.seriesStart(), monday);
    // Read back on a later date, its series still starts where it did.
    const RepeatRule again = RepeatRule::parse(other.stored(), day("2027-05-28"));
    EXPECT_EQ(again, other);
}

} // namespace
