// The daily copies of the three files over the days of a faked clock: made before
// the first write of each day, the latest fourteen kept, a restore bringing back
// the exact bytes, a failure told once without stopping the write.
#include "tasks/DailyBackup.h"
#include "common/Fakes.h"
#include "common/TestFiles.h"
#include "store/DamagedFiles.h"
#include "store/Settings.h"
#include "store/TaskDataFile.h"
#include "tasks/TaskList.h"

#include <QDir>
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
        damaged.setBeforeWrite([this] { backups.beforeWrite(); });
        settings.file().setBeforeWrite([this] { backups.beforeWrite(); });
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
        // The later writes of the day leave its copy as the first one made it.
        EXPECT_EQ(filesIn(backupFolder(today)), before[today]) << day;
    }
    // A second run on the same day keeps the day's first copy.
    DailyBackup secondRun(folder, Names, clock);
    damaged.setBeforeWrite([&] { secondRun.beforeWrite(); });
    work(20);
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

TEST_F(DailyBackupTest, shouldRestoreTheExactBytesAfterCopyingTheCurrentStateIntoTodaysFolder)
{
    for (int day = 0; day < 5; ++day) {
        setDay(day);
        work(day);
    }
    const QByteArrayList twoDaysAgo = filesIn(backupFolder(FirstDay.addDays(2)));
    const QByteArrayList now = current();
    QString reason;
    ASSERT_TRUE(backups.restore(backupFolder(FirstDay.addDays(2)), &reason));
    EXPECT_EQ(current(), twoDaysAgo);
    EXPECT_EQ(filesIn(backupFolder(clock.today())), now);

    // Today's own copy can be restored too: it swaps with the current state.
    ASSERT_TRUE(backups.restore(backupFolder(clock.today()), &reason));
    EXPECT_EQ(current(), now);
    EXPECT_EQ(filesIn(backupFolder(clock.today())), twoDaysAgo);
    // Only the day folders are left.
    EXPECT_EQ(QDir(folder + QStringLiteral("backups"))
                  .entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)
                  .size(),
              5);
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
    QString reason;
    EXPECT_FALSE(backups.restore(folder + QStringLiteral("backups"), &reason));
}

} // namespace
