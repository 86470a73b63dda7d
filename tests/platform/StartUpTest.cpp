#include "common/Fakes.h"
#include "common/TestFiles.h"
#include "mainwindow/WeekendStop.h"
#include "platform/AppIcon.h"
#include "platform/ProgramFolder.h"
#include "platform/QtMessageService.h"
#include "store/Settings.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv
{
public:
    ScopedEnv(const char *name, const QByteArray &value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name))
    {
        m_old = qgetenv(name);
        qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

// --- the "/ar" switch --------------------------------------------------------------

TEST(AutoRunSwitch, IsTheFirstArgumentsFirstThreeLettersInAnyCase)
{
    EXPECT_TRUE(autoRunSwitch({"/ar"}));
    EXPECT_TRUE(autoRunSwitch({"/AR"}));
    EXPECT_TRUE(autoRunSwitch({"/aR"}));
    EXPECT_TRUE(autoRunSwitch({"/arx"}));
    EXPECT_TRUE(autoRunSwitch({"/Archive", "more"}));
}

TEST(AutoRunSwitch, IsOffWithoutArgumentsOrWithAnyOtherFirstArgument)
{
    EXPECT_FALSE(autoRunSwitch({}));
    EXPECT_FALSE(autoRunSwitch({"/a"}));
    EXPECT_FALSE(autoRunSwitch({"ar"}));
    EXPECT_FALSE(autoRunSwitch({" /ar"}));
    EXPECT_FALSE(autoRunSwitch({"-ar"}));
    EXPECT_FALSE(autoRunSwitch({"x", "/ar"}));
}

// --- the program folder ------------------------------------------------------------

TEST(ProgramFolder, NudgeryHomeIsUsedMadeAbsoluteCreatedAndEndsWithASlash)
{
    QTemporaryDir base;
    ASSERT_TRUE(base.isValid());
    const QString cwd = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(base.path()));
    const QString folder = [] {
        ScopedEnv home("NUDGERY_HOME", "new/sub");
        return programFolder(QStringLiteral("/usr/bin"));
    }();
    QDir::setCurrent(cwd);

    const QString expected = QDir(base.path()).canonicalPath() + QStringLiteral("/new/sub/");
    EXPECT_EQ(QFileInfo(folder).canonicalFilePath() + '/', expected);
    EXPECT_TRUE(QDir::isAbsolutePath(folder));
    EXPECT_TRUE(folder.endsWith('/'));
    EXPECT_FALSE(folder.endsWith("//"));
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST(ProgramFolder, NudgeryHomeWithATrailingSlashKeepsOnlyOne)
{
    QTemporaryDir base;
    ScopedEnv home("NUDGERY_HOME", (base.path() + "/").toLocal8Bit());
    EXPECT_EQ(programFolder(QStringLiteral("/usr/bin")), base.path() + '/');
}

TEST(ProgramFolder, WritableExecutableFolderIsUsedAndTheProbeLeavesNothing)
{
    QTemporaryDir exe;
    ScopedEnv home("NUDGERY_HOME", "");
    EXPECT_EQ(programFolder(exe.path()), exe.path() + '/');
    EXPECT_TRUE(QDir(exe.path())
                    .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                    .isEmpty());
}

TEST(ProgramFolder, UnwritableExecutableFolderFallsBackToTheUsersDataFolder)
{
    QTemporaryDir data;
    ScopedEnv home("NUDGERY_HOME", "");
    ScopedEnv xdgData("XDG_DATA_HOME", data.path().toLocal8Bit());
    const QString expected =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + '/';
    ASSERT_TRUE(expected.startsWith(data.path()));

    const QString folder = programFolder(QStringLiteral("/nonexistent/nudgery/bin"));
    EXPECT_EQ(folder, expected);
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST(ProgramFolder, InstalledCopyUsesTheDataFolderEvenWhenItsFolderIsWritable)
{
    // As root /usr/bin can be written to: the folder alone must decide.
    QTemporaryDir data;
    ScopedEnv home("NUDGERY_HOME", "");
    ScopedEnv xdgData("XDG_DATA_HOME", data.path().toLocal8Bit());
    const QString expected =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + '/';
    ASSERT_TRUE(expected.startsWith(data.path()));

    for (const char *bin : {"/usr/bin", "/usr/local/bin", "/bin", "/usr/bin/"})
        EXPECT_EQ(programFolder(QString::fromLatin1(bin)), expected) << bin;
    EXPECT_EQ(programFolder(QStringLiteral(NUDGERY_TEST_INSTALL_BINDIR)), expected);
}

TEST(ProgramFolder, SystemFoldersAreThePrefixesBinFolderAndTheSystemTree)
{
    EXPECT_TRUE(isSystemFolder(QStringLiteral("/usr/bin")));
    EXPECT_TRUE(isSystemFolder(QStringLiteral("/usr/local/bin")));
    EXPECT_TRUE(isSystemFolder(QStringLiteral("/usr/games")));
    EXPECT_TRUE(isSystemFolder(QStringLiteral("/usr/lib/nudgery")));
    EXPECT_TRUE(isSystemFolder(QStringLiteral("/usr/bin/../local/bin")));
    EXPECT_TRUE(isSystemFolder(QStringLiteral("/sbin")));
    EXPECT_TRUE(isSystemFolder(QStringLiteral(NUDGERY_TEST_INSTALL_BINDIR)));

    EXPECT_FALSE(isSystemFolder(QString()));
    EXPECT_FALSE(isSystemFolder(QStringLiteral("/usrx/bin")));
    EXPECT_FALSE(isSystemFolder(QStringLiteral("/binaries")));
    EXPECT_FALSE(isSystemFolder(QStringLiteral("/home/someone/Nudgery")));
    EXPECT_FALSE(isSystemFolder(QStringLiteral("/media/stick/Nudgery")));
}

TEST(ProgramFolder, PortableCopiesAndTheBuildFolderKeepTheirFilesBesideThemselves)
{
    ScopedEnv home("NUDGERY_HOME", "");
    // This test program lives in the build folder, as `make run`'s copy does.
    const QString build = QCoreApplication::applicationDirPath();
    EXPECT_FALSE(isSystemFolder(build));
    EXPECT_EQ(programFolder(build), build + '/');

    QTemporaryDir copy;
    EXPECT_FALSE(isSystemFolder(copy.path()));
    EXPECT_EQ(programFolder(copy.path()), copy.path() + '/');
}

// --- the weekend stop --------------------------------------------------------------

class WeekendStopTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    Settings settingsWith(const QByteArray &ini)
    {
        const QString path = m_dir.filePath(QStringLiteral("Tasklyn.INI"));
        if (!ini.isNull())
            TestFiles::writeAll(path, ini);
        return Settings(path);
    }
    QTemporaryDir m_dir;
};

const QDate Friday(2026, 12, 11);
const QDate Saturday(2026, 12, 12);
const QDate Sunday(2026, 12, 13);
const QDate Monday(2026, 12, 14);

TEST_F(WeekendStopTest, AppliesOnlyWithTheKeyOnAnAutomaticStartAndAWeekendDay)
{
    const Settings on = settingsWith("[Preferences]\r\nWeekendStop=1\r\n");
    EXPECT_TRUE(weekendStopApplies(on, true, Saturday));
    EXPECT_TRUE(weekendStopApplies(on, true, Sunday));
    EXPECT_FALSE(weekendStopApplies(on, true, Friday));
    EXPECT_FALSE(weekendStopApplies(on, true, Monday));
    EXPECT_FALSE(weekendStopApplies(on, false, Saturday));
    EXPECT_FALSE(weekendStopApplies(on, false, Sunday));
}

TEST_F(WeekendStopTest, IsOffWhenTheKeyIsOffOrMissing)
{
    EXPECT_FALSE(
        weekendStopApplies(settingsWith("[Preferences]\r\nWeekendStop=0\r\n"), true, Saturday));
    EXPECT_FALSE(weekendStopApplies(settingsWith("[Preferences]\r\nAlert=1\r\n"), true, Sunday));
    EXPECT_FALSE(weekendStopApplies(settingsWith(QByteArray()), true, Saturday));
}

TEST_F(WeekendStopTest, KeyNamesMatchWithoutRegardToCase)
{
    EXPECT_TRUE(
        weekendStopApplies(settingsWith("[preferences]\r\nweekendstop=1\r\n"), true, Sunday));
}

TEST(WeekendBox, ShowsTheExactCaptionAndTextWithOneOkButton)
{
    FakeMessageService messages;
    showWeekendBox(messages);
    ASSERT_EQ(messages.shown.size(), 1);
    const MessageRequest &box = messages.shown.first();
    EXPECT_EQ(box.caption, "Nudgery  [ dialog closes in 5 sec ]");
    EXPECT_EQ(box.text, "      Nudgery is set to *not* auto-run on weekends!!\r\r"
                        "      You can always run it yourself now, from it's own\r"
                        "      folder or some other existing link.");
    EXPECT_EQ(box.buttons, MsgButtons::Ok);
    EXPECT_EQ(box.icon, MsgIcon::None);
}

TEST(WeekendBox, ClosesByItselfWhenNobodyAnswers)
{
    QtMessageService messages;
    // Should the box stay up, this closes it later so the test fails instead of hanging.
    QObject rescue;
    QTimer::singleShot(8000, &rescue, [] {
        if (QWidget *box = QApplication::activeModalWidget())
            box->close();
    });
    QElapsedTimer clock;
    clock.start();
    showWeekendBox(messages, 300);
    EXPECT_GE(clock.elapsed(), 250);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace

namespace {

TEST(AppIcon, HasEveryTraySizeDrawnWithSomethingOnIt)
{
    const QIcon icon = appIcon();
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        ASSERT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
        const QImage image = icon.pixmap(size, size).toImage();
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                opaque += qAlpha(image.pixel(x, y)) == 255;
        EXPECT_GT(opaque, size * size / 4) << size;
        EXPECT_EQ(qAlpha(image.pixel(size - 1, 0)), 0) << size; // the corner stays clear
    }
}

} // namespace
