// The Help menu's web commands and the new-version check as the user runs them.
#include "about/WebLinks.h"
#include "common/TestContext.h"
#include "common/TestFiles.h"
#include "common/Ui.h"
#include "mainwindow/TForm1.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

class HelpMenuTest : public ::testing::Test
{
protected:
    HelpMenuTest()
    {
        main = std::make_unique<TForm1>(t.ctx, t.tasks, t.alarm);
        EXPECT_TRUE(main->FormCreate());
        t.messages.shown.clear();
    }

    QString source1() const { return QUrl(links.versionSource1).toString(); }
    QString source2() const { return QUrl(links.versionSource2).toString(); }
    bool versionFileLeft() const { return QFileInfo::exists(t.file("nudgery.xml")); }

    static QByteArray pad(const QByteArray &version)
    {
        return "<?xml version=\"1.0\" encoding=\"Windows-1252\" ?>\r\n<XML_DIZ_INFO>\r\n"
               "<Program_Info>\r\n<Program_Version>" +
               version + "</Program_Version>\r\n</Program_Info>\r\n</XML_DIZ_INFO>\r\n";
    }

    TestContext t;
    std::unique_ptr<TForm1> main;
    const WebLinks links = WebLinks::fromBuild();
};

TEST_F(HelpMenuTest, newsAndDonationsOpenTheirPages)
{
    ui<QAction>(main.get(), "Menu_SoftwareNews")->trigger();
    ui<QAction>(main.get(), "Menu_Donations")->trigger();
    ASSERT_EQ(t.urls.opened.size(), 2);
    EXPECT_EQ(t.urls.opened[0], QUrl(links.newsPage));
    EXPECT_EQ(t.urls.opened[1], QUrl(links.donationPage));
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(HelpMenuTest, aNewerOfferIsReportedInAnInformationBox)
{
    t.downloader.pages.insert(source1(), pad("1.2.0.7"));
    ui<QAction>(main.get(), "Menu_CheckNewVersion")->trigger();

    ASSERT_EQ(t.messages.shown.size(), 1);
    const MessageRequest &box = t.messages.shown[0];
    EXPECT_EQ(box.caption, "Information");
    EXPECT_EQ(box.icon, MsgIcon::Information);
    EXPECT_EQ(box.buttons, MsgButtons::Ok);
    EXPECT_EQ(box.text, "There is a *new* version of this freeware available !\r\r"
                        "Please go to our freeware web page and download it,\r"
                        "and replace the existing one by the new version.");
    EXPECT_EQ(t.downloader.requested, QList<QUrl>{QUrl(links.versionSource1)});
    EXPECT_FALSE(versionFileLeft());
}

TEST_F(HelpMenuTest, theSameVersionFromTheRepositoryIsTheMostRecent)
{
    t.downloader.pages.insert(source2(), pad("1.2.0.6"));
    ui<QAction>(main.get(), "Menu_CheckNewVersion")->trigger();

    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown[0].caption, "Information");
    EXPECT_EQ(t.messages.shown[0].icon, MsgIcon::Information);
    EXPECT_EQ(t.messages.shown[0].text, "You have the most recent version of this freeware..\r"
                                        "But keep checking, as this is updated regularly!");
    EXPECT_EQ(t.downloader.requested,
              (QList<QUrl>{QUrl(links.versionSource1), QUrl(links.versionSource2)}));
    EXPECT_FALSE(versionFileLeft());
}

TEST_F(HelpMenuTest, noSourceReachedIsAWarning)
{
    ui<QAction>(main.get(), "Menu_CheckNewVersion")->trigger();

    ASSERT_EQ(t.messages.shown.size(), 1);
    const MessageRequest &box = t.messages.shown[0];
    EXPECT_EQ(box.caption, "Warning");
    EXPECT_EQ(box.icon, MsgIcon::Warning);
    EXPECT_EQ(box.buttons, MsgButtons::Ok);
    EXPECT_EQ(box.text, "Error downloading file \"Nudgery_pad.xml\" for version check.\r"
                        "Please check your internet connection and/or firewall..");
    EXPECT_FALSE(versionFileLeft());
}

TEST_F(HelpMenuTest, anOfferWithoutVersionIsShownInTheErrorBox)
{
    t.downloader.pages.insert(source1(), "<XML_DIZ_INFO></XML_DIZ_INFO>");
    ui<QAction>(main.get(), "Menu_CheckNewVersion")->trigger();

    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown[0].caption, "Nudgery");
    EXPECT_EQ(t.messages.shown[0].icon, MsgIcon::Error);
    EXPECT_EQ(t.messages.shown[0].text, "'' is not a valid integer value");
    EXPECT_FALSE(versionFileLeft());
}

} // namespace
