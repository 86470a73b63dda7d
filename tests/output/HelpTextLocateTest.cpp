#include "common/TestFiles.h"
#include "output/HelpText.h"
#include "platform/AppContext.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// An installed copy: the executable in one folder, its data in another, started
// from a third working directory, and the help text only in a system data folder.
class HelpTextLocateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(cwd.isValid() && bin.isValid() && data.isValid() && share.isValid());
        savedCwd = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(cwd.path()));
        ctx.programPath = bin.filePath("nudgery");
        ctx.programFolder = data.path() + '/';
    }
    void TearDown() override { QDir::setCurrent(savedCwd); }

    QTemporaryDir cwd, bin, data, share;
    QString savedCwd;
    AppContext ctx;
};

TEST_F(HelpTextLocateTest, shouldFindTheHelpInTheGivenDataFoldersLast)
{
    QDir(share.path()).mkpath("first");
    QDir(share.path()).mkpath("second");
    const QString first = share.filePath("first");
    const QString second = share.filePath("second");
    TestFiles::writeAll(second + "/Tasklyn.txt", "system copy\r\n");

    EXPECT_EQ(HelpText::locate(ctx, {first, second}), second + "/Tasklyn.txt");

    // Any of the earlier places still wins over a system copy.
    TestFiles::writeAll(bin.filePath("Tasklyn.txt"), "beside the executable\r\n");
    EXPECT_EQ(HelpText::locate(ctx, {first, second}), bin.filePath("Tasklyn.txt"));
}

TEST_F(HelpTextLocateTest, shouldFindNothingWhenNoFolderHoldsTheHelp)
{
    EXPECT_TRUE(HelpText::locate(ctx, {share.path()}).isEmpty());
    EXPECT_TRUE(HelpText::locate(ctx, {}).isEmpty());
}

TEST_F(HelpTextLocateTest, shouldFindAnInstalledCopyThroughTheXdgDataFolders)
{
    // <data dir>/Nudgery/Tasklyn.txt, as installed under /usr/share.
    ASSERT_TRUE(QDir(share.path()).mkpath("Nudgery"));
    TestFiles::writeAll(share.filePath("Nudgery/Tasklyn.txt"), "installed\r\n");

    const QByteArray savedDirs = qgetenv("XDG_DATA_DIRS");
    const QString savedName = QCoreApplication::applicationName();
    qputenv("XDG_DATA_DIRS", share.path().toLocal8Bit());
    QCoreApplication::setApplicationName(QStringLiteral("Nudgery"));
    const QString found = HelpText::locate(ctx);
    QCoreApplication::setApplicationName(savedName);
    if (savedDirs.isEmpty())
        qunsetenv("XDG_DATA_DIRS");
    else
        qputenv("XDG_DATA_DIRS", savedDirs);

    EXPECT_EQ(found, share.filePath("Nudgery/Tasklyn.txt"));
}

} // namespace
