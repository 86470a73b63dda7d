#include "platform/SingleInstance.h"
#include "common/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class SingleInstanceTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_runtime.isValid());
        m_hadRuntime = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
        m_oldRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
    }
    void TearDown() override
    {
        if (m_hadRuntime)
            qputenv("XDG_RUNTIME_DIR", m_oldRuntime);
        else
            qunsetenv("XDG_RUNTIME_DIR");
    }

    // A process id that cannot belong to a running process.
    static QByteArray deadPid()
    {
        QFile f("/proc/sys/kernel/pid_max");
        if (f.open(QIODevice::ReadOnly))
            return f.readAll().trimmed();
        return "4194304";
    }

    QTemporaryDir m_runtime;
    bool m_hadRuntime = false;
    QByteArray m_oldRuntime;
};

TEST_F(SingleInstanceTest, LockAndSocketLiveInTheRuntimeFolder)
{
    EXPECT_EQ(SingleInstance::lockFilePath(), m_runtime.path() + "/CorvaneTasklynSoftware.lock");
    EXPECT_TRUE(
        SingleInstance::serverName().startsWith(m_runtime.path() + "/CorvaneTasklynSoftware-"));
}

TEST_F(SingleInstanceTest, ASecondCopyIsRefusedWhileTheFirstHoldsTheLock)
{
    SingleInstance first;
    ASSERT_TRUE(first.tryAcquire());
    EXPECT_TRUE(QFileInfo::exists(SingleInstance::lockFilePath()));

    SingleInstance second;
    EXPECT_FALSE(second.tryAcquire());
}

TEST_F(SingleInstanceTest, TheSecondCopysRequestRaisesTheFirst)
{
    SingleInstance first;
    ASSERT_TRUE(first.tryAcquire());
    QSignalSpy raised(&first, &SingleInstance::raiseRequested);

    SingleInstance::askRunningCopyToRaise();
    EXPECT_TRUE(raised.wait(3000) || raised.count() > 0);
    QTest::qWait(50);
    EXPECT_EQ(raised.count(), 1);
}

TEST_F(SingleInstanceTest, AskingWithNoRunningCopyDoesNothingAndCreatesNoFile)
{
    SingleInstance::askRunningCopyToRaise();
    EXPECT_TRUE(
        QDir(m_runtime.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
            .isEmpty());
}

TEST_F(SingleInstanceTest, TheLockIsFreeAgainWhenTheFirstEnds)
{
    {
        SingleInstance first;
        ASSERT_TRUE(first.tryAcquire());
    }
    EXPECT_FALSE(QFileInfo::exists(SingleInstance::lockFilePath()));
    SingleInstance next;
    EXPECT_TRUE(next.tryAcquire());
}

TEST_F(SingleInstanceTest, ALockAndSocketLeftByAKilledCopyAreTakenOver)
{
    // What a copy ended by kill -9 leaves: its lock naming a process that is
    // gone, and its socket's file.
    TestFiles::writeAll(SingleInstance::lockFilePath(), deadPid() + "\nnudgery\n\n");
    TestFiles::writeAll(SingleInstance::serverName(), "");

    SingleInstance next;
    ASSERT_TRUE(next.tryAcquire());
    QSignalSpy raised(&next, &SingleInstance::raiseRequested);
    SingleInstance::askRunningCopyToRaise();
    EXPECT_TRUE(raised.wait(3000) || raised.count() > 0);

    SingleInstance another;
    EXPECT_FALSE(another.tryAcquire());
}

} // namespace
