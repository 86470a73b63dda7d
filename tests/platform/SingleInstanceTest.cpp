#include "platform/SingleInstance.h"
#include "common/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class SingleInstanceTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_runtime.isValid());
        ASSERT_TRUE(m_otherRuntime.isValid());
        m_hadRuntime = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
        m_oldRuntime = qgetenv("XDG_RUNTIME_DIR");
        useRuntime(m_runtime);
    }
    void TearDown() override
    {
        if (m_hadRuntime)
            qputenv("XDG_RUNTIME_DIR", m_oldRuntime);
        else
            qunsetenv("XDG_RUNTIME_DIR");
    }
    static void useRuntime(const QTemporaryDir &dir)
    {
        qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit());
    }
    static QStringList entries(const QString &dir)
    {
        return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                   QDir::NoDotAndDotDot);
    }

    QTemporaryDir m_folder; // the program folder
    QTemporaryDir m_runtime;
    QTemporaryDir m_otherRuntime;
    bool m_hadRuntime = false;
    QByteArray m_oldRuntime;
};

TEST_F(SingleInstanceTest, shouldRefuseASecondCopyOnTheSameFilesWhateverItsRuntimeFolder)
{
    SingleInstance first(m_folder.path());
    ASSERT_TRUE(first.tryAcquire());
    EXPECT_EQ(first.lockFilePath(), m_folder.path() + "/Tasklyn.lock");

    SingleInstance second(m_folder.path());
    EXPECT_FALSE(second.tryAcquire());
    // A copy started from another session's terminal.
    useRuntime(m_otherRuntime);
    SingleInstance elsewhere(m_folder.path());
    EXPECT_FALSE(elsewhere.tryAcquire());

    // A copy on other files is another program.
    QTemporaryDir otherFolder;
    SingleInstance onOtherFiles(otherFolder.path());
    EXPECT_TRUE(onOtherFiles.tryAcquire());
}

TEST_F(SingleInstanceTest, shouldNeverBeBlockedByWhatAKilledCopyLeft)
{
    // A lock file as any earlier copy leaves it, and the socket's file of a dead one.
    TestFiles::writeAll(m_folder.path() + "/Tasklyn.lock", "");
    TestFiles::writeAll(SingleInstance(m_folder.path()).serverName(), "");

    // A copy that holds the lock and is then killed outright.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SingleInstance held(m_folder.path());
        const char byte = held.tryAcquire() ? '1' : '0';
        [[maybe_unused]] const ssize_t n = ::write(ready[1], &byte, 1);
        ::pause();
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    ::close(ready[1]);
    ASSERT_EQ(byte, '1');
    EXPECT_FALSE(SingleInstance(m_folder.path()).tryAcquire()) << "the live copy was not seen";
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);

    SingleInstance next(m_folder.path());
    ASSERT_TRUE(next.tryAcquire());
    next.listenForRaise();
    QSignalSpy raised(&next, &SingleInstance::raiseRequested);
    SingleInstance(m_folder.path()).askRunningCopyToRaise();
    EXPECT_TRUE(raised.wait(3000) || raised.count() > 0);
    QTest::qWait(50);
    EXPECT_EQ(raised.count(), 1);
}

TEST_F(SingleInstanceTest, shouldBeFreeAgainWhenTheRunningCopyEnds)
{
    {
        SingleInstance first(m_folder.path());
        ASSERT_TRUE(first.tryAcquire());
    }
    SingleInstance next(m_folder.path());
    EXPECT_TRUE(next.tryAcquire());
}

TEST_F(SingleInstanceTest, shouldCreateNoFileWhenAskingWithNoRunningCopy)
{
    SingleInstance(m_folder.path()).askRunningCopyToRaise();
    EXPECT_TRUE(entries(m_runtime.path()).isEmpty());
    EXPECT_TRUE(entries(m_folder.path()).isEmpty());
}

} // namespace
