// The preferences command with the real log-in start entry, written into a
// temporary configuration folder.
#include "PreferencesFixture.h"

#include "platform/RealServices.h"

#include <QFileInfo>
#include <QTemporaryDir>

namespace {

class RealAutostartTest : public PreferencesTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_config.isValid());
        m_hadConfig = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        m_oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
        t.ctx.autostart = &m_service;
        // A program file whose path needs quoting and escaping.
        t.ctx.programPath = folder() + "My \"Apps\" $HOME/nudgery";
    }
    void TearDown() override
    {
        if (m_hadConfig)
            qputenv("XDG_CONFIG_HOME", m_oldConfig);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }

    QString entry() const { return m_config.path() + "/autostart/Tasklyn.desktop"; }

    QTemporaryDir m_config;
    bool m_hadConfig = false;
    QByteArray m_oldConfig;
    XdgAutostartService m_service;
};

TEST_F(RealAutostartTest, shouldWriteRemoveAndThenLeaveAloneTheLogInEntry)
{
    start();
    confirm([&] { click(dialog->CheckBox6); });
    const QByteArray exec =
        "Exec=\"" + folder().toUtf8() + "My \\\\\"Apps\\\\\" \\\\$HOME/nudgery\" /ar\n";
    const QByteArray written = TestFiles::readAll(entry());
    EXPECT_TRUE(written.startsWith("[Desktop Entry]\n")) << written.constData();
    EXPECT_TRUE(written.contains("\n" + exec)) << written.constData();

    confirm([&] { click(dialog->CheckBox6); });
    EXPECT_FALSE(QFileInfo::exists(entry()));

    // With AutoRun already off an entry left by something else stays.
    TestFiles::writeAll(entry(), "[Desktop Entry]\nExec=other\n");
    confirm();
    EXPECT_EQ(TestFiles::readAll(entry()), "[Desktop Entry]\nExec=other\n");
    EXPECT_EQ(pref("AutoRun"), "0");
}

} // namespace
