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
        start(tasks, moreSettings, t.alarm);
    }
    void start(const QByteArray &tasks, const QByteArray &moreSettings, AlarmTimer &alarm)
    {
        writeAll(t.file(FileNames::Data), tasks);
        writeAll(t.file(FileNames::Settings),
                 "[Preferences]\r\nAlert=1\r\nSorted=Task\r\nSortedOrdr=0\r\n" + moreSettings +
                     "[Category]\r\nCats=2\r\n1=Work\r\n2=Home\r\n");
        w = std::make_unique<TForm1>(t.ctx, t.tasks, alarm);
        ASSERT_TRUE(w->FormCreate());
    }
    void show()
    {
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    }
    void filter(const QString &category) { choose(ui<QComboBox>(w.get(), "ComboBox1"), category); }

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
    // The same tasks go to the desktop's notification list, as urgent.
    ASSERT_EQ(t.notifications.sent.size(), 1);
    EXPECT_EQ(t.notifications.sent[0].summary, QStringLiteral("Alert"));
    EXPECT_EQ(t.notifications.sent[0].actionLabel, QStringLiteral("Show Nudgery"));
    EXPECT_EQ(t.notifications.sent[0].body, QStringLiteral("1 - Alpha\n2 - Bravo"));
    EXPECT_EQ(t.notifications.sent[0].urgency, NotificationService::Urgency::Critical);

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

// What a run of ticks at chosen clock times alerts: late ticks catch up the minutes
// they skipped, at most a day back; after the clock is set back the checks go on
// from the new time; and nothing is alerted twice.
struct TickStep
{
    enum Kind { Tick, TickUntil, AlarmOff, AlarmOn } kind;
    QDateTime at;        // Tick: the clock then; TickUntil: ticks at the timer's periods up to here
    QDateTime from = {}; // TickUntil: the first tick's time, 10:28:03 when not given
};

struct LateTickCase
{
    const char *name;
    QList<TickStep> steps;
    QStringList boxes; // the alert texts, in order
};

QDateTime on(int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2026, 12, day), QTime(hour, minute, second));
}

TEST_F(ReminderWindow, LateTicksCatchUpTheMinutesTheySkippedAndAlertEachTaskOnce)
{
    using S = TickStep;
    const QList<LateTickCase> cases{
        {"ordinary ticks alert each task once, in its minute",
         {{S::TickUntil, on(9, 11, 5)}},
         {"Alert :\r\r1 - Alpha\r3 - Charlie", "Alert :\r\r2 - Bravo", "Alert :\r\r4 - Delta",
          "Alert :\r\r7 - Foxtrot"}},
        {"a jump of an hour gives one box with every task it skipped, in table order",
         {{S::Tick, on(9, 10, 0)}, {S::Tick, on(9, 11, 0, 30)}, {S::Tick, on(9, 11, 1, 30)}},
         {"Alert :\r\r1 - Alpha\r2 - Bravo\r3 - Charlie\r4 - Delta", "Alert :\r\r7 - Foxtrot"}},
        {"a tick late after the pause that followed an alert",
         {{S::Tick, on(9, 10, 30, 58)}, {S::Tick, on(9, 10, 32, 1)}},
         {"Alert :\r\r1 - Alpha\r3 - Charlie", "Alert :\r\r2 - Bravo"}},
        {"a clock set back alerts nothing again",
         {{S::Tick, on(9, 10, 30, 5)},
          {S::Tick, on(9, 10, 29, 0)},
          {S::Tick, on(9, 10, 30, 10)},
          {S::Tick, on(9, 10, 31, 5)},
          {S::Tick, on(9, 9, 0)},
          {S::Tick, on(9, 10, 31, 30)}},
         {"Alert :\r\r1 - Alpha\r3 - Charlie", "Alert :\r\r2 - Bravo"}},
        {"a clock corrected back from an hour ahead checks the minutes as they come again",
         {{S::Tick, on(9, 11, 30)}, {S::TickUntil, on(9, 10, 31, 10), on(9, 10, 29, 50)}},
         {"Alert :\r\r1 - Alpha\r3 - Charlie", "Alert :\r\r2 - Bravo"}},
        {"a clock corrected back from a day ahead loses no reminder",
         {{S::Tick, on(10, 10, 30)},
          {S::Tick, on(10, 10, 31)},
          {S::TickUntil, on(9, 10, 31, 10), on(9, 10, 29, 50)}},
         {"Alert :\r\r1 - Alpha\r3 - Charlie", "Alert :\r\r2 - Bravo"}},
        {"after a clock set back only the tasks not alerted yet come",
         {{S::Tick, on(9, 10, 30, 5)},
          {S::Tick, on(9, 10, 31, 5)},
          {S::Tick, on(9, 10, 0)},
          {S::TickUntil, on(9, 11, 1, 10), on(9, 10, 29, 50)}},
         {"Alert :\r\r1 - Alpha\r3 - Charlie", "Alert :\r\r2 - Bravo", "Alert :\r\r4 - Delta",
          "Alert :\r\r7 - Foxtrot"}},
        {"the first tick after a start looks at its own minute only",
         {{S::Tick, on(9, 10, 45)}, {S::Tick, on(9, 11, 1)}},
         {"Alert :\r\r4 - Delta\r7 - Foxtrot"}},
        {"minutes that pass while the alarm is off are not alerted",
         {{S::Tick, on(9, 10, 0)},
          {S::AlarmOff, {}},
          {S::AlarmOn, {}},
          {S::Tick, on(9, 10, 50)},
          {S::Tick, on(9, 11, 2)}},
         {"Alert :\r\r4 - Delta\r7 - Foxtrot"}},
        {"a late tick looks back one day at most",
         {{S::Tick, on(7, 10, 0)}, {S::Tick, on(9, 10, 30, 30)}},
         {"Alert :\r\r1 - Alpha\r3 - Charlie\r6 - Echo\r8 - Golf"}},
        {"across midnight each minute keeps its own day",
         {{S::Tick, on(8, 23, 58, 58)}, {S::Tick, on(9, 0, 0, 3)}},
         {"Alert :\r\r6 - Echo\r8 - Golf"}},
    };
    for (const LateTickCase &c : cases) {
        SCOPED_TRACE(c.name);
        w.reset();
        t.messages.shown.clear();
        // Each case is a run of its own: nothing alerted yet.
        AlarmTimer alarm;
        // Sorted by task text; the file's order is another.
        start(taskRecord("Bravo", "09/12/2026", "10:31") +
                  taskRecord("Foxtrot", "09/12/2026", "11:01") +
                  taskRecord("Alpha", "09/12/2026", "10:30") +
                  taskRecord("Charlie", "09/12/2026", "10:30") +
                  taskRecord("Delta", "09/12/2026", "10:59") +
                  taskRecord("Done", "09/12/2026", "10:45", {}, "\xD7") +
                  taskRecord("Echo", "08/12/2026", "23:59") +
                  taskRecord("Golf", "09/12/2026", "00:00") +
                  taskRecord("Hotel", "08/12/2026", "10:30"),
              {}, alarm);
        for (const TickStep &step : c.steps) {
            switch (step.kind) {
            case TickStep::Tick:
                t.clock.set(step.at);
                alarm.tick();
                break;
            case TickStep::TickUntil:
                for (t.clock.set(step.from.isValid() ? step.from : on(9, 10, 28, 3));
                     t.clock.now() <= step.at; t.clock.advance(alarm.interval() / 1000))
                    alarm.tick();
                break;
            case TickStep::AlarmOff:
                alarm.stop();
                break;
            case TickStep::AlarmOn:
                alarm.start();
                break;
            }
        }
        QStringList texts;
        for (const MessageRequest &box : t.messages.shown)
            texts << box.text;
        EXPECT_EQ(texts.join(QStringLiteral(" | ")).toStdString(),
                  c.boxes.join(QStringLiteral(" | ")).toStdString());
        w.reset(); // before the alarm it runs on
    }
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
    ASSERT_EQ(t.notifications.sent.size(), 1);
    EXPECT_EQ(t.notifications.sent[0].summary, QStringLiteral("Today's tasks"));
    EXPECT_EQ(t.notifications.sent[0].body, QStringLiteral("1 - Dawn\n3 - Evening"));
    EXPECT_EQ(t.notifications.sent[0].urgency, NotificationService::Urgency::Normal);
    // Picking the notification brings the hidden window back.
    w->hide();
    t.notifications.sent[0].activated();
    EXPECT_TRUE(w->isVisible());

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
    EXPECT_TRUE(t.notifications.sent.isEmpty());

    // Desktop notifications switched off: the box alone.
    w.reset();
    start(taskRecord("Today", "09/12/2026", "09:00"), "DesktopNotify=0\r\n");
    show();
    EXPECT_EQ(t.messages.shown.size(), 1);
    EXPECT_TRUE(t.notifications.sent.isEmpty());
}

TEST_F(ReminderWindow, NotificationsSpeakTheChosenLanguage)
{
    start(taskRecord("Meeting", "09/12/2026", "10:30"), "[Options]\r\nLanguage=Portuguese\r\n");
    show();
    t.alarm.tick();
    ASSERT_EQ(t.notifications.sent.size(), 2);
    EXPECT_EQ(t.notifications.sent[0].summary, QStringLiteral("Eventos de hoje"));
    EXPECT_EQ(t.notifications.sent[1].summary, QStringLiteral("Alerta"));
    for (const auto &sent : t.notifications.sent)
        EXPECT_EQ(sent.actionLabel, QStringLiteral("Mostrar Nudgery"));
}

TEST_F(ReminderWindow, ACategoryFilterHidesOtherTasksFromAlertAndAgenda)
{
    start(taskRecord("Home chore", "09/12/2026", "10:30", "Home") +
          taskRecord("Work call", "09/12/2026", "10:30", "Work"));
    filter(QStringLiteral("Work"));
    t.alarm.tick();
    show(); // the agenda comes with the first showing
    ASSERT_EQ(t.messages.shown.size(), 2);
    EXPECT_EQ(t.messages.shown[0].text, QStringLiteral("Alert :\r\r1 - Work call"));
    EXPECT_EQ(t.messages.shown[1].text, QStringLiteral("Things ToDo today :\r\r1 - Work call"));
}

} // namespace
