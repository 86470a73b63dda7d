// The preferences command: what Ok stores and applies, what Cancel leaves.
#include "PreferencesFixture.h"

#include "platform/MessageService.h"
#include "widgets/ApplyLanguage.h"
#include "widgets/TaskGrid.h"

#include <QAction>
#include <QMenuBar>
#include <QToolButton>

namespace {

class PreferencesCommandTest : public PreferencesTest
{
protected:
    bool mainOnTop() const { return main->windowFlags().testFlag(Qt::WindowStaysOnTopHint); }
};

TEST_F(PreferencesCommandTest,
       shouldRewriteEveryKeyOnOkExceptAutoRunOffTheProgramFolderAndEnglishUnticked)
{
    start();
    const QByteArray before = settingsBytes();
    confirm();
    EXPECT_EQ(settingsBytes(),
              before + "[Preferences]\r\nFormStyle=fsNormal\r\nWindowState=wsNormal\r\n"
                       "WindowPosition=0\r\nMyDateFormat=\r\nShowHints=true\r\n"
                       "WindowSize=0\r\nAlert=0\r\nAlert_s=1\r\nAutoArchiv=0\r\n"
                       "EmailMe=0\r\nHideMainMenu=0\r\nHideToolbar=0\r\n"
                       "AutoArchivAsk=1\r\nWeekendStop=0\r\nDefNewTime=09h:30\r\n"
                       "ColorCoded=0\r\nTransparency=0\r\nFlatToolbar=1\r\n"
                       "CustomCols=1\r\nDesktopNotify=1\r\n\r\n[Options]\r\nLanguage=English\r\n");
    EXPECT_TRUE(t.autostart.calls.isEmpty());
}

TEST_F(PreferencesCommandTest,
       shouldLeaveAutoRunOffTheStoredProgramFolderAndAnUnchangedLanguageAsTheyStand)
{
    // Lines a write would respell: "key=value" without blanks.
    const QByteArray kept = "AutoRun = 0\r\nINIsavePath = " + folder().toLatin1() + "\r\n";
    writeSettings("[Preferences]\r\n" + kept + "[Options]\r\nLanguage = Portuguese\r\n");
    start();
    ASSERT_TRUE(checkBox(22)->isChecked());
    confirm();
    const QByteArray after = settingsBytes();
    EXPECT_TRUE(after.startsWith("[Preferences]\r\n" + kept)) << after.constData();
    EXPECT_TRUE(after.endsWith("[Options]\r\nLanguage = Portuguese\r\n")) << after.constData();
    EXPECT_EQ(pref("FormStyle"), "fsNormal"); // the rest was written
    EXPECT_TRUE(t.autostart.calls.isEmpty());
}

TEST_F(PreferencesCommandTest, shouldWriteTheRunEntryThenRemoveItThenLeaveItAlone)
{
    start();
    confirm([&] { click(checkBox(6)); });
    EXPECT_EQ(pref("AutoRun"), "1");
    EXPECT_EQ(t.autostart.calls, QStringList{"writeRunEntry"});
    EXPECT_EQ(t.autostart.runEntryProgram, t.ctx.programPath);

    // Ticked, it is written again at every Ok.
    confirm();
    EXPECT_EQ(t.autostart.calls, QStringList({"writeRunEntry", "writeRunEntry"}));

    confirm([&] { click(checkBox(6)); });
    EXPECT_EQ(pref("AutoRun"), "0");
    EXPECT_EQ(t.autostart.calls.last(), "removeRunEntry");
    EXPECT_FALSE(t.autostart.runEntry);

    // Already off: neither the key nor the entry is touched.
    t.autostart.calls.clear();
    writeSettings(settingsBytes().replace("AutoRun=0", "AutoRun=00"));
    confirm();
    EXPECT_TRUE(t.autostart.calls.isEmpty());
    EXPECT_EQ(pref("AutoRun"), "00");
}

TEST_F(PreferencesCommandTest, shouldStopAtTheStepWhoseWriteFailsKeepingTheStepsBefore)
{
    t.autostart.failRunEntry = true;
    start();
    confirm([&] {
        click(checkBox(6));
        click(checkBox(8));
    });
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown[0].text, "Failed to set data for 'Tasklyn'");
    EXPECT_EQ(t.messages.shown[0].icon, MsgIcon::Error);
    EXPECT_EQ(pref("ShowHints"), "true");
    EXPECT_EQ(pref("AutoRun"), "1");
    EXPECT_EQ(pref("WindowSize"), "<missing>");
    EXPECT_EQ(pref("Alert"), "<missing>");
    EXPECT_FALSE(t.alarm.isActive());
}

TEST_F(PreferencesCommandTest, shouldStoreTheSharedFolderAndItsMarkerAndDropThemWhenUnticked)
{
    t.folders.answer = QStringLiteral("/srv/shared");
    start();
    confirm([&] {
        click(checkBox(20));
        QTest::mouseClick(dialogButton("Button_option_dir"), Qt::LeftButton);
    });
    EXPECT_EQ(pref("INIsavePath"), "/srv/shared");
    EXPECT_EQ(t.autostart.calls, QStringList{"writeFolderMarker"});

    confirm([&] { click(checkBox(20)); });
    EXPECT_EQ(pref("INIsavePath"), folder());
    EXPECT_EQ(t.autostart.calls.last(), "removeFolderMarker");

    t.autostart.calls.clear();
    confirm();
    EXPECT_TRUE(t.autostart.calls.isEmpty());

    // A marker that cannot be written ends the sequence there.
    t.autostart.failFolderMarker = true;
    writeSettings("[Preferences]\r\n");
    confirm([&] { click(checkBox(20)); });
    EXPECT_EQ(t.messages.shown.last().text, "Failed to create key Software\\Tasklyn");
    EXPECT_EQ(pref("INIsavePath"), folder());
    EXPECT_EQ(pref("CustomCols"), "<missing>");
}

TEST_F(PreferencesCommandTest, shouldApplyTheWindowPreferencesAtOnce)
{
    start();
    showMain();
    confirm([&] {
        click(checkBox(1));
        click(checkBox(5));
        click(checkBox(8));
        click(checkBox(18));
        click(checkBox(19));
        click(checkBox(16));
    });
    EXPECT_TRUE(mainOnTop());
    EXPECT_TRUE(main->isVisible());
    EXPECT_FALSE(grid()->showNoteHints());
    EXPECT_TRUE(t.alarm.isActive());
    EXPECT_NEAR(main->windowOpacity(), 220.0 / 255.0, 0.01);
    EXPECT_FALSE(ui<QToolButton>(main.get(), "SpeedButton7")->autoRaise());
    EXPECT_EQ(pref("FormStyle"), "fsStayOnTop");
    EXPECT_EQ(pref("ShowHints"), "false");
    EXPECT_EQ(pref("DefNewTime"), "current");

    confirm([&] {
        click(checkBox(1));
        click(checkBox(5));
        click(checkBox(8));
        click(checkBox(18));
        click(checkBox(19));
        pick(timeList(), "00h:00");
        click(checkBox(4));
    });
    EXPECT_FALSE(mainOnTop());
    EXPECT_TRUE(grid()->showNoteHints());
    EXPECT_FALSE(t.alarm.isActive());
    EXPECT_DOUBLE_EQ(main->windowOpacity(), 1.0);
    EXPECT_TRUE(ui<QToolButton>(main.get(), "SpeedButton7")->autoRaise());
    EXPECT_EQ(pref("DefNewTime"), "00h:00");
    EXPECT_EQ(pref("MyDateFormat"), "dd/MM/yyyy");
}

TEST_F(PreferencesCommandTest, shouldAlwaysOfferPreferencesAndAboutOnlyWhenMenuAndToolbarAreHidden)
{
    start();
    showMain();
    confirm([&] { click(checkBox(12)); });
    EXPECT_FALSE(ui<QMenuBar>(main.get(), "MainMenu1")->isVisible());
    EXPECT_FALSE(ui<QAction>(main.get(), "pop2_About")->isVisible());

    confirm([&] { click(checkBox(13)); });
    EXPECT_FALSE(ui<QWidget>(main.get(), "Panel1")->isVisible());
    EXPECT_EQ(pref("HideMainMenu"), "1");
    EXPECT_EQ(pref("HideToolbar"), "1");
    EXPECT_TRUE(ui<QAction>(main.get(), "pop2_N1")->isVisible());
    EXPECT_TRUE(ui<QAction>(main.get(), "pop2_Preferences")->isVisible());
    EXPECT_TRUE(ui<QAction>(main.get(), "pop2_About")->isVisible());
    EXPECT_EQ(ui<QAction>(main.get(), "pop2_Preferences")->text(), "Pre&ferences ...");

    // The grid's menu item is now the way to the dialog; showing the toolbar again
    // hides About and its separator, never Preferences.
    bool opened = false;
    QTimer::singleShot(0, dialog, [&] {
        opened = dialog->isVisible();
        click(checkBox(13));
        QTest::mouseClick(dialogButton("Button_pp_ok"), Qt::LeftButton);
    });
    ui<QAction>(main.get(), "pop2_Preferences")->trigger();
    EXPECT_TRUE(opened);
    EXPECT_TRUE(ui<QWidget>(main.get(), "Panel1")->isVisible());
    EXPECT_FALSE(ui<QAction>(main.get(), "pop2_N1")->isVisible());
    EXPECT_TRUE(ui<QAction>(main.get(), "pop2_Preferences")->isVisible());
    EXPECT_FALSE(ui<QAction>(main.get(), "pop2_About")->isVisible());
}

TEST_F(PreferencesCommandTest,
       shouldLowerTheMainWindowForTheDialogAndRaiseItAgainOnCancelAsTheBoxStands)
{
    writeSettings("[Preferences]\r\nFormStyle=fsStayOnTop\r\n");
    start();
    showMain();
    ASSERT_TRUE(mainOnTop());
    const QByteArray before = settingsBytes();

    cancel([&] {
        EXPECT_FALSE(mainOnTop());
        click(checkBox(1));
    });
    EXPECT_FALSE(mainOnTop());
    EXPECT_EQ(settingsBytes(), before);
    EXPECT_TRUE(main->isVisible());

    // The box stays unticked for the next opening; ticking it and cancelling raises the window.
    cancel([&] {
        EXPECT_FALSE(checkBox(1)->isChecked());
        click(checkBox(1));
    });
    EXPECT_TRUE(mainOnTop());
    EXPECT_EQ(settingsBytes(), before);
}

TEST_F(PreferencesCommandTest, shouldSwitchTheMainWindowToEnglishWhenTheLanguageBoxIsUnticked)
{
    writeSettings("[Options]\r\nLanguage=Portuguese\r\n");
    start();
    ApplyLanguageMain(main.get(),
                      QStringLiteral("Portuguese")); // as start-up does with that setting
    confirm([&] { click(checkBox(22)); });
    EXPECT_EQ(stored("Options", "Language"), "English");
    EXPECT_EQ(ui<QMenu>(main.get(), "Menu_File")->title(), "&File");
    EXPECT_EQ(ui<QAction>(main.get(), "Menu_Preferences")->text(), "&Options ...");
    EXPECT_EQ(ui<QAction>(main.get(), "pop2_Preferences")->text(), "Pre&ferences ...");

    // A language picked in the list is stored as picked.
    confirm([&] { pick(languageList(), "Portuguese"); });
    EXPECT_EQ(stored("Options", "Language"), "Portuguese");
}

} // namespace
