#include "MainWindowFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

namespace {

// Runs with another working directory, as a copy started at log-in does.
class HelpTextTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        savedCwd = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(cwd.path()));
        MainWindowTest::SetUp();
    }
    void TearDown() override { QDir::setCurrent(savedCwd); }

    QTemporaryDir cwd;
    QString savedCwd;
};

TEST_F(HelpTextTest, shouldOpenTheHelpInTheWorkingDirectoryFirst)
{
    TestFiles::writeAll(cwd.filePath("Tasklyn.txt"), "here\r\n");
    TestFiles::writeAll(t.file("Tasklyn.txt"), "beside the program\r\n");

    command("Menu_HelpFile")->trigger();

    ASSERT_EQ(t.textViewer.opened.size(), 1);
    EXPECT_EQ(t.textViewer.opened[0].path, QDir(cwd.path()).absoluteFilePath("Tasklyn.txt"));
    EXPECT_EQ(t.textViewer.opened[0].content, "here\r\n");
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(HelpTextTest, shouldFindTheHelpBesideTheProgramFromAnotherDirectory)
{
    TestFiles::writeAll(t.file("Tasklyn.txt"), "beside the program\r\n");

    command("Menu_HelpFile")->trigger();

    ASSERT_EQ(t.textViewer.opened.size(), 1);
    EXPECT_EQ(t.textViewer.opened[0].path, t.file("Tasklyn.txt"));
    EXPECT_EQ(t.textViewer.opened[0].content, "beside the program\r\n");
}

TEST_F(HelpTextTest, shouldFindTheHelpBesideAnExecutableKeptAwayFromItsData)
{
    QTemporaryDir installed;
    t.ctx.programPath = installed.filePath("nudgery");
    TestFiles::writeAll(installed.filePath("Tasklyn.txt"), "installed\r\n");

    command("Menu_HelpFile")->trigger();

    ASSERT_EQ(t.textViewer.opened.size(), 1);
    EXPECT_EQ(t.textViewer.opened[0].content, "installed\r\n");
}

TEST_F(HelpTextTest, shouldSayNotFoundWhenTheHelpIsInNoneOfItsPlaces)
{
    // The export's lower-case name is another file and does not count.
    TestFiles::writeAll(cwd.filePath("tasklyn.txt"), "an export\r\n");

    command("Menu_HelpFile")->trigger();

    EXPECT_TRUE(t.textViewer.opened.isEmpty());
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown[0].text, "'Tasklyn.txt'  not found...");
    EXPECT_EQ(t.messages.shown[0].caption, "Nudgery");
    EXPECT_EQ(t.messages.shown[0].icon, MsgIcon::None);
    EXPECT_EQ(t.messages.shown[0].buttons, MsgButtons::Ok);
}

TEST(ShippedHelpText, shouldLieBesideTheBuiltProgramAsWindows1252WithCrLfLineEnds)
{
    const QString source = QStringLiteral(QT_TESTCASE_SOURCEDIR "/../src/output/Tasklyn.txt");
    const QString besideProgram =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../src/Tasklyn.txt");
    const QByteArray text = TestFiles::readAll(source);
    ASSERT_FALSE(text.isEmpty());
    EXPECT_EQ(TestFiles::readAll(besideProgram), text);

    EXPECT_EQ(text.count("\r\n"), text.count('\n'));
    EXPECT_EQ(text.count('\r'), text.count('\n'));
    // Single bytes only: no UTF-8 sequence (a lead byte followed by a continuation byte).
    for (qsizetype i = 0; i + 1 < text.size(); ++i)
        ASSERT_FALSE((uchar(text[i]) & 0xE0) == 0xC0 && (uchar(text[i + 1]) & 0xC0) == 0x80) << i;
}

} // namespace
