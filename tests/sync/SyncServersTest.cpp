// Two computers and a phone on one real CalDAV server (Radicale with its own
// password, Xandikos behind a front that asks for one): what each does reaches
// the others, and what the phone set that Nudgery cannot hold survives.
#include "SyncFixture.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <utility>

namespace {

using Kind = DavServer::Kind;

class SyncServers : public ::testing::TestWithParam<Kind>
{
protected:
    void SetUp() override
    {
        server = std::make_unique<DavServer>(GetParam());
        ASSERT_TRUE(server->started()) << DavServer::name(GetParam()) << " did not start";
    }

    // A sync that must go through; its report.
    SyncReport synced(Device &device)
    {
        const SyncReport r = device.sync(*server);
        EXPECT_TRUE(r.ok()) << r.error.toStdString();
        return r;
    }

    std::unique_ptr<DavServer> server;
};

TEST_P(SyncServers, shouldBringEveryChangeOfEachDeviceToTheOthersAndKeepWhatThePhoneSet)
{
    Device a, b;
    // GIVEN tasks made on a and a task with a repeat rule, an alarm and a property
    // of its own made on the phone
    a.add(QStringLiteral("Buy stamps"), QStringLiteral("Home"), QStringLiteral("1"));
    a.add(QStringLiteral("Call Bob"));
    synced(a);
    phone(*server, {QStringLiteral("add"), QStringLiteral("Water plants"),
                    QStringLiteral("DUE;VALUE=DATE:20261224"), QStringLiteral("RRULE:FREQ=WEEKLY"),
                    QStringLiteral("X-OTHER:kept"), QStringLiteral("BEGIN:VALARM"),
                    QStringLiteral("ACTION:DISPLAY"), QStringLiteral("DESCRIPTION:x"),
                    QStringLiteral("TRIGGER:-PT15M"), QStringLiteral("END:VALARM")});

    // WHEN b joins, renames the phone's task and ticks one of a's
    const SyncReport first = synced(b);
    EXPECT_EQ(first.received, 3);
    EXPECT_EQ(b.list(), QStringList({"Buy stamps|open", "Call Bob|open", "Water plants|open"}));
    b.rename(QStringLiteral("Water plants"), QStringLiteral("Water the plants"));
    b.tick(QStringLiteral("Call Bob"));
    EXPECT_EQ(synced(b).sent, 2);

    // THEN the phone sees both, the rule, the alarm and its property kept
    EXPECT_EQ(phone(*server, {QStringLiteral("list")}),
              QStringList({"Buy stamps||1|||", "Call Bob|COMPLETED||||",
                           "Water the plants|||FREQ=WEEKLY|1|kept"}));
    synced(a);
    EXPECT_EQ(a.list(), QStringList({"Buy stamps|open", "Call Bob|done", "Water the plants|open"}));

    // WHEN the phone completes a task, a deletes one and archives another
    phone(*server, {QStringLiteral("complete"), QStringLiteral("Buy stamps")});
    const QString uid = a.uidOf(QStringLiteral("Call Bob"));
    a.remove(QStringLiteral("Water the plants"));
    a.archive(QStringLiteral("Call Bob"));
    synced(a);
    synced(b);
    // THEN a completed task is ticked, not archived; the archive takes a task off
    // the server
    EXPECT_EQ(a.list(), QStringList({"Buy stamps|done", "archive:Call Bob|done"}));
    EXPECT_EQ(b.list(), QStringList({"Buy stamps|done"}));
    EXPECT_EQ(phone(*server, {QStringLiteral("list")}), QStringList({"Buy stamps|COMPLETED|1|||"}));

    // WHEN a takes it back out of the archive: under the same UID
    a.unarchive(QStringLiteral("Call Bob"));
    synced(a);
    synced(b);
    EXPECT_EQ(a.uidOf(QStringLiteral("Call Bob")), uid);
    EXPECT_EQ(b.uidOf(QStringLiteral("Call Bob")), uid);
    EXPECT_EQ(b.list(), QStringList({"Buy stamps|done", "Call Bob|done"}));

    // WHEN both rename one task before either syncs: the server's version is the
    // task, a's own is kept as a conflict copy, on every side
    a.rename(QStringLiteral("Call Bob"), QStringLiteral("Call Bob at 5"));
    b.rename(QStringLiteral("Call Bob"), QStringLiteral("Call Robert"));
    synced(b);
    const SyncReport conflict = synced(a);
    EXPECT_EQ(conflict.conflicts, 1);
    synced(b);
    const QStringList both = {"Buy stamps|done", "Call Bob at 5 (conflict copy)|done",
                              "Call Robert|done"};
    EXPECT_EQ(a.list(), both);
    EXPECT_EQ(b.list(), both);
    EXPECT_EQ(phone(*server, {QStringLiteral("list")}).size(), 3);

    // A sync with nothing to do asks the server once and changes nothing.
    const SyncReport idle = synced(a);
    EXPECT_EQ(idle.requests, 1);
    EXPECT_EQ(idle.sent + idle.received, 0);
}

TEST_P(SyncServers, shouldPairIdenticalTasksOfAFirstSyncInsteadOfDoublingThem)
{
    Device a, b;
    for (const char *t : {"One", "Two", "Three"})
        a.add(QString::fromLatin1(t));
    synced(a);
    // b already holds two of them, and one of its own, before its first sync.
    b.add(QStringLiteral("Two"));
    b.add(QStringLiteral("Three"));
    b.add(QStringLiteral("Four"));
    // ... and one it once exported, which the phone has since renamed: the UID the
    // export made from its fields still pairs them (the rename is on both sides,
    // b's own text kept as a conflict copy, since neither side knew a base).
    b.add(QStringLiteral("Five"));
    b.tasks().load(AllItems);
    const int five = b.tasks().table().taskCount();
    ASSERT_EQ(b.tasks().table().cell(Col::Task, five), "Five");
    const QString exported =
        TaskIdentities::contentHash(b.tasks().table().row(five)) + QStringLiteral("@nudgery");
    ASSERT_EQ(server->put(server->calendar().path() + QStringLiteral("five.ics"),
                          "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//phone//EN\r\n"
                          "BEGIN:VTODO\r\nUID:" +
                              exported.toUtf8() +
                              "\r\nDTSTAMP:20261210T020000Z\r\nSUMMARY:Five renamed\r\n"
                              "END:VTODO\r\nEND:VCALENDAR\r\n")
                      .status /
                  100,
              2);
    const SyncReport first = synced(b);
    EXPECT_EQ(first.sent, 2);
    EXPECT_EQ(first.conflicts, 1);
    synced(a);
    const QStringList all = {"Five (conflict copy)|open",
                             "Five renamed|open",
                             "Four|open",
                             "One|open",
                             "Three|open",
                             "Two|open"};
    EXPECT_EQ(a.list(), all);
    EXPECT_EQ(b.list(), all);
    EXPECT_EQ(server->items().size(), 6);
}

TEST_P(SyncServers, shouldKeepATasksItemWhenTheUserChangesItWhileASyncPairsIt)
{
    Device a;
    for (const char *t : {"One", "Two", "Three"})
        a.add(QString::fromLatin1(t));
    synced(a);
    const QString uid = a.uidOf(QStringLiteral("Two"));
    const QStringList paths = server->items().keys();
    // Another calendar was used meanwhile: coming back pairs every task anew, by
    // UID. The user renames one while the sync works out what to do.
    a.identities().setCalendar(QStringLiteral("http://elsewhere.invalid/tasks/"));
    SyncSession::Setup setup;
    setup.calendar = server->calendar();
    SystemClock clock;
    SyncSession session(a.client(), a.tasks(), a.identities(), a.dates(), clock, setup);
    bool renamed = false;
    QObject::connect(&session, &SyncSession::progress, [&] {
        if (!std::exchange(renamed, true))
            a.rename(QStringLiteral("Two"), QStringLiteral("Two changed"));
    });
    session.start();
    while (!session.over())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    ASSERT_TRUE(session.report().ok()) << session.report().error.toStdString();
    ASSERT_TRUE(renamed);
    synced(a);
    // The rename reached the same item: nothing doubled, deleted or made anew.
    EXPECT_EQ(a.list(), QStringList({"One|open", "Three|open", "Two changed|open"}));
    EXPECT_EQ(a.uidOf(QStringLiteral("Two changed")), uid);
    const QMap<QString, QByteArray> items = server->items();
    EXPECT_EQ(items.keys(), paths);
    int changed = 0;
    for (const QByteArray &text : items)
        changed += text.contains("SUMMARY:Two changed") ? 1 : 0;
    EXPECT_EQ(changed, 1);
}

TEST_P(SyncServers, shouldFinishAChangeFromTheServerThatARunLeftBetweenItsTwoWrites)
{
    Device a;
    a.add(QStringLiteral("Old text"));
    synced(a);
    phone(*server,
          {QStringLiteral("rename"), QStringLiteral("Old text"), QStringLiteral("New text")});
    const QByteArray oldRecord = [&] {
        a.tasks().load(AllItems);
        return a.tasks().table().recordText(1);
    }();
    const QString uid = a.uidOf(QStringLiteral("Old text"));
    synced(a);
    ASSERT_EQ(a.list(), QStringList({"New text|open"}));
    // GIVEN the files as a kill leaves them between the append of the new version
    // and the blanking of the old one: both records, the side file not yet told.
    a.tasks().dataFile().appendRecords({oldRecord});
    TaskIdentities::Identity i = *a.identities().find(uid);
    i.pendingKey = i.key;
    i.inStepKey = i.key;
    i.key = TaskIdentities::identityKey(oldRecord);
    i.base = i.key;
    a.identities().put({i});
    a.restart();
    ASSERT_EQ(a.list(), QStringList({"New text|open", "Old text|open"}));
    // WHEN the next run syncs THEN the old version goes, and nothing else changes
    const SyncReport r = synced(a);
    EXPECT_EQ(a.list(), QStringList({"New text|open"}));
    EXPECT_EQ(r.sent, 0);
    EXPECT_EQ(server->items().size(), 1);
    EXPECT_EQ(synced(a).requests, 1);
}

TEST_P(SyncServers, shouldRepeatThePhonesRepeatingTaskAndMoveItsDueOnTheServerWhenTicked)
{
    Device a;
    // GIVEN a weekly task made on the phone, starting and due today, and a monthly
    // task made here
    const QDate today = QDate::currentDate();
    const QString day = today.toString(QStringLiteral("yyyyMMdd"));
    phone(*server, {QStringLiteral("add"), QStringLiteral("Bins out"),
                    QStringLiteral("DTSTART;VALUE=DATE:") + day,
                    QStringLiteral("DUE;VALUE=DATE:") + day, QStringLiteral("RRULE:FREQ=WEEKLY")});
    a.add(QStringLiteral("Pay rent"));
    a.setRule(QStringLiteral("Pay rent"), RepeatRule::Unit::Month);

    // WHEN a syncs THEN each side's rule is the other's
    synced(a);
    EXPECT_EQ(a.ruleOf(QStringLiteral("Bins out")),
              RepeatRule::every(RepeatRule::Unit::Week, 1, today));
    EXPECT_EQ(phone(*server, {QStringLiteral("list")}),
              QStringList({"Bins out|||FREQ=WEEKLY||", "Pay rent|||FREQ=MONTHLY;BYMONTHDAY=24||"}));

    // WHEN a ticks the weekly task and syncs
    a.tick(QStringLiteral("Bins out"));
    EXPECT_EQ(a.dateOf(QStringLiteral("Bins out")), today.addDays(7));
    EXPECT_EQ(synced(a).sent, 1);
    // THEN the server's copy is due a week later, its start moved with it, its rule
    // kept, the series not completed
    const QString next = today.addDays(7).toString(QStringLiteral("yyyyMMdd"));
    QByteArray bins;
    for (const QByteArray &text : server->items())
        if (text.contains("SUMMARY:Bins out"))
            bins = QByteArray(text).replace("\r\n ", "");
    EXPECT_TRUE(bins.contains("DUE;VALUE=DATE:" + next.toLatin1())) << bins.toStdString();
    EXPECT_TRUE(bins.contains("DTSTART;VALUE=DATE:" + next.toLatin1())) << bins.toStdString();
    EXPECT_TRUE(bins.contains("RRULE:FREQ=WEEKLY")) << bins.toStdString();
    EXPECT_FALSE(bins.contains("COMPLETED")) << bins.toStdString();
    EXPECT_EQ(a.list(), QStringList({"Bins out|open", "Pay rent|open", "archive:Bins out|done"}));

    // AND a second computer finds it repeating, on its next date
    Device b;
    synced(b);
    EXPECT_EQ(b.dateOf(QStringLiteral("Bins out")), today.addDays(7));
    EXPECT_EQ(b.ruleOf(QStringLiteral("Bins out")),
              RepeatRule::every(RepeatRule::Unit::Week, 1, today));
    EXPECT_EQ(b.ruleOf(QStringLiteral("Pay rent")),
              RepeatRule::every(RepeatRule::Unit::Month, 1, QDate(2026, 12, 24)));
}

INSTANTIATE_TEST_SUITE_P(BothServers, SyncServers,
                         ::testing::Values(Kind::Radicale, Kind::Xandikos),
                         [](const ::testing::TestParamInfo<Kind> &param) {
                             return std::string(DavServer::name(param.param));
                         });

} // namespace
