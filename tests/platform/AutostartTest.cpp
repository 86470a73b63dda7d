#include "common/TempConfigHome.h"
#include "common/TestFiles.h"
#include "platform/RealServices.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class AutostartTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_config.isValid());
        // QSettings reads the configuration folder once per process.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_config.path());
    }
    void TearDown() override
    {
        const QString config = m_config.hadConfig() && !m_config.oldConfig().isEmpty()
                                   ? QString::fromLocal8Bit(m_config.oldConfig())
                                   : QDir::homePath() + "/.config";
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config);
    }
    QString entry() const { return m_config.autostartEntry(); }
    QString marker() const { return m_config.path() + "/Tasklyn.conf"; }

    TempConfigHome m_config;
    XdgAutostartService m_service;
};

TEST_F(AutostartTest, EntryLivesInTheConfigFoldersAutostartFolder)
{
    EXPECT_EQ(XdgAutostartService::entryPath(), entry());
}

TEST_F(AutostartTest, WritesADesktopEntryThatStartsTheProgramWithTheSwitch)
{
    m_service.writeRunEntry("/opt/nudgery/bin/nudgery");
    EXPECT_EQ(TestFiles::readAll(entry()), QByteArray("[Desktop Entry]\n"
                                                      "Type=Application\n"
                                                      "Name=Nudgery\n"
                                                      "Exec=\"/opt/nudgery/bin/nudgery\" /ar\n"
                                                      "X-GNOME-Autostart-enabled=true\n"));
}

TEST_F(AutostartTest, QuotesBlanksAndEscapesQuotesBackticksDollarsAndBackslashes)
{
    // Inside the quotes ", `, $ and \ get a backslash; then the key's own
    // escaping doubles every backslash. A % is doubled for the launcher.
    EXPECT_EQ(XdgAutostartService::execLine(R"(/home/a b/x"y`z$w\v/100%/nudgery)"),
              R"("/home/a b/x\\"y\\`z\\$w\\\\v/100%%/nudgery" /ar)");
}

TEST_F(AutostartTest, WritesTheEscapedPathIntoTheEntry)
{
    m_service.writeRunEntry(R"(/tmp/My "Apps"/nudgery)");
    const QByteArray text = TestFiles::readAll(entry());
    EXPECT_TRUE(text.contains("\nExec=\"/tmp/My \\\\\"Apps\\\\\"/nudgery\" /ar\n"))
        << text.constData();
}

TEST_F(AutostartTest, RewritingReplacesTheEntryWhole)
{
    m_service.writeRunEntry("/a/very/long/path/to/the/program/nudgery");
    m_service.writeRunEntry("/b/nudgery");
    const QByteArray text = TestFiles::readAll(entry());
    EXPECT_TRUE(text.contains("Exec=\"/b/nudgery\" /ar\n"));
    EXPECT_FALSE(text.contains("/a/very"));
    EXPECT_EQ(QDir(m_config.path() + "/autostart").entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(AutostartTest, RemovingDeletesTheEntryAndAMissingEntryIsNoError)
{
    m_service.writeRunEntry("/b/nudgery");
    m_service.removeRunEntry();
    EXPECT_FALSE(QFileInfo::exists(entry()));
    EXPECT_NO_THROW(m_service.removeRunEntry());
}

TEST_F(AutostartTest, AnEntryThatCannotBeWrittenRaisesTheRegistryMessage)
{
    // The autostart folder's place is taken by a file.
    TestFiles::writeAll(m_config.path() + "/autostart", "x");
    try {
        m_service.writeRunEntry("/b/nudgery");
        FAIL() << "no error";
    } catch (const StoreError &e) {
        EXPECT_EQ(e.message(), "Failed to set data for 'Tasklyn'");
    }
}

TEST_F(AutostartTest, FolderMarkerIsWrittenAndRemovedWhole)
{
    m_service.writeFolderMarker();
    {
        QSettings back(marker(), QSettings::IniFormat);
        EXPECT_EQ(back.value("Tasklyn").toString(), "1");
    }
    m_service.removeFolderMarker();
    EXPECT_FALSE(QFileInfo::exists(marker()));
    EXPECT_NO_THROW(m_service.removeFolderMarker());
}

TEST_F(AutostartTest, AFolderMarkerThatCannotBeWrittenRaisesTheRegistryMessage)
{
    TestFiles::writeAll(m_config.path() + "/blocker", "x");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       m_config.path() + "/blocker/sub");
    try {
        m_service.writeFolderMarker();
        FAIL() << "no error";
    } catch (const StoreError &e) {
        EXPECT_EQ(e.message(), "Failed to create key Software\\Tasklyn");
    }
}

} // namespace
