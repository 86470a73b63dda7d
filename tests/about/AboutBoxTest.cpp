// The about box: caption, place, texts that fit, links, closing on a click.
#include "about/TFormAbout.h"
#include "about/WebLinks.h"
#include "common/TestContext.h"
#include "common/Ui.h"
#include "mainwindow/TForm1.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrlQuery>
#include <functional>
#include <gtest/gtest.h>

namespace {

class AboutBoxTest : public ::testing::Test
{
protected:
    AboutBoxTest()
    {
        main = std::make_unique<TForm1>(t.ctx, t.tasks, t.alarm);
        EXPECT_TRUE(main->FormCreate());
        main->move(300, 200);
    }

    TFormAbout *create(const WebLinks &links = WebLinks::fromBuild())
    {
        main->createDialogs(links);
        return main->findChild<TFormAbout *>();
    }

    // Runs `whileOpen` once the box is up, after `open` showed it modally; the box
    // is closed afterwards in any case so that a failing test cannot hang.
    bool runModal(const std::function<void()> &open, const std::function<void()> &whileOpen)
    {
        bool wasOpen = false;
        QTimer::singleShot(0, [&] {
            TFormAbout *box = main->findChild<TFormAbout *>();
            wasOpen = box->isVisible() && box->isModal();
            if (wasOpen && QTest::qWaitForWindowExposed(box))
                whileOpen();
            if (box->isVisible())
                box->reject();
        });
        open();
        return wasOpen;
    }

    // A user's click at the centre of a component, delivered through the window
    // so that it reaches whatever lies on top there.
    void clickOn(QWidget *component)
    {
        QWidget *box = component->window();
        const QPoint at = component->mapTo(box, component->rect().center());
        QTest::mouseClick(box->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
    }
    void clickAt(const QPoint &at)
    {
        QTest::mouseClick(main->findChild<TFormAbout *>()->windowHandle(), Qt::LeftButton,
                          Qt::NoModifier, at);
    }

    TestContext t;
    std::unique_ptr<TForm1> main;
};

TEST_F(AboutBoxTest, showsTheProgramsNameVersionAndDescription)
{
    TFormAbout *box = create();
    EXPECT_EQ(box->windowTitle(), "Nudgery   (v1.2.0.6)");
    EXPECT_EQ(ui<QLabel>(box, "Label6")->text(),
              "Create and control lists of all the tasks you have ToDo and remember, set "
              "priorities and colors, alarms, sort, edit, archive, all in an easy way.");
    EXPECT_EQ(ui<QLabel>(box, "Label2")->text(), "FreeWare by");
    EXPECT_EQ(ui<QLabel>(box, "Label4")->text(),
              "If you like this program, do email me with feedback, ideas, "
              "suggestions or questions to");
    EXPECT_EQ(ui<QLabel>(box, "Label5")->text(),
              "You can also help the development, by _______ a few $$");
    EXPECT_EQ(ui<QLabel>(box, "Label8")->text(), "donating ");
    EXPECT_TRUE(box->windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(AboutBoxTest, opensAtAFixedOffsetFromTheMainWindowsStartPosition)
{
    create();
    main->move(700, 500); // moved after start-up: the box keeps its place
    QPoint shownAt;
    EXPECT_TRUE(runModal([&] { ui<QAction>(main.get(), "Menu_About")->trigger(); },
                         [&] { shownAt = main->findChild<TFormAbout *>()->pos(); }));
    EXPECT_EQ(shownAt, QPoint(290, 340));
}

// The program's picture shows its whole outline, the top edge too, at the
// screen's scale (ctest runs this again with QT_SCALE_FACTOR 1.5 and 2).
TEST_F(AboutBoxTest, thePictureKeepsItsTopEdgeAtTheScreensScale)
{
    TFormAbout *box = create();
    box->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
    const QImage shot = box->grab().toImage();
    const qreal scale = shot.devicePixelRatio();
    EXPECT_DOUBLE_EQ(scale, qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                                ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                                : 1.0);
    // The sheet's outline is dark blue; the picture's part on the box starts at y 0.
    const auto outline = [](QColor c) {
        return c.blue() > c.red() + 40 && c.blue() > 90 && c.lightness() < 140;
    };
    const QRect area = ui<QLabel>(box, "Image1")->geometry().intersected(box->rect());
    const QRect pixels(QPointF(area.topLeft() * scale).toPoint(),
                       QPointF(area.bottomRight() * scale).toPoint());
    int top = -1, widest = 0;
    for (int y = pixels.top(); y <= pixels.bottom() && top < 0; ++y) {
        int run = 0;
        for (int x = pixels.left(); x <= pixels.right(); ++x) {
            run = outline(shot.pixelColor(x, y)) ? run + 1 : 0;
            widest = std::max(widest, run);
        }
        if (widest > 0)
            top = y;
    }
    ASSERT_GE(top, 0) << "no picture";
    EXPECT_GT(top, pixels.top()) << "the picture's top edge is cut off by the box's edge";
    // The top edge is a line, not the ends of the sides that the edge cut off.
    int edge = 0;
    for (int y = top; y < top + int(3 * scale); ++y) {
        int run = 0;
        for (int x = pixels.left(); x <= pixels.right(); ++x) {
            run = outline(shot.pixelColor(x, y)) ? run + 1 : 0;
            edge = std::max(edge, run);
        }
    }
    EXPECT_GE(edge, int(20 * scale));
}

TEST_F(AboutBoxTest, everyTextFitsItsLabelAndTheBox)
{
    TFormAbout *box = create();
    const QRect client = box->rect();
    EXPECT_GE(client.width(), 295);
    EXPECT_GE(client.height(), 167);
    for (QLabel *label : box->findChildren<QLabel *>()) {
        if (label->text().isEmpty())
            continue;
        const QRect r = label->geometry();
        SCOPED_TRACE(label->objectName().toStdString());
        EXPECT_TRUE(client.contains(r))
            << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
        if (label->wordWrap()) {
            EXPECT_LE(label->heightForWidth(r.width()), r.height());
        } else {
            EXPECT_LE(label->sizeHint().width(), r.width());
            EXPECT_LE(label->sizeHint().height(), r.height());
        }
    }
    // The rule lies below the description, the feedback text below the rule.
    EXPECT_GE(ui<QFrame>(box, "Bevel1")->y(), ui<QLabel>(box, "Label6")->geometry().bottom());
    EXPECT_GT(ui<QLabel>(box, "Label4")->y(), ui<QFrame>(box, "Bevel1")->geometry().bottom());
    EXPECT_GT(ui<QLabel>(box, "Label5")->y(), ui<QLabel>(box, "Label7")->geometry().bottom());
}

TEST_F(AboutBoxTest, theDonationLinkKeepsItsSizeAndCoversNoWordInANarrowOrAWideFont)
{
    const QFont before = QApplication::font();
    for (const char *family : {"Liberation Sans", "DejaVu Sans"}) {
        SCOPED_TRACE(family);
        QApplication::setFont(QFont(QString::fromLatin1(family)));
        main->setFont(QApplication::font());
        TFormAbout *box = create();
        const QLabel *sentence = ui<QLabel>(box, "Label5");
        const QLabel *link = ui<QLabel>(box, "Label8");
        const QLabel *tail = ui<QLabel>(box, "DonateTail");
        EXPECT_GE(link->font().pixelSize(), 11);
        // The words after the blank: where the sentence has them, or their copy
        // right of a link wider than the blank.
        const QString upToWords = sentence->text().section(QLatin1Char('_'), 0, -2) + "_ ";
        const int wordsAt =
            tail->isHidden()
                ? sentence->x() + QFontMetrics(sentence->font()).horizontalAdvance(upToWords)
                : tail->x();
        EXPECT_LE(link->geometry().right() + 1, wordsAt);
        if (!tail->isHidden()) {
            EXPECT_EQ(tail->text(), "a few $$");
            EXPECT_TRUE(box->rect().contains(tail->geometry()));
        }
        delete box;
    }
    QApplication::setFont(before);
}

TEST_F(AboutBoxTest, aLinkOpensItsAddressAndLeavesTheBoxOpen)
{
    WebLinks links = WebLinks::fromBuild();
    links.emailAddress = QStringLiteral("maker@mail.example");
    links.donationPage = QStringLiteral("https://maker.example/software/donation.htm");
    links.freewarePage = QStringLiteral("https://maker.example/software/freeware.shtml");
    TFormAbout *box = create(links);

    bool openAfterLinks = false;
    EXPECT_TRUE(runModal([&] { ui<QToolButton>(main.get(), "SpeedButton9")->click(); },
                         [&] {
                             clickOn(ui<QLabel>(box, "Label7"));
                             clickOn(ui<QLabel>(box, "Label8"));
                             clickOn(ui<QLabel>(box, "Label10"));
                             openAfterLinks = box->isVisible();
                         }));
    EXPECT_TRUE(openAfterLinks);

    ASSERT_EQ(t.urls.opened.size(), 3);
    const QUrl mail = t.urls.opened[0];
    EXPECT_EQ(mail.toEncoded(), "mailto:maker@mail.example?subject=from%20'Nudgery'%20freeware...");
    EXPECT_EQ(QUrlQuery(mail).queryItemValue("subject", QUrl::FullyDecoded),
              "from 'Nudgery' freeware...");
    EXPECT_EQ(t.urls.opened[1], QUrl("https://maker.example/software/donation.htm"));
    EXPECT_EQ(t.urls.opened[2], QUrl("https://maker.example/software/freeware.shtml"));
}

TEST_F(AboutBoxTest, theBuildsAddressesAreOfTheDesignedKind)
{
    const WebLinks links = WebLinks::fromBuild();
    EXPECT_TRUE(QUrl(links.donationPage).path().endsWith("/software/donation.htm"));
    EXPECT_TRUE(QUrl(links.freewarePage).path().endsWith("/software/freeware.shtml"));
    EXPECT_EQ(QUrl(links.newsPage).query(), "do=freeware");
    EXPECT_TRUE(QUrl(links.versionSource1).path().endsWith("/software/soft/nudgery.xml"));
    EXPECT_TRUE(links.versionSource2.endsWith("/Nudgery_pad.xml"));
    EXPECT_EQ(links.mailUrl().scheme(), "mailto");
    EXPECT_EQ(links.mailUrl().path(), links.emailAddress);
}

TEST_F(AboutBoxTest, aClickOnTheBackgroundAPictureOrAPlainLabelClosesTheBox)
{
    TFormAbout *box = create();
    const std::function<void()> clicks[] = {
        [&] { clickAt(QPoint(box->width() - 3, box->height() - 3)); },
        [&] { clickOn(ui<QLabel>(box, "Image1")); },
        [&] { clickOn(ui<QLabel>(box, "Image2")); },
        [&] { clickOn(ui<QLabel>(box, "Label6")); },
        [&] { clickOn(ui<QLabel>(box, "Label2")); },
        [&] { clickOn(ui<QLabel>(box, "Label4")); },
        [&] { clickOn(ui<QLabel>(box, "Label5")); },
    };
    int n = 0;
    for (const auto &click : clicks) {
        bool closed = false;
        EXPECT_TRUE(runModal([&] { ui<QAction>(main.get(), "pop2_About")->trigger(); },
                             [&] {
                                 click();
                                 closed = !box->isVisible();
                             }));
        EXPECT_TRUE(closed) << "click " << n;
        ++n;
    }
    EXPECT_TRUE(t.urls.opened.isEmpty());
}

TEST_F(AboutBoxTest, anAddressTheBuildLacksIsLeftOut)
{
    WebLinks links = WebLinks::fromBuild();
    links.emailAddress.clear();
    links.donationPage.clear();
    TFormAbout *box = create(links);
    EXPECT_TRUE(ui<QLabel>(box, "Label7")->isHidden());
    EXPECT_TRUE(ui<QLabel>(box, "Label4")->isHidden());
    EXPECT_TRUE(ui<QLabel>(box, "Label8")->isHidden());
    EXPECT_TRUE(ui<QLabel>(box, "Label5")->isHidden());
    EXPECT_FALSE(ui<QLabel>(box, "Label10")->isHidden());
}

} // namespace
