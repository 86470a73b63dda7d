// The daily copies of the three files over the days of a faked clock: made before
// the first write of each day, the latest fourteen kept, a restore bringing back
// the exact bytes after keeping the state before it, a failure told once without
// stopping the write.
#include "tasks/DailyBackup.h"
#include "common/Fakes.h"
#include "common/TestFiles.h"
#include "store/DamagedFiles.h"
#include "store/FirstWriteOfDay.h"
#include "store/Settings.h"
#include "store/TaskDataFile.h"
#include "store/TaskIdentities.h"
#include "tasks/TaskList.h"

#include <QDir>
#include <QDirIterator>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QStringList Names = {QStringLiteral("Tasklyn.DAT"), QStringLiteral("Tasklyn.ARK"),
                           QStringLiteral("Tasklyn.INI")};
const QDate FirstDay(2026, 11, 20);

class DailyBackupTest : public ::testing::Test
{
protected:
    DailyBackupTest()
        : folder(dir.path() + QLatin1Char('/')), settings(folder + Names[2]),
          tasks(folder + Names[0], folder + Names[1], damaged), backups(folder, Names, clock)
    {
        // Wired as the program wires it.
        backups.watch(firstWrite);
        settings.file().setBeforeWrite([this] { firstWrite.beforeWrite(); });
        tasks.setFirstWriteOfDay(&firstWrite);
        TestFiles::writeAll(folder + Names[0], {});
        TestFiles::writeAll(folder + Names[2], "[Options]\r\nLanguage=English\r\n");
        tasks.load(AllItems);
    }

    // The three files' bytes ("missing" for one that is not there).
    QByteArrayList filesIn(const QString &where) const
    {
        QByteArrayList out;
        for (const QString &name : Names) {
            const QString path = where + QLatin1Char('/') + name;
            out << (QFile::exists(path) ? TestFiles::readAll(path) : QByteArray("missing"));
        }
        return out;
    }
    QByteArrayList current() const { return filesIn(dir.path()); }
    QString backupFolder(const QDate &day) const
    {
        return folder + QStringLiteral("backups/") + day.toString(QStringLiteral("yyyy-MM-dd"));
    }
    void setDay(int n) { clock.set(QDateTime(FirstDay.addDays(n), QTime(9, 0))); }

    // A day's work: tasks added, one archived, one deleted, a setting stored.
    void work(int day)
    {
        TaskRow row;
        row[Col::Task] = QStringLiteral("Task of day %1").arg(day);
        row[Col::Date] = QStringLiteral("01/12/2026");
        row[Col::Hour] = QStringLiteral("09:30");
        tasks.add(row);
        tasks.add(row);
        if (day % 3 == 0)
            tasks.archive(1, 1);
        if (day % 4 == 0)
            tasks.remove(1, 1);
        settings.setInteger(SettingKey::WindowWidth, 300 + day);
    }

    QTemporaryDir dir;
    QString folder;
    FakeClock clock;
    FirstWriteOfDay firstWrite{clock};
    DamagedFiles damaged;
    Settings settings;
    TaskList tasks;
    DailyBackup backups;
};

TEST_F(DailyBackupTest, shouldCopyTheFilesBeforeEachDaysFirstWriteAndKeepTheLatestFourteenDays)
{
    std::map<QDate, QByteArrayList> before;
    std::map<QDate, int> counts;
    for (int day = 0; day < 20; ++day) {
        setDay(day);
        const QDate today = clock.today();
        before[today] = current();
        counts[today] = tasks.table().taskCount();
        work(day);
        backups.finishPending();
        // The later writes of the day leave its copy as the first one made it.
        EXPECT_EQ(filesIn(backupFolder(today)), before[today]) << day;
    }
    // A second run on the same day keeps the day's first copy.
    DailyBackup secondRun(folder, Names, clock);
    FirstWriteOfDay secondRunsFirstWrite(clock);
    secondRun.watch(secondRunsFirstWrite);
    tasks.setFirstWriteOfDay(&secondRunsFirstWrite);
    work(20);
    secondRun.finishPending();
    EXPECT_EQ(filesIn(backupFolder(clock.today())), before[clock.today()]);

    const QStringList kept = QDir(folder + QStringLiteral("backups"))
                                 .entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    ASSERT_EQ(kept.size(), DailyBackup::DaysKept) << kept.join(' ').toStdString();
    const QList<DailyBackup::Backup> listed = backups.list();
    ASSERT_EQ(listed.size(), DailyBackup::DaysKept);
    for (int i = 0; i < DailyBackup::DaysKept; ++i) {
        const QDate day = FirstDay.addDays(19 - i); // newest first
        EXPECT_EQ(listed[i].date, day);
        EXPECT_EQ(listed[i].path, backupFolder(day));
        EXPECT_EQ(listed[i].tasks, counts[day]) << day.toString().toStdString();
        EXPECT_EQ(filesIn(listed[i].path), before[day]);
    }
}

// Every file and folder under from, copied under to: what a kill leaves behind.
void copyTree(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString copy = to + path.mid(from.size());
        if (it.fileInfo().isDir())
            QDir().mkpath(copy);
        else
            QFile::copy(path, copy);
    }
}

TEST_F(DailyBackupTest, shouldKeepTheDaysFirstStateThoughCommandsChangeTheFilesWhileTheCopyIsMade)
{
    setDay(0);
    for (int day = 0; day < 4; ++day)
        work(day);
    tasks.clearCategory(QStringLiteral("none")); // settles the day's copy
    backups.finishPending();

    // GIVEN the next day's copy held back until every command below is written
    setDay(1);
    QSemaphore release;
    backups.setCopyGate([&release] { release.acquire(); });
    const QByteArrayList before = current();
    // WHEN the day's commands overwrite records, in both files, while it waits
    TaskRow row;
    row[Col::Task] = QStringLiteral("Errand");
    row[Col::Category] = QStringLiteral("Home");
    for (int i = 0; i < 6; ++i)
        tasks.add(row);
    tasks.toggleDone(1);
    tasks.remove(2, 3);
    tasks.archive(1, 1);
    tasks.clearCategory(QStringLiteral("Home"));
    tasks.undo();
    tasks.undo();
    settings.setInteger(SettingKey::WindowWidth, 500);
    // ... and the program is killed there: the folder as it stands
    QTemporaryDir killed;
    copyTree(dir.path(), killed.path());
    release.release();
    backups.finishPending();

    // THEN the day's copy holds the files as they were before its first write
    ASSERT_NE(current(), before);
    EXPECT_EQ(filesIn(backupFolder(clock.today())), before);
    // ... and so does the copy that a start after the kill finishes from its journal
    const QString killedFolder = killed.path() + QLatin1Char('/');
    DailyBackup::recoverPendingCopies(killedFolder);
    EXPECT_EQ(filesIn(killedFolder + QStringLiteral("backups/") +
                      clock.today().toString(QStringLiteral("yyyy-MM-dd"))),
              before);
    EXPECT_EQ(QDir(killedFolder + QStringLiteral("backups"))
                  .entryList({QStringLiteral(".*partial")}, QDir::Dirs | QDir::Hidden),
              QStringList());
}

TEST_F(DailyBackupTest, shouldKeepTheStateBeforeEachRestoreInAFolderOfItsOwnAndOverwriteNone)
{
    for (int day = 0; day < 5; ++day) {
        setDay(day);
        work(day);
    }
    backups.finishPending();
    std::map<QDate, QByteArrayList> daily;
    for (int day = 0; day < 5; ++day)
        daily[FirstDay.addDays(day)] = filesIn(backupFolder(FirstDay.addDays(day)));
    const QByteArrayList beforeFirst = current();
    QString reason;
    ASSERT_EQ(backups.restore(backupFolder(FirstDay.addDays(2)), &reason),
              DailyBackup::Restored::Done);
    EXPECT_EQ(current(), daily[FirstDay.addDays(2)]);

    // A task added after the restore, then a second restore in the same second:
    // both states before the restores are kept.
    tasks.refresh();
    work(5);
    const QByteArrayList beforeSecond = current();
    ASSERT_EQ(backups.restore(backupFolder(FirstDay.addDays(1)), &reason),
              DailyBackup::Restored::Done);
    EXPECT_EQ(current(), daily[FirstDay.addDays(1)]);

    const QList<DailyBackup::Backup> listed = backups.list();
    ASSERT_EQ(listed.size(), 7);
    const QString stamp = clock.now().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    EXPECT_EQ(listed[0].kind, DailyBackup::Kind::BeforeRestore);
    EXPECT_EQ(listed[0].path, folder + "backups/" + stamp + "_before-restore-2");
    EXPECT_EQ(filesIn(listed[0].path), beforeSecond);
    EXPECT_EQ(listed[1].kind, DailyBackup::Kind::BeforeRestore);
    EXPECT_EQ(listed[1].path, folder + "backups/" + stamp + "_before-restore");
    EXPECT_EQ(filesIn(listed[1].path), beforeFirst);
    EXPECT_EQ(listed[1].date, clock.today());
    EXPECT_EQ(listed[1].time, QTime(9, 0));
    for (int i = 2; i < 7; ++i) {
        EXPECT_EQ(listed[i].kind, DailyBackup::Kind::Daily);
        EXPECT_EQ(listed[i].date, FirstDay.addDays(6 - i));
        // No daily copy was written over.
        EXPECT_EQ(filesIn(listed[i].path), daily[listed[i].date]);
    }
    // The counts a user chooses by: the live tasks of each file.
    TaskTable table;
    TaskDataFile(listed[0].path + "/Tasklyn.DAT", damaged).LoadTasks(table, AllItems);
    EXPECT_EQ(listed[0].tasks, table.taskCount());
    TaskDataFile(listed[0].path + "/Tasklyn.ARK", damaged).LoadTasks(table, AllItems);
    EXPECT_EQ(listed[0].archived, table.taskCount());
    EXPECT_GT(listed[0].archived, 0);

    // A state before a restore can be restored in its turn.
    ASSERT_EQ(backups.restore(listed[0].path, &reason), DailyBackup::Restored::Done);
    EXPECT_EQ(current(), beforeSecond);
}

TEST_F(DailyBackupTest, shouldMarkTheSideFileOfIdentitiesRestoredInTheRestoresOwnStep)
{
    // The side file is backed up with the others, and a restore marks it in the
    // same step: a kill right after the restore still tells the next sync to
    // delete nothing (it would otherwise delete again what the restore brought back).
    const QString idsName = QStringLiteral("Tasklyn.IDS");
    DailyBackup withIds(folder, Names + QStringList{idsName}, clock);
    withIds.markOnRestore(idsName, &TaskIdentities::markedRestored);
    withIds.watch(firstWrite);
    TaskIdentities identities(folder + idsName);
    identities.setBeforeWrite([this] { firstWrite.beforeWrite(); });
    const auto give = [&identities](const char *uid) {
        TaskIdentities::Identity i;
        i.uid = QString::fromLatin1(uid);
        i.key = uid;
        identities.put({i});
    };
    const auto afterAKill = [&] {
        TaskIdentities fresh(folder + idsName);
        fresh.load();
        return std::make_tuple(fresh.restored(), fresh.find("a") != nullptr,
                               fresh.find("b") != nullptr);
    };
    setDay(0);
    work(0);
    setDay(1);
    work(1); // the day's copy has no side file yet
    give("a");
    setDay(2);
    work(2); // this one has it, with "a"
    give("b");
    QString reason;
    ASSERT_EQ(withIds.restore(backupFolder(FirstDay.addDays(2)), &reason),
              DailyBackup::Restored::Done);
    EXPECT_EQ(afterAKill(), std::make_tuple(true, true, false));
    // A backup without the side file leaves the current one, marked too.
    identities.load();
    identities.setRestored(false);
    ASSERT_EQ(withIds.restore(backupFolder(FirstDay.addDays(1)), &reason),
              DailyBackup::Restored::Done);
    EXPECT_EQ(afterAKill(), std::make_tuple(true, true, false));
    EXPECT_TRUE(QFile::exists(backupFolder(FirstDay.addDays(2)) + QLatin1Char('/') + idsName));
}

TEST_F(DailyBackupTest, shouldRefuseToRestoreABackupThatHoldsNoTask)
{
    // A first run's copy: made before the first task was stored.
    const QString firstRun = backupFolder(FirstDay.addDays(-1));
    QDir().mkpath(firstRun);
    TestFiles::writeAll(firstRun + "/Tasklyn.INI", "[Options]\r\nLanguage=English\r\n");
    TestFiles::writeAll(firstRun + "/Tasklyn.DAT", {});
    setDay(0);
    work(0);
    const QByteArrayList now = current();
    QString reason;
    EXPECT_EQ(backups.restore(firstRun, &reason), DailyBackup::Restored::Empty);
    EXPECT_EQ(current(), now);
    EXPECT_EQ(backups.list().size(), 2); // no copy made for a restore that did not happen
}

TEST_F(DailyBackupTest, shouldTellAFailedBackupOnceAndStillWrite)
{
    // A file where the backups folder should be: no folder can be made in it.
    TestFiles::writeAll(folder + QStringLiteral("backups"), "in the way");
    QSignalSpy failures(&backups, &DailyBackup::failed);
    for (int day = 0; day < 3; ++day) {
        setDay(day);
        const QByteArray data = TestFiles::readAll(folder + Names[0]);
        work(day);
        EXPECT_GT(TestFiles::readAll(folder + Names[0]).size(), data.size());
    }
    ASSERT_EQ(failures.count(), 1);
    EXPECT_EQ(failures[0][0].toString(), QDir::toNativeSeparators(folder + "backups"));

    // Nor can the state before a restore be kept there: nothing is restored.
    QTemporaryDir elsewhere;
    TestFiles::writeAll(elsewhere.path() + "/Tasklyn.DAT",
                        TestFiles::record(TestFiles::fields({"", "kept elsewhere"})));
    const QByteArrayList now = current();
    QString reason;
    EXPECT_EQ(backups.restore(elsewhere.path(), &reason), DailyBackup::Restored::NotBackedUp);
    EXPECT_EQ(current(), now);
    EXPECT_EQ(QDir(folder).entryList({"*.pending", ".*journal*"}, QDir::Files | QDir::Hidden),
              QStringList());
}

} // namespace
