// The table of what a sync does with one task, from where it stands here and on
// the server since both were last in step.
#include "sync/SyncDecision.h"
#include "store/DateFormat.h"
#include "store/TaskTable.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using SyncDecision::Here;
using SyncDecision::There;

TaskRow task(const char *text)
{
    TaskRow row;
    row[Col::Done] = QStringLiteral(" ");
    row[Col::Task] = QString::fromUtf8(text);
    row[Col::Date] = QStringLiteral("24/12/2026");
    row[Col::Hour] = QStringLiteral("10:00");
    row[Col::Priority] = QStringLiteral("1");
    row[Col::SortKey] = QStringLiteral("2026-12-24 10:00");
    row[Col::Category] = QStringLiteral("Home");
    row[Col::TextColor] = QStringLiteral("18");
    row[Col::Note] = QStringLiteral("note");
    return row;
}

TaskRow with(TaskRow row, int col, const QString &value)
{
    row[size_t(col)] = value;
    return row;
}

const TaskRow Base = task("T");
const TaskRow Ticked = with(Base, Col::Done, DoneMark);

// A row in few words: its text, then the cells that differ from Base.
std::string describe(const TaskRow &row)
{
    std::string out = row[Col::Task].toStdString();
    for (int c : {int(Col::Done), int(Col::Date), int(Col::Hour), int(Col::Priority),
                  int(Col::Category), int(Col::Note)})
        if (row[size_t(c)] != Base[size_t(c)])
            out += "," + std::to_string(c) + "=" +
                   (c == Col::Done ? std::string(row[Col::Done] == DoneMark ? "x" : "o")
                                   : row[size_t(c)].toStdString());
    return out;
}

std::string describe(const SyncDecision::Outcome &o)
{
    std::string out;
    const auto add = [&out](const std::string &part) { out += (out.empty() ? "" : " ") + part; };
    if (o.local)
        add("here:" + describe(*o.local));
    if (o.removeLocal)
        add("remove-here");
    if (o.remote)
        add(std::string(o.createRemote ? "create:" : "there:") + describe(*o.remote));
    if (o.deleteRemote)
        add("delete-there");
    if (o.forget)
        add("forget");
    if (o.conflictCopy)
        add("copy:" + describe(*o.conflictCopy));
    if (o.merged)
        add("merged");
    return out.empty() ? "nothing" : out;
}

struct Case
{
    const char *name;
    std::optional<TaskRow> base;
    Here here;
    TaskRow local;
    There there;
    TaskRow remote;
    bool restored;
    const char *expected;
};

TEST(SyncDecision, shouldLoseNoChangeOfEitherSide)
{
    const DateFormat dates(QStringLiteral("dd/MM/yyyy"));
    const QDate today(2026, 12, 10);
    const Case cases[] = {
        {"in step", Base, Here::Live, Base, There::Same, Base, false, "nothing"},
        {"changed here", Base, Here::Live, task("L"), There::Same, Base, false, "there:L"},
        {"changed there", Base, Here::Live, Base, There::Changed, task("R"), false, "here:R"},
        {"same change on both sides", Base, Here::Live, task("X"), There::Changed, task("X"), false,
         "nothing"},
        {"other fields on each side: merged", Base, Here::Live, task("L"), There::Changed, Ticked,
         false, "here:L,0=x there:L,0=x merged"},
        {"priority here, category there", Base, Here::Live, with(Base, Col::Priority, "3"),
         There::Changed, with(Base, Col::Category, "Work"), false,
         "here:T,4=3,7=Work there:T,4=3,7=Work merged"},
        {"one field on both sides: the server's, and a copy", Base, Here::Live, task("L"),
         There::Changed, task("R"), false, "here:R copy:L"},
        {"conflict on one field, merge of another", Base, Here::Live,
         with(task("L"), Col::Note, "mine"), There::Changed, with(Ticked, Col::Task, "R"), false,
         "here:R,0=x,9=mine there:R,0=x,9=mine copy:L,9=mine merged"},
        {"deleted there, unchanged here",
         Base,
         Here::Live,
         Base,
         There::Gone,
         {},
         false,
         "remove-here forget"},
        {"deleted there, changed here: the change wins",
         Base,
         Here::Live,
         task("L"),
         There::Gone,
         {},
         false,
         "create:L"},
        {"deleted there after a restore: kept",
         Base,
         Here::Live,
         Base,
         There::Gone,
         {},
         true,
         "create:T"},
        {"never sent", std::nullopt, Here::Live, task("N"), There::Unknown, {}, false, "create:N"},
        {"first sync, same on both sides", std::nullopt, Here::Live, Base, There::Changed, Base,
         false, "nothing"},
        {"first sync, different", std::nullopt, Here::Live, task("L"), There::Changed, task("R"),
         false, "here:R copy:L"},
        {"an empty hour is midnight", with(Base, Col::Hour, "00:00"), Here::Live,
         with(Base, Col::Hour, ""), There::Same, with(Base, Col::Hour, "00:00"), false, "nothing"},
        {"a date written otherwise is the same date", Base, Here::Live,
         with(Base, Col::Date, "24/12/26"), There::Same, Base, false, "nothing"},
        {"archived: taken off the server",
         Base,
         Here::Archived,
         {},
         There::Same,
         Base,
         false,
         "delete-there"},
        {"archived, changed there: back here",
         Base,
         Here::Archived,
         {},
         There::Changed,
         task("R"),
         false,
         "here:R"},
        {"archived, deleted there", Base, Here::Archived, {}, There::Gone, {}, false, "nothing"},
        {"deleted here", Base, Here::Gone, {}, There::Same, Base, false, "delete-there forget"},
        {"deleted here, changed there: the change wins",
         Base,
         Here::Gone,
         {},
         There::Changed,
         task("R"),
         false,
         "here:R"},
        {"deleted here after a restore: fetched again",
         Base,
         Here::Gone,
         {},
         There::Same,
         Base,
         true,
         "here:T"},
        {"a download cut short: fetched again",
         std::nullopt,
         Here::Gone,
         {},
         There::Same,
         Base,
         false,
         "here:T"},
        {"deleted on both sides", Base, Here::Gone, {}, There::Gone, {}, false, "forget"},
    };
    for (const Case &c : cases) {
        SyncDecision::Case in;
        in.base = c.base;
        in.here = c.here;
        in.local = c.local;
        in.there = c.there;
        in.remote = c.remote;
        in.restored = c.restored;
        EXPECT_EQ(describe(SyncDecision::decide(in, dates, today)), c.expected) << c.name;
    }
}

} // namespace
