// The save-path folder browser behind the dialog's "..." button.
#include "PreferencesFixture.h"

#include "platform/MessageService.h"

#include <QDir>

namespace {

class SavePathBrowserTest : public PreferencesTest
{
protected:
    void startWithStoredPath(const QString &path)
    {
        writeSettings("[Preferences]\r\nINIsavePath=" + path.toLatin1() + "\r\n");
        start();
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    }
    void browse() { QTest::mouseClick(dialogButton("Button_option_dir"), Qt::LeftButton); }
    QString field() const { return savePathField()->text(); }
};

TEST_F(SavePathBrowserTest, shouldStartAtTheFieldsFolderAndTakeThePickedOneWithoutTrailingSlash)
{
    start();
    dialog->show();
    t.folders.answer = QStringLiteral("/srv/team/");
    browse();
    ASSERT_EQ(t.folders.calls.size(), 1);
    EXPECT_EQ(t.folders.calls[0].title, "Choose a folder to download to ...");
    EXPECT_EQ(t.folders.calls[0].startPath, folder());
    EXPECT_EQ(field(), "/srv/team");
    EXPECT_TRUE(t.messages.shown.isEmpty());
    // The browser leaves the program folder as the current directory.
    EXPECT_EQ(QDir::currentPath() + "/", folder());
}

TEST_F(SavePathBrowserTest, shouldResolveARelativePathAgainstTheProgramFolderAndKeepItOnCancel)
{
    QDir(folder()).mkdir("shared");
    startWithStoredPath("shared");
    EXPECT_TRUE(checkBox(20)->isChecked());
    browse(); // cancelled: the fake has no answer
    EXPECT_EQ(t.folders.calls[0].startPath, folder() + "shared");
    EXPECT_EQ(field(), folder() + "shared");
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(SavePathBrowserTest, shouldReportAVanishedFolderAndOpenOneLevelUp)
{
    const QString gone = folder() + "gone/";
    startWithStoredPath(gone);
    browse();
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown[0].text, "Path to save to no longer exists.. Correcting !");
    EXPECT_EQ(t.messages.shown[0].caption, AppTitle);
    EXPECT_EQ(t.messages.shown[0].buttons, MsgButtons::Ok);
    ASSERT_EQ(t.folders.calls.size(), 1);
    EXPECT_EQ(t.folders.calls[0].startPath, folder());
    // The correction only preselects: a cancel keeps the path as it was.
    EXPECT_EQ(field(), gone);

    // Without a trailing slash the browser opens at the same parent.
    startWithStoredPath(folder() + "gone");
    t.folders.answer = folder();
    browse();
    EXPECT_EQ(t.folders.calls.last().startPath, folder());
    EXPECT_EQ(field(), folder().chopped(1));

    // Where the parent has gone too, the browser opens at the program folder.
    startWithStoredPath(folder() + "gone/deeper/");
    browse();
    EXPECT_EQ(t.folders.calls.last().startPath, folder());
}

} // namespace
