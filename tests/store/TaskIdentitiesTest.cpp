// The side file of identities: what a kill at any byte of a write leaves, and how
// records find their identities.
#include "store/TaskIdentities.h"
#include "common/TestFiles.h"
#include "store/TaskRecord.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Place = TaskIdentities::Place;

QByteArray record(const char *task, const char *hour, const char *order)
{
    return TestFiles::fields({" ", task, "09/12/2026", hour, "", order, "2026-12-09 00:00", "Home",
                              "18", "a note\r\nline two"});
}

TaskIdentities::Identity placed(const char *uid, Place place, const QByteArray &key)
{
    TaskIdentities::Identity i;
    i.uid = QString::fromLatin1(uid);
    i.place = place;
    i.key = key;
    return i;
}

// Everything a load gives, in one comparable text.
std::string stateOf(const TaskIdentities &ids)
{
    std::string out = "calendar=" + ids.calendar().toStdString() +
                      " token=" + ids.syncToken().toStdString() +
                      " restored=" + std::to_string(ids.restored());
    for (const auto &[uid, i] : ids.identities())
        out += "\n" + uid.toStdString() + (i.place == Place::Archive ? " A " : " D ") +
               i.key.toHex().toStdString() + " " + i.pendingKey.toHex().toStdString() + " " +
               i.href.toStdString() + " " + i.etag.toStdString() + " " +
               i.base.toHex().toStdString() + " " + i.server.toStdString();
    for (auto it = ids.ignored().cbegin(); it != ids.ignored().cend(); ++it)
        out += "\nignored " + it.key().toStdString() + " " + it.value().toStdString();
    return out;
}

TEST(TaskIdentities, shouldLoseAtMostTheChangeBeingWrittenWhenAKillCutsTheFileAtAnyByte)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tasklyn.IDS"));
    // Values holding the journal's own separators and the record separator.
    TaskIdentities ids(path);
    ids.put({{QStringLiteral("a@x"),
              Place::Data,
              TaskIdentities::identityKey(record("A", "", "4")),
              {},
              QStringLiteral("/cal/a.ics"),
              "\"e1\"",
              {},
              "BEGIN:VTODO\r\nSUMMARY:50%\ttab\r\nEND:VTODO\r\n"}});
    ids.setCalendar(QStringLiteral("http://127.0.0.1/cal/"));
    ids.setSyncToken("http://radicale.org/ns/sync/1");
    ids.setIgnored({{QStringLiteral("/cal/event.ics"), "\"e9\""}}, {});
    const std::string before = stateOf(ids);
    const qint64 sizeBefore = TestFiles::readAll(path).size();

    // The changes a kill interrupts: a move (an archive), then a new identity.
    ids.moved({{Place::Data, record("A", "", "4"), Place::Archive, record("A", "00:00", "0")}});
    const std::string afterMove = stateOf(ids);
    TaskIdentities::Identity b =
        placed("b@x", Place::Data, TaskIdentities::identityKey(record("B", "", "9")));
    b.pendingKey = TaskIdentities::identityKey(record("B2", "", "9"));
    ids.put({b});
    const std::string after = stateOf(ids);
    ASSERT_NE(before, afterMove);
    const QByteArray whole = TestFiles::readAll(path);
    ASSERT_EQ(stateOf([&] {
                  TaskIdentities probe(path);
                  probe.load(true);
                  return probe;
              }()),
              after);

    for (qint64 cut = sizeBefore; cut <= whole.size(); ++cut) {
        TestFiles::writeAll(path, whole.left(cut));
        TaskIdentities loaded(path);
        loaded.load();
        const std::string state = stateOf(loaded);
        EXPECT_TRUE(state == before || state == afterMove || state == after)
            << "cut at " << cut << ":\n"
            << state;
        // The file is whole again: a change appended now is read back.
        loaded.setSyncToken("next");
        TaskIdentities again(path);
        again.load(true);
        EXPECT_EQ(stateOf(again), stateOf(loaded)) << "cut at " << cut;
    }
}

TEST(TaskIdentities, shouldTieRecordsToIdentitiesByTextWithoutOrderAndWithAnEmptyHourAsMidnight)
{
    // A record with more fields than ten: its extra separator belongs to the task.
    const QByteArray eleven = TestFiles::fields(
        {" ", "A \xA6 B", "09/12/2026", "10:00", "", "77", "2026-12-09 10:00", "", "18", ""});
    struct Case
    {
        QByteArray stored;
        QByteArray now;
        bool same;
    } cases[] = {
        {record("A", "10:00", "4"), record("A", "10:00", "123456"), true},
        {record("A", "", "4"), record("A", "00:00", "8"), true},
        {record("A", "  ", "4"), record("A", "00:00", "8"), true},
        {record("A", "10:00", "4"), record("A", "10:01", "4"), false},
        {record("A", "10:00", "4"), record("a", "10:00", "4"), false},
        {eleven,
         QByteArray(eleven).replace("\xA6"
                                    "77\xA6",
                                    "\xA6"
                                    "5\xA6"),
         true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TaskIdentities::identityKey(c.stored) == TaskIdentities::identityKey(c.now),
                  c.same)
            << c.stored.toStdString() << " / " << c.now.toStdString();

    // Identical records share out identical identities, one each.
    QTemporaryDir dir;
    TaskIdentities ids(dir.filePath(QStringLiteral("Tasklyn.IDS")));
    const QByteArray key = TaskIdentities::identityKey(record("A", "10:00", "4"));
    ids.put({placed("2@x", Place::Data, key), placed("1@x", Place::Data, key),
             placed("3@x", Place::Archive, key)});
    TaskIdentities::Claims claims(ids, Place::Data);
    EXPECT_EQ(claims.take(record("A", "10:00", "50")), QStringLiteral("1@x"));
    EXPECT_EQ(claims.take(record("A", "10:00", "90")), QStringLiteral("2@x"));
    EXPECT_EQ(claims.take(record("A", "10:00", "99")), QString());
}

TEST(TaskIdentities, shouldForgetTheServerButKeepEveryUidWhenTheCalendarChanges)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tasklyn.IDS"));
    TaskIdentities ids(path);
    ids.setCalendar(QStringLiteral("http://h/one/"));
    const QByteArray key = TaskIdentities::identityKey(record("A", "10:00", "4"));
    ids.put({{QStringLiteral("1@x"),
              Place::Data,
              key,
              {},
              QStringLiteral("/one/1.ics"),
              "\"e\"",
              key,
              "BEGIN:VTODO"}});
    ids.setSyncToken("t1");
    ids.setIgnored({{QStringLiteral("/one/ev.ics"), "\"v\""}}, {});
    ids.setCalendar(QStringLiteral("http://h/two/"));
    TaskIdentities loaded(path);
    loaded.load(true);
    ASSERT_TRUE(loaded.find(QStringLiteral("1@x")));
    const TaskIdentities::Identity &i = *loaded.find(QStringLiteral("1@x"));
    EXPECT_EQ(i.key, key);
    EXPECT_TRUE(i.href.isEmpty() && i.etag.isEmpty() && i.base.isEmpty());
    EXPECT_EQ(i.server, "BEGIN:VTODO"); // what a re-upload patches keeps its properties
    EXPECT_TRUE(loaded.syncToken().isEmpty());
    EXPECT_TRUE(loaded.ignored().isEmpty());
}

} // namespace
