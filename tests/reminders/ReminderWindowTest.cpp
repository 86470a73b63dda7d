// The agenda shown with the main window and the alarm timer's check, on a program
// folder written by hand, with the fake clock and message service.
#include "common/Eventually.h"
#include "common/TestContext.h"
#include "common/TestFiles.h"
#include "common/Ui.h"
#include "mainwindow/TForm1.h"
#include "store/TaskTable.h"

#include <QComboBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

using namespace TestFiles;

namespace {

QByteArray taskRecord(const QByteArray &text, const QByteArray &date, const QByteArray &hour,
                      const QByteArray &category = {}, const QByteArray &done = {})
{
    return record(
        fields({done, text, date, hour, "", "0", "2026-12-09 " + hour, category, "18", ""}));
}

class ReminderWindow : public ::testing::Test
{
protected:
    ReminderWindow() { t.clock.set(QDateTime(QDate(2026, 12, 9), QTime(10, 30, 5))); }

    // Sorted by task text, so the table's order differs from the file's.
    void start(const QByteArray &tasks, const QByteArray &moreSettings = {})
    {
        writeAll(t.file(FileNames::Data), tasks);
        writeAll(t.file(FileNames::Settings),
                 "[Preferences]\r\nAlert=1\r\nSorted=Task\r\nSortedOrdr=0\r\n" + moreSettings +
                     "[Category]\r\nCats=2\r\n1=Work\r\n2=Home\r\n");
        w = std::make_unique<TForm1>(t.ctx, t.tasks, t.alarm);
        ASSERT_TRUE(w->FormCreate());
    }
    void show()
    {
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    }
    void filter(const QString &category)
    {
        QComboBox *selector = ui<QComboBox>(w.get(), "ComboBox1");
        selector->setCurrentIndex(selector->findText(category));
        w->ComboBox1Change();
    }

    TestContext t;
    std::unique_ptr<TForm1> w;
};

TEST_F(ReminderWindow, TwoTasksDueInTheSameMinuteGiveOneAlertInTableOrder)
{
    start(taskRecord("Bravo", "09/12/2026", "10:30") +
          taskRecord("Charlie", "09/12/2026", "10:33") +
          taskRecord("Alpha", "09/12/2026", "10:30"));
    EXPECT_TRUE(t.alarm.isActive());
    EXPECT_EQ(t.alarm.interval(), 5000);

    t.alarm.tick();
    ASSERT_EQ(t.messages.shown.size(), 1);
    const MessageRequest box = t.messages.shown.first();
    EXPECT_EQ(box.caption, QStringLiteral("Nudgery"));
    EXPECT_EQ(box.text, QStringLiteral("Alert :\r\r1 - Alpha\r2 - Bravo"));
    EXPECT_EQ(box.icon, MsgIcon::None);
    EXPECT_EQ(box.buttons, MsgButtons::Ok);
    // One long period moves the next check into a later minute.
    EXPECT_EQ(t.alarm.interval(), 60000);

    t.clock.advance(60);
    t.alarm.tick();
    EXPECT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.alarm.interval(), 5000);
    EXPECT_TRUE(t.alarm.isActive());

    t.clock.set(QDateTime(QDate(2026, 12, 9), QTime(10, 33)));
    t.alarm.tick();
    ASSERT_EQ(t.messages.shown.size(), 2);
    EXPECT_EQ(t.messages.shown.last().text, QStringLiteral("Alert :\r\r3 - Charlie"));
}

TEST_F(ReminderWindow, TheTimerCallsTheCheckAndAQuietTickChangesNothing)
{
    start(taskRecord("Later", "09/12/2026", "11:00"));
    t.alarm.pause();
    t.alarm.tick();
    EXPECT_TRUE(t.messages.shown.isEmpty());
    EXPECT_EQ(t.alarm.interval(), 5000);

    // The timer itself runs the check: a short period and a due task bring the box.
    t.clock.set(QDateTime(QDate(2026, 12, 9), QTime(11, 0, 1)));
    t.alarm.findChild<QTimer *>(QStringLiteral("Timer1"))->setInterval(10);
    ASSERT_TRUE(eventually([&] { return t.messages.shown.size() == 1; }))
        << t.messages.shown.size();
    EXPECT_EQ(t.messages.shown.first().text, QStringLiteral("Alert :\r\r1 - Later"));
    EXPECT_EQ(t.alarm.interval(), 60000);
}

TEST_F(ReminderWindow, RowsWithoutADateAndDoneTasksAreSkippedWithoutAnErrorBox)
{
    start(taskRecord("Broken", "99/99/2026", "10:30") + taskRecord("Fine", "09/12/2026", "10:30") +
          taskRecord("Finished", "09/12/2026", "10:30", {}, "\xD7"));
    t.alarm.tick();
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown.first().text, QStringLiteral("Alert :\r\r2 - Fine"));
}

TEST_F(ReminderWindow, AgendaAtTheFirstShowingListsTodaysOpenTasks)
{
    start(taskRecord("Evening", "09/12/2026", "20:00") +
          taskRecord("Tomorrow", "10/12/2026", "09:00") +
          taskRecord("Done", "09/12/2026", "08:00", {}, "\xD7") +
          taskRecord("Dawn", "09/12/2026", "05:00"));
    show();
    ASSERT_EQ(t.messages.shown.size(), 1);
    const MessageRequest box = t.messages.shown.first();
    EXPECT_EQ(box.caption, QStringLiteral(" Nudgery"));
    EXPECT_EQ(box.text, QStringLiteral("Things ToDo today :\r\r1 - Dawn\r3 - Evening"));
    EXPECT_EQ(box.icon, MsgIcon::Information);
    EXPECT_EQ(box.buttons, MsgButtons::Ok);

    // Once per run: showing the window again says nothing.
    w->hide();
    w->show();
    EXPECT_EQ(t.messages.shown.size(), 1);
}

TEST_F(ReminderWindow, AgendaShowsNothingWithoutTasksForTodayOrWhenSwitchedOff)
{
    start(taskRecord("Tomorrow", "10/12/2026", "09:00"));
    show();
    EXPECT_TRUE(t.messages.shown.isEmpty());

    w.reset();
    start(taskRecord("Today", "09/12/2026", "09:00"), "Alert_s=0\r\n");
    show();
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(ReminderWindow, ACategoryFilterHidesOtherTasksFromAlertAndAgenda)
{
    start(taskRecord("Home chore", "09/12/2026", "10:30", "Home") +
          taskRecord("Work call", "09/12/2026", "10:30", "Work"));
    filter(QStringLiteral("Work"));
    t.alarm.tick();
    w->ShowAgenda();
    ASSERT_EQ(t.messages.shown.size(), 2);
    EXPECT_EQ(t.messages.shown[0].text, QStringLiteral("Alert :\r\r1 - Work call"));
    EXPECT_EQ(t.messages.shown[1].text, QStringLiteral("Things ToDo today :\r\r1 - Work call"));
}

} // namespace
