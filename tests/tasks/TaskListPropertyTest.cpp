// Random command sequences through the task list: after every command the table
// must be what a fresh load and sort of the files gives, and every task must be
// in exactly one of the two files; undoing every change of a run (imports among
// them) gives back the files the run started with.
#include "common/TestFiles.h"
#include "store/DamagedFiles.h"
#include "store/Settings.h"
#include "store/TaskDataFile.h"
#include "store/TaskIdentities.h"
#include "store/TaskRecord.h"
#include "tasks/CategoryList.h"
#include "tasks/SortRows.h"
#include "tasks/TaskList.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

namespace {

const QStringList Categories = {QString(), QStringLiteral("Home"), QStringLiteral("Work"),
                                QStringLiteral("home")};
const int SortColumns[] = {0, Col::Task, Col::SortKey, Col::Hour, Col::Priority, Col::Category};

class TaskListProperty : public ::testing::Test
{
protected:
    TaskListProperty()
        : dataPath(dir.path() + QStringLiteral("/Tasklyn.DAT")),
          archivePath(dir.path() + QStringLiteral("/Tasklyn.ARK")),
          tasks(dataPath, archivePath, damaged),
          settings(dir.path() + QStringLiteral("/Tasklyn.INI"))
    {
        TestFiles::writeAll(dataPath, {});
        TestFiles::writeAll(settings.path(),
                            "[Category]\r\nCats=3\r\n1=Home\r\n2=Work\r\n3=home\r\n");
        tasks.setSettings(&settings);
        tasks.load(AllItems);
        // Each change recorded for undo keeps the tasks there were before it.
        QObject::connect(&tasks, &TaskList::undoChanged, [this] {
            if (!undoing)
                expectedBefore.push_back(beforeCommand);
        });
    }

    // Undo, and the tasks there should be go back to those before the change.
    void undoTracked()
    {
        undoing = true;
        tasks.undo();
        undoing = false;
        if (!expectedBefore.empty()) {
            expected = expectedBefore.back();
            expectedBefore.pop_back();
        }
    }

    int pick(int n) { return int(random.bounded(n)); }
    QString category() { return Categories[pick(Categories.size())]; }

    TaskRow newTask()
    {
        const int day = 1 + pick(28);
        const int hour = pick(24);
        const int minute = pick(4) * 15;
        const QString date = QStringLiteral("%1/12/2026").arg(day, 2, 10, QLatin1Char('0'));
        const QString time = QStringLiteral("%1:%2")
                                 .arg(hour, 2, 10, QLatin1Char('0'))
                                 .arg(minute, 2, 10, QLatin1Char('0'));
        TaskRow row;
        row[Col::Done] = pick(3) == 0 ? DoneMark : QString();
        // Few distinct texts, so that the sort meets many ties; the note makes each
        // task one of its own.
        row[Col::Task] = QStringLiteral("Task %1").arg(QChar('A' + pick(5)));
        row[Col::Date] = date;
        // An empty hour is stored as midnight by the exit's compaction.
        row[Col::Hour] = emptyHours && pick(4) == 0 ? QString() : time;
        row[Col::Priority] = pick(2) ? QString::number(1 + pick(5)) : QString();
        row[Col::SortKey] =
            QStringLiteral("2026-12-%1 %2").arg(day, 2, 10, QLatin1Char('0')).arg(time);
        row[Col::Category] = category();
        row[Col::TextColor] = QString::number(pick(19));
        row[Col::Note] = QStringLiteral("id %1\r\nsecond line").arg(++lastId);
        return row;
    }

    static QString identity(const TaskRow &row)
    {
        return row[Col::Note].section(QStringLiteral("\r\n"), 0, 0);
    }

    // Every task in a record file, by identity: how often it is there.
    std::map<QString, int> tasksIn(const QString &path)
    {
        TaskTable table;
        TaskDataFile(path, damaged).LoadTasks(table, AllItems);
        std::map<QString, int> found;
        if (!table.isEmpty())
            for (int r = 1; r < table.rowCount(); ++r)
                ++found[identity(table.row(r))];
        return found;
    }

    // A table row: (1 .. taskCount) or none when empty.
    int someRow()
    {
        const TaskTable &t = tasks.table();
        return t.isEmpty() ? 0 : 1 + pick(t.taskCount());
    }

    void runOneCommand(QString &what)
    {
        beforeCommand = expected;
        TaskTable &table = tasks.table();
        const int command = pick(13);
        const int row = someRow();
        if (command == 10) {
            // An import: a few tasks in one write and one undo step.
            what = QStringLiteral("import");
            std::vector<TaskRow> imported;
            for (int k = 1 + pick(4); k > 0; --k) {
                imported.push_back(newTask());
                expected[identity(imported.back())] = 1;
            }
            tasks.addAll(imported);
            for (const TaskRow &task : imported)
                giveIdentity(task);
        } else if (command <= 2) {
            what = QStringLiteral("add");
            const TaskRow task = newTask();
            if (pick(3) == 0)
                tasks.addTask(task); // as the sync adds one
            else
                tasks.add(task);
            expected[identity(task)] = 1;
            giveIdentity(task);
        } else if (command == 3 && row) {
            what = QStringLiteral("edit");
            TaskRow task = newTask();
            const QString id = identity(table.row(row));
            task[Col::Note] = id + QStringLiteral("\r\nedited");
            --lastId;
            tasks.replace(row, task);
        } else if (command == 4 && row) {
            what = QStringLiteral("tick");
            tasks.toggleDone(row);
        } else if (command == 5 && row) {
            what = QStringLiteral("delete");
            const int bottom = std::min(table.taskCount(), row + pick(2));
            for (int r = row; r <= bottom; ++r)
                expected.erase(identity(table.row(r)));
            tasks.remove(row, bottom);
        } else if (command == 6 && row) {
            what = QStringLiteral("archive");
            const int bottom = std::min(table.taskCount(), row + pick(2));
            tasks.archive(row, bottom);
        } else if (command == 7) {
            what = QStringLiteral("unarchive");
            TaskTable archived;
            const TaskDataFile archive(archivePath, damaged);
            archive.LoadTasks(archived, AllItems);
            if (archived.isEmpty()) {
                what = QStringLiteral("nothing");
                return;
            }
            const int r = 1 + pick(archived.taskCount());
            tasks.unarchive(TaskDataFile::orderOffset(archived.cell(Col::Order, r)));
        } else if (command == 11 || command == 12) {
            // As the sync changes tasks: by their records, the filter's hidden ones too.
            TaskTable stored;
            TaskDataFile(dataPath, damaged).LoadTasks(stored, AllItems);
            if (stored.isEmpty()) {
                what = QStringLiteral("nothing");
                return;
            }
            const int r = 1 + pick(stored.taskCount());
            const qint64 offset = stored.recordOffset(r);
            if (command == 11) {
                what = QStringLiteral("sync edit");
                TaskRow task = stored.row(r);
                if (pick(2)) {
                    task = newTask();
                    --lastId;
                }
                task[Col::Note] = identity(stored.row(r)) + QStringLiteral("\r\nfrom the server");
                task[Col::Done] = pick(2) ? DoneMark : QString();
                tasks.replaceRecord(offset, task);
            } else {
                what = QStringLiteral("sync delete");
                QList<qint64> offsets{offset};
                const int r2 = 1 + pick(stored.taskCount());
                if (r2 != r)
                    offsets.append(stored.recordOffset(r2));
                for (const qint64 o : offsets)
                    for (int k = 1; k <= stored.taskCount(); ++k)
                        if (stored.recordOffset(k) == o)
                            expected.erase(identity(stored.row(k)));
                tasks.removeRecords(offsets);
            }
        } else if (command == 8) {
            // As the category selector asks for it: a selection of what is loaded
            // unless the file changed.
            what = QStringLiteral("filter");
            tasks.show(pick(2) ? AllItems : category());
        } else {
            what = QStringLiteral("sort");
            // Often the column of the last sort: a second click turns its order round.
            const int column =
                pick(3) == 0 ? tasks.sortColumn() : SortColumns[pick(std::size(SortColumns))];
            if (pick(2))
                tasks.sortByCommand(column);
            else
                tasks.sortByHeader(column);
        }
    }

    // The table as a fresh load and sort of the files would give it: the same
    // rows, in the order of the sort state; once sorted or refreshed since the last
    // tick (which changes its row where it stands), in exactly that order, rows
    // that tie on the sort key included.
    void expectFreshLoadGivesTheTable(bool sortedSinceLastChange, const std::string &context)
    {
        TaskList fresh(dataPath, archivePath, damaged);
        fresh.load(tasks.filter());
        fresh.setSortState(tasks.sortColumn(), tasks.sortTag());
        fresh.applySort();
        const TaskTable &mine = tasks.table();
        const TaskTable &theirs = fresh.table();
        ASSERT_EQ(mine.rowCount(), theirs.rowCount()) << context;
        std::vector<TaskRow> a, b;
        for (int r = 1; r < mine.rowCount(); ++r) {
            a.push_back(mine.row(r));
            b.push_back(theirs.row(r));
        }
        if (sortedSinceLastChange && exact) {
            for (size_t i = 0; i < a.size(); ++i)
                ASSERT_EQ(a[i], b[i]) << context << ": row " << i + 1 << " of " << a.size();
            return;
        }
        std::vector<TaskRow> sa = a, sb = b;
        std::sort(sa.begin(), sa.end());
        std::sort(sb.begin(), sb.end());
        ASSERT_EQ(sa, sb) << context;
        if (!sortedSinceLastChange)
            return;
        const int column = tasks.sortColumn();
        const bool ascending = (tasks.sortTag() & 0xFF) != 1;
        for (size_t i = 0; i + 1 < a.size(); ++i) {
            const int c = CompareCellText(a[i][column], a[i + 1][column]);
            ASSERT_TRUE(ascending ? c <= 0 : c >= 0)
                << context << ": rows " << i + 1 << " and " << i + 2 << " out of order by column "
                << column;
        }
    }

    // What the last command leaves of the table's order: a tick changes its row
    // where it stands; every other change to the list, a sort or a filter puts
    // every row in its place, ties included.
    void noteOrder(const QString &what)
    {
        if (what == QLatin1String("tick"))
            sorted = exact = false;
        else if (what != QLatin1String("nothing") && what != QLatin1String("delete in archive") &&
                 what != QLatin1String("compact archive"))
            sorted = exact = true;
    }

    void expectEveryTaskOnceAcrossBothFiles(const std::string &context)
    {
        std::map<QString, int> all = tasksIn(dataPath);
        for (const auto &[id, count] : tasksIn(archivePath))
            all[id] += count;
        ASSERT_EQ(all, expected) << context;
    }

    QStringList storedNames() { return CategoryList(settings).names(); }

    // As the category dialog and the main window delete one: the first stored
    // name equal to it leaves the list, then its tasks lose it.
    void deleteCategory(QString &what)
    {
        beforeCommand = expected;
        const QStringList before = storedNames();
        if (before.isEmpty()) {
            what = QStringLiteral("nothing");
            return;
        }
        what = QStringLiteral("delete category");
        const QString name = before[pick(before.size())];
        CategoryList(settings).remove(name);
        tasks.clearCategory(name, int(before.indexOf(name)) + 1);
    }

    // The archive viewer: a task deleted for good, or the file rewritten compactly,
    // in another order, as it does when it closes.
    void archiveViewer(QString &what)
    {
        beforeCommand = expected;
        TaskTable archived;
        TaskDataFile(archivePath, damaged).LoadTasks(archived, AllItems);
        if (!archived.isEmpty() && pick(2)) {
            what = QStringLiteral("delete in archive");
            tasks.deleteArchived(TaskDataFile::orderOffset(
                archived.cell(Col::Order, 1 + pick(archived.taskCount()))));
            return;
        }
        what = QStringLiteral("compact archive");
        SortRows(archived, SortColumns[pick(std::size(SortColumns))], pick(2));
        tasks.saveArchive(archived);
    }

    // 0: undo, 1: a category delete, 2: the archive viewer (when asked for), else a
    // random command.
    void runCommandOrUndo(QString &what, int command, bool withArchiveViewer = true)
    {
        if (command == 0 && tasks.canUndo()) {
            what = QStringLiteral("undo");
            undoTracked();
        } else if (command == 1) {
            deleteCategory(what);
        } else if (command == 2 && withArchiveViewer) {
            archiveViewer(what);
        } else {
            runOneCommand(what);
        }
    }

    // A command of the task list, an undo or a category delete; with the archive
    // viewer's changes when asked for.
    void runAnyCommand(QString &what, bool withArchiveViewer)
    {
        runCommandOrUndo(what, pick(withArchiveViewer ? 12 : 14), withArchiveViewer);
    }

    // The tasks of a record file, the order field aside (it is the offset).
    std::vector<TaskRow> recordsIn(const QString &path)
    {
        TaskTable table;
        TaskDataFile(path, damaged).LoadTasks(table, AllItems);
        std::vector<TaskRow> rows;
        if (!table.isEmpty())
            for (int r = 1; r < table.rowCount(); ++r) {
                rows.push_back(table.row(r));
                rows.back()[Col::Order].clear();
            }
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    QTemporaryDir dir;
    DamagedFiles damaged;
    QString dataPath;
    QString archivePath;
    TaskList tasks;
    Settings settings;
    QRandomGenerator random;
    std::map<QString, int> expected; // every task there should be: once each
    std::map<QString, int> beforeCommand;
    std::vector<std::map<QString, int>> expectedBefore; // by undo step, the last on top
    bool undoing = false;
    int lastId = 0;
    bool sorted = true;
    bool exact = true; // in the fresh order, ties included
    bool emptyHours = false;
    // When set, every task added gets an identity, as a sync gives it one.
    TaskIdentities *identities = nullptr;

    static QString uidOf(const QString &id) { return id + QStringLiteral("@test"); }

    void giveIdentity(const TaskRow &task)
    {
        if (!identities)
            return;
        TaskIdentities::Identity given;
        given.uid = uidOf(identity(task));
        given.key = TaskIdentities::identityKey(TaskRecord::join(task));
        identities->put({given});
    }

    // Every record of both files is claimed by the identity its task was given.
    void expectEveryTaskKeepsItsIdentity(const TaskIdentities &ids, const std::string &context)
    {
        for (const auto place : {TaskIdentities::Place::Data, TaskIdentities::Place::Archive}) {
            const QString path = place == TaskIdentities::Place::Data ? dataPath : archivePath;
            TaskTable table;
            TaskDataFile(path, damaged).LoadTasks(table, AllItems);
            TaskIdentities::Claims claims(ids, place);
            for (int r = 1; r <= table.taskCount(); ++r)
                ASSERT_EQ(claims.take(table.recordText(r)), uidOf(identity(table.row(r))))
                    << context << " in " << path.toStdString();
        }
    }
};

TEST_F(TaskListProperty, shouldEqualAFreshLoadAndLoseNoTaskAfterEveryRandomCommand)
{
    for (quint32 seed = 1; seed <= 12; ++seed) {
        random.seed(seed);
        for (int step = 0; step < 120; ++step) {
            QString what;
            runAnyCommand(what, false);
            const std::string context =
                QStringLiteral("seed %1 step %2 (%3)").arg(seed).arg(step).arg(what).toStdString();
            noteOrder(what);
            expectFreshLoadGivesTheTable(sorted, context);
            expectEveryTaskOnceAcrossBothFiles(context);
            if (HasFatalFailure())
                return;
        }
    }
}

TEST_F(TaskListProperty, shouldGiveBackTheFilesTheRunStartedWithWhenEveryChangeIsUndone)
{
    for (quint32 seed = 1; seed <= 10; ++seed) {
        random.seed(seed);
        // An earlier run leaves tasks in both files, compacted at its exit.
        QString what;
        for (int step = 0; step < 40; ++step)
            runOneCommand(what);
        tasks.load(AllItems);
        tasks.save();
        tasks.forgetUndo();
        expectedBefore.clear();
        tasks.refresh();
        sorted = exact = true;
        const std::vector<TaskRow> data = recordsIn(dataPath);
        const std::vector<TaskRow> archive = recordsIn(archivePath);
        const QStringList names = storedNames();

        for (int step = 0; step < 100; ++step) {
            runAnyCommand(what, true);
            const std::string context =
                QStringLiteral("seed %1 step %2 (%3)").arg(seed).arg(step).arg(what).toStdString();
            noteOrder(what);
            expectFreshLoadGivesTheTable(sorted, context);
            if (HasFatalFailure())
                return;
        }
        int undos = 0;
        while (tasks.canUndo() && undos++ < 1000)
            undoTracked();
        const std::string context = QStringLiteral("seed %1").arg(seed).toStdString();
        ASSERT_FALSE(tasks.canUndo()) << context;
        ASSERT_EQ(recordsIn(dataPath), data) << context;
        ASSERT_EQ(recordsIn(archivePath), archive) << context;
        ASSERT_EQ(storedNames(), names) << context;
        expectFreshLoadGivesTheTable(true, context);
        if (HasFatalFailure())
            return;
    }
}

TEST_F(TaskListProperty, shouldKeepEveryTasksIdentityThroughChangesUndosCompactionsAndRestarts)
{
    const QString sidePath = dir.path() + QStringLiteral("/Tasklyn.IDS");
    auto side = std::make_unique<TaskIdentities>(sidePath);
    identities = side.get();
    tasks.setIdentities(identities);
    emptyHours = true;
    for (quint32 seed = 1; seed <= 8; ++seed) {
        random.seed(seed);
        for (int step = 0; step < 120; ++step) {
            QString what;
            const int command = pick(16);
            if (command == 3) {
                // The exit: every task, empty hours stored as midnight, the data
                // file rewritten; then a new run reads the side file afresh.
                what = QStringLiteral("exit and restart");
                tasks.load(AllItems);
                tasks.save();
                side = std::make_unique<TaskIdentities>(sidePath);
                side->load();
                identities = side.get();
                tasks.setIdentities(identities);
                tasks.forgetUndo();
                tasks.load(AllItems);
                tasks.applySort();
            } else {
                runCommandOrUndo(what, command);
            }
            const std::string context =
                QStringLiteral("seed %1 step %2 (%3)").arg(seed).arg(step).arg(what).toStdString();
            expectEveryTaskKeepsItsIdentity(*identities, context);
            if (HasFatalFailure())
                return;
        }
    }
    // What the file holds is what the run kept in memory.
    TaskIdentities reread(sidePath);
    reread.load(true);
    expectEveryTaskKeepsItsIdentity(reread, "read back");
}

} // namespace

// A category delete of many tasks, and its undo, which puts the names back into
// the loaded rows beside the file's write: the table is a fresh load's after
// each, and the undo gives the file back byte for byte.
TEST_F(TaskListProperty, shouldFollowALargeCategoryDeleteAndItsUndoAsAFreshLoadDoes)
{
    QByteArray file;
    for (int i = 0; i < 48000; ++i) {
        TaskRow row = newTask();
        row[Col::Order] = QString::number(file.size());
        const QByteArray text = TaskRecord::join(row);
        file += TaskRecord::lengthPrefix(text.size()) + text;
    }
    TestFiles::writeAll(dataPath, file);
    tasks.load(AllItems);
    tasks.setSortState(Col::Category, 0);
    tasks.applySort();
    ASSERT_GT(tasks.table().taskCount(), 40000);

    CategoryList(settings).remove(QStringLiteral("Home"));
    tasks.clearCategory(QStringLiteral("Home"), 1);
    ASSERT_NE(TestFiles::readAll(dataPath), file);
    expectFreshLoadGivesTheTable(true, "after the delete");

    tasks.undo();
    EXPECT_EQ(TestFiles::readAll(dataPath), file);
    EXPECT_EQ(storedNames().value(0), QStringLiteral("Home"));
    expectFreshLoadGivesTheTable(true, "after its undo");
}
