// The preferences command with the real log-in start entry, written into a
// temporary configuration folder.
#include "PreferencesFixture.h"

#include "common/TempConfigHome.h"

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
        t.ctx.autostart = &m_service;
        // A program file whose path needs quoting and escaping.
        t.ctx.programPath = folder() + "My \"Apps\" $HOME/nudgery";
    }

    QString entry() const { return m_config.autostartEntry(); }

    TempConfigHome m_config;
    XdgAutostartService m_service;
};

TEST_F(RealAutostartTest, shouldWriteRemoveAndThenLeaveAloneTheLogInEntry)
{
    start();
    confirm([&] { click(checkBox(6)); });
    const QByteArray exec =
        "Exec=\"" + folder().toUtf8() + "My \\\\\"Apps\\\\\" \\\\$HOME/nudgery\" /ar\n";
    const QByteArray written = TestFiles::readAll(entry());
    EXPECT_TRUE(written.startsWith("[Desktop Entry]\n")) << written.constData();
    EXPECT_TRUE(written.contains("\n" + exec)) << written.constData();

    confirm([&] { click(checkBox(6)); });
    EXPECT_FALSE(QFileInfo::exists(entry()));

    // With AutoRun already off an entry left by something else stays.
    TestFiles::writeAll(entry(), "[Desktop Entry]\nExec=other\n");
    confirm();
    EXPECT_EQ(TestFiles::readAll(entry()), "[Desktop Entry]\nExec=other\n");
    EXPECT_EQ(pref("AutoRun"), "0");
}

} // namespace
