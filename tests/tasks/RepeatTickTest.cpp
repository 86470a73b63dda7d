// Ticking repeating tasks: the task moves to its next date and its done
// occurrence goes to the archive as one change. Random ticks, edits of the rule
// and undos (each undo giving back the files and rules as they were before)
// must leave the task file, the archive and the side file of identities as a
// fresh load finds them, and undoing every change gives back the tasks the run
// started with.
#include "common/TestFiles.h"
#include "store/Clock.h"
#include "store/DamagedFiles.h"
#include "store/DateFormat.h"
#include "store/TaskDataFile.h"
#include "store/TaskIdentities.h"
#include "store/TaskRecord.h"
#include "tasks/RepeatRule.h"
#include "tasks/TaskList.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>

namespace {

class FixedClock : public Clock
{
public:
    QDateTime now() const override { return at; }
    QDateTime at{QDate(2026, 12, 10), QTime(8, 0)};
};

using Unit = RepeatRule::Unit;

class RepeatTick : public ::testing::Test
{
protected:
    RepeatTick()
        : dataPath(dir.path() + QStringLiteral("/Tasklyn.DAT")),
          archivePath(dir.path() + QStringLiteral("/Tasklyn.ARK")),
          idsPath(dir.path() + QStringLiteral("/Tasklyn.IDS")),
          tasks(dataPath, archivePath, damaged), identities(idsPath)
    {
        TestFiles::writeAll(dataPath, {});
        identities.load();
        tasks.setIdentities(&identities);
        tasks.setRepeats(&clock, &dates, {});
        tasks.load(AllItems);
    }

    int pick(int n) { return int(random.bounded(n)); }

    TaskRow task(const QString &name, const QDate &date, const QString &hour)
    {
        TaskRow row;
        row[Col::Task] = name;
        row[Col::Date] = dates.shortDate(date);
        row[Col::Hour] = hour;
        row[Col::SortKey] = date.toString(QStringLiteral("yyyy-MM-dd ")) + hour;
        row[Col::TextColor] = QStringLiteral("18");
        return row;
    }

    // Adds the task with the rule, as the editor does: the record, then its rule.
    void addRepeating(const TaskRow &row, const RepeatRule &rule)
    {
        const QByteArray text = tasks.addTask(row);
        identities.setRule(TaskIdentities::Place::Data, text, rule.stored());
    }

    int rowOf(const QString &name) const
    {
        const TaskTable &t = tasks.table();
        for (int r = 1; !t.isEmpty() && r < t.rowCount(); ++r)
            if (t.cell(Col::Task, r) == name)
                return r;
        return 0;
    }

    // Each record file's live tasks (without order) as a multiset, with the rule
    // the side file gives each, as a fresh load of all three files finds them.
    using Found = std::map<QByteArray, int>;
    static Found inFile(const QString &path, const TaskIdentities *ids, TaskIdentities::Place place)
    {
        DamagedFiles d;
        TaskTable table;
        TaskDataFile(path, d).LoadTasks(table, AllItems);
        Found found;
        for (int r = 1; !table.isEmpty() && r < table.rowCount(); ++r) {
            const QByteArray text = table.recordText(r);
            QByteArray key = TaskIdentities::identityKey(text);
            if (ids)
                key += " rule:" + ids->ruleOf(place, text);
            ++found[key];
        }
        return found;
    }

    Found shownNow()
    {
        Found found;
        const TaskTable &t = tasks.table();
        for (int r = 1; !t.isEmpty() && r < t.rowCount(); ++r) {
            const QByteArray text = t.recordText(r);
            ++found[TaskIdentities::identityKey(text) +
                    " rule:" + identities.ruleOf(TaskIdentities::Place::Data, text)];
        }
        return found;
    }

    void expectAsAFreshLoadFindsThem(const QString &after)
    {
        SCOPED_TRACE(after.toStdString());
        TaskIdentities fresh(idsPath);
        fresh.load(true);
        const Found data = inFile(dataPath, &fresh, TaskIdentities::Place::Data);
        EXPECT_EQ(data, inFile(dataPath, &identities, TaskIdentities::Place::Data));
        EXPECT_EQ(data, shownNow());
        EXPECT_EQ(inFile(archivePath, &fresh, TaskIdentities::Place::Archive),
                  inFile(archivePath, &identities, TaskIdentities::Place::Archive));
    }

    QTemporaryDir dir;
    QString dataPath, archivePath, idsPath;
    DamagedFiles damaged;
    FixedClock clock;
    DateFormat dates;
    TaskList tasks;
    TaskIdentities identities;
    QRandomGenerator random{20261210};
};

TEST_F(RepeatTick, shouldMoveTheTaskToItsNextDateAndArchiveTheOccurrenceAsOneUndoStep)
{
    // A weekly task ticked on its day; the hour stays.
    const QDate thursday(2026, 12, 10);
    addRepeating(task(QStringLiteral("Bins out"), thursday, QStringLiteral("07:45")),
                 RepeatRule::every(Unit::Week, 1, thursday));
    addRepeating(task(QStringLiteral("Plain"), thursday, QStringLiteral("09:00")), {});
    const Found before = inFile(dataPath, &identities, TaskIdentities::Place::Data);

    EXPECT_FALSE(tasks.toggleDone(rowOf(QStringLiteral("Bins out"))));
    const int row = rowOf(QStringLiteral("Bins out"));
    EXPECT_EQ(tasks.table().cell(Col::Done, row).trimmed(), QString());
    EXPECT_EQ(tasks.table().cell(Col::Date, row), QStringLiteral("17/12/2026"));
    EXPECT_EQ(tasks.table().cell(Col::SortKey, row), QStringLiteral("2026-12-17 07:45"));
    EXPECT_EQ(tasks.table().cell(Col::Hour, row), QStringLiteral("07:45"));
    // The rule went with the task; the done occurrence is in the archive.
    EXPECT_EQ(tasks.repeatRule(row), RepeatRule::every(Unit::Week, 1, thursday));
    TaskTable archived;
    TaskDataFile(archivePath, damaged).LoadTasks(archived, AllItems);
    ASSERT_EQ(archived.taskCount(), 1);
    EXPECT_EQ(archived.cell(Col::Done, 1), DoneMark);
    EXPECT_EQ(archived.cell(Col::Date, 1), QStringLiteral("10/12/2026"));
    expectAsAFreshLoadFindsThem(QStringLiteral("the tick"));

    // One undo takes back both halves.
    EXPECT_EQ(tasks.nextUndo(), UndoKind::Tick);
    tasks.undo();
    EXPECT_EQ(inFile(dataPath, &identities, TaskIdentities::Place::Data), before);
    EXPECT_TRUE(inFile(archivePath, nullptr, TaskIdentities::Place::Archive).empty());
    expectAsAFreshLoadFindsThem(QStringLiteral("the undo"));

    // A plain task ticks as ever.
    EXPECT_TRUE(tasks.toggleDone(rowOf(QStringLiteral("Plain"))));
}

TEST_F(RepeatTick, shouldKeepTheHourOnTheDayTheClocksGoForward)
{
    // 01:30 does not exist in Lisbon on 28 March 2027: the task stays at 01:30.
    const QByteArray oldTz = qgetenv("TZ");
    qputenv("TZ", "Europe/Lisbon");
    const QDate before(2027, 3, 27);
    clock.at = QDateTime(before, QTime(1, 0));
    addRepeating(task(QStringLiteral("Night"), before, QStringLiteral("01:30")),
                 RepeatRule::every(Unit::Day, 1, before));
    tasks.toggleDone(rowOf(QStringLiteral("Night")));
    EXPECT_EQ(tasks.table().cell(Col::SortKey, rowOf(QStringLiteral("Night"))),
              QStringLiteral("2027-03-28 01:30"));
    if (oldTz.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", oldTz);
}

TEST_F(RepeatTick, shouldTickABadRuleAsAPlainTaskAndSayWhy)
{
    const QDate day(2026, 12, 10);
    const QByteArray text = tasks.addTask(task(QStringLiteral("Often"), day, "10:00"));
    identities.setRule(TaskIdentities::Place::Data, text, "FREQ=SECONDLY");
    QStringList told;
    QObject::connect(&tasks, &TaskList::notRepeating,
                     [&told](const QString &name, const QString &why) { told << name + why; });
    EXPECT_TRUE(tasks.toggleDone(rowOf(QStringLiteral("Often"))));
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].startsWith(QStringLiteral("Often")));
    EXPECT_TRUE(inFile(archivePath, nullptr, TaskIdentities::Place::Archive).empty());
}

TEST_F(RepeatTick, shouldLeaveEveryFileAsAFreshLoadFindsItThroughRandomTicksEditsAndUndos)
{
    const QList<RepeatRule> rules = {
        RepeatRule(),
        RepeatRule::every(Unit::Day, 1, QDate(2026, 12, 1)),
        RepeatRule::every(Unit::Day, 3, QDate(2026, 12, 1)),
        RepeatRule::every(Unit::Weekday, 1, QDate(2026, 12, 1)),
        RepeatRule::every(Unit::Week, 2, QDate(2026, 12, 1)),
        RepeatRule::every(Unit::Month, 1, QDate(2026, 1, 31)),
        RepeatRule::every(Unit::Year, 1, QDate(2028, 2, 29)),
    };
    for (int k = 0; k < 8; ++k) {
        const QDate date = QDate(2026, 12, 1).addDays(pick(20));
        const RepeatRule rule = rules[pick(rules.size())].onDate(date);
        addRepeating(task(QStringLiteral("Task %1").arg(k), date,
                          QStringLiteral("%1:15").arg(pick(24), 2, 10, QLatin1Char('0'))),
                     rule);
    }
    tasks.forgetUndo();
    const Found start = inFile(dataPath, &identities, TaskIdentities::Place::Data);
    // Before each change: both files as a fresh load finds them, rules included.
    std::vector<std::pair<Found, Found>> before;
    const auto both = [this] {
        return std::make_pair(inFile(dataPath, &identities, TaskIdentities::Place::Data),
                              inFile(archivePath, &identities, TaskIdentities::Place::Archive));
    };
    for (int step = 0; step < 300; ++step) {
        QString what;
        const int command = pick(8);
        const int row = 1 + pick(tasks.table().taskCount());
        if (command <= 2) {
            what = QStringLiteral("tick %1").arg(tasks.table().cell(Col::Task, row));
            before.push_back(both());
            tasks.toggleDone(row);
        } else if (command == 3) {
            // An edit that may change the rule, the note, or neither.
            TaskRow edited = tasks.table().row(row);
            const RepeatRule rule = rules[pick(rules.size())].onDate(*tasks.taskDate(edited));
            if (pick(2))
                edited[Col::Note] += QStringLiteral("!");
            what = QStringLiteral("edit %1 to %2").arg(edited[Col::Task], rule.stored());
            before.push_back(both());
            tasks.replace(row, edited, rule.stored());
        } else if (command == 4 && tasks.canUndo()) {
            what = QStringLiteral("undo");
            tasks.undo();
            EXPECT_TRUE(both() == before.back()) << "the files and rules differ from before";
            before.pop_back();
        } else if (command == 5) {
            what = QStringLiteral("a day later");
            clock.at = clock.at.addDays(1 + pick(3));
        } else {
            what = QStringLiteral("refresh");
            tasks.refresh();
        }
        expectAsAFreshLoadFindsThem(QStringLiteral("step %1: %2").arg(step).arg(what));
        if (HasFailure())
            return;
    }
    while (tasks.canUndo()) {
        tasks.undo();
        before.pop_back();
    }
    EXPECT_TRUE(before.empty());
    EXPECT_EQ(inFile(dataPath, &identities, TaskIdentities::Place::Data), start);
    EXPECT_TRUE(inFile(archivePath, nullptr, TaskIdentities::Place::Archive).empty());
    expectAsAFreshLoadFindsThem(QStringLiteral("every change undone"));
}

} // namespace
