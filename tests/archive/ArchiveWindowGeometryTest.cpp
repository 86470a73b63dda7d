// Where the archive viewer opens, how its bar and columns follow its size, what
// it stores when it closes, and the small preferences dialog that governs it.
#include "ArchiveFixture.h"

#include "archive/ArchiveGrid.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>

namespace {

class ArchiveGeometry : public ArchiveTest
{
protected:
    QRect screen() const { return QGuiApplication::primaryScreen()->geometry(); }
    void checkBarFollowsWidth()
    {
        const int width = viewer->clientWidth();
        const QPushButton *close = viewerButton("Button_close");
        const QPushButton *unarchive = viewerButton("Button_Unarchive");
        const QPushButton *del = viewerButton("Button_Del");
        const QToolButton *menu = menuButton();
        const QWidget *bar = ui<QWidget>(viewer, "Panel1");
        EXPECT_EQ(close->x(), width - 74);
        EXPECT_EQ(menu->x(), close->x() - menu->width() - 3);
        EXPECT_EQ(unarchive->width(), menu->x() - 72 - 3);
        EXPECT_EQ(del->geometry(), QRect(3, 3, 65, del->height()));
        EXPECT_EQ(unarchive->x(), 72);
        EXPECT_EQ(bar->geometry().bottom(), viewer->clientHeight() - 1);
        EXPECT_EQ(archiveGrid()->height(), viewer->clientHeight() - bar->height());
    }
};

TEST_F(ArchiveGeometry, WithoutStoredGeometryItOpensAtItsDesignPlaceAndMinimumSize)
{
    writeData({});
    start();
    EXPECT_EQ(viewer->pos(), QPoint(238, 141));
    EXPECT_EQ(viewer->minimumSize(), QSize(350, 172));
    EXPECT_EQ(viewer->maximumSize(), QSize(screen().width() / 2, screen().height() / 3 * 2));
    showViewer();
    EXPECT_EQ(viewer->size(), QSize(350, 172));
    EXPECT_EQ(viewerButton("Button_close")->width(), 72);
    checkBarFollowsWidth();

    // Column widths set at showing; the task column takes the rest.
    ArchiveGrid *grid = archiveGrid();
    for (int c : {0, 3, 5, 6, 7, 8, 9})
        EXPECT_EQ(grid->colWidth(c), 0) << "column " << c;
    EXPECT_GE(grid->colWidth(Col::Date), 58);
    EXPECT_GE(grid->colWidth(Col::Date), grid->fontMetrics().horizontalAdvance("09/12/2026"));
    EXPECT_EQ(grid->colWidth(Col::Priority), 15);
    EXPECT_EQ(grid->colWidth(Col::Task), grid->width() - grid->colWidth(Col::Date) - 15 - 4);
    EXPECT_GE(grid->headerHeight(), 14);
    const QStringList headers = {"", "Task", "Date", "", "Pr"};
    for (int c = 0; c < headers.size(); ++c)
        EXPECT_EQ(grid->model()->headerData(c, Qt::Horizontal).toString(), headers[c]);
}

TEST_F(ArchiveGeometry, StoredPositionAndSizeAreUsedWhenSwitchedOn)
{
    writeSettings(
        "[Archive]\r\nWindowPosition=1\r\nWindowPositionLeft=100\r\nWindowPositionTop=50\r\n"
        "WindowSize=1\r\nWindowWidth=380\r\nWindowHeight=260\r\n");
    writeData({});
    start();
    EXPECT_EQ(viewer->pos(), QPoint(100, 50));
    EXPECT_EQ(viewer->size(), QSize(380, 260));
}

TEST_F(ArchiveGeometry, StoredPositionSwitchedOnWithoutValuesCentresTheWindow)
{
    writeSettings("[Archive]\r\nWindowPosition=1\r\n");
    writeData({});
    start();
    EXPECT_EQ(viewer->pos(),
              QPoint(screen().width() / 2 - 350 / 2, screen().height() / 2 - 172 / 2));
}

TEST_F(ArchiveGeometry, ResizingMovesTheButtonsAndWidensTheTaskColumn)
{
    writeData({});
    writeArchive(rec(text("One")));
    start();
    showViewer();
    viewer->resize(390, 300);
    checkBarFollowsWidth();
    ArchiveGrid *grid = archiveGrid();
    EXPECT_EQ(grid->colWidth(Col::Task), grid->width() - grid->colWidth(Col::Date) - 15 - 4);
}

TEST_F(ArchiveGeometry, RowsThatOverflowLeaveRoomForTheScrollBar)
{
    QByteArray many;
    for (int i = 0; i < 40; ++i)
        many += rec(text("Task " + QByteArray::number(i)));
    writeData({});
    writeArchive(many);
    start();
    showViewer();
    ArchiveGrid *grid = archiveGrid();
    ASSERT_LT(grid->visibleRowCount(), 40);
    EXPECT_EQ(grid->colWidth(Col::Task),
              grid->width() - grid->colWidth(Col::Date) - 15 - 4 - grid->scrollBarExtent());
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral(" Nudgery - Archived Events - [ 40 ]"));
}

TEST_F(ArchiveGeometry, ClosingStoresPositionAndSizeOnlyWhenSwitchedOn)
{
    writeSettings(
        "[Archive]\r\nWindowPosition=1\r\nWindowPositionLeft=120\r\nWindowPositionTop=70\r\n"
        "WindowSize=1\r\n");
    writeData({});
    start();
    showViewer();
    viewer->resize(360, 240);
    viewer->move(130, 90);
    viewer->close();
    EXPECT_EQ(stored("Archive", "WindowPositionLeft"), QStringLiteral("130"));
    EXPECT_EQ(stored("Archive", "WindowPositionTop"), QStringLiteral("90"));
    EXPECT_EQ(stored("Archive", "WindowWidth"), QStringLiteral("360"));
    EXPECT_EQ(stored("Archive", "WindowHeight"), QStringLiteral("240"));

    t.settings.setFlag(SettingKey::ArchWindowPosition, false);
    t.settings.setFlag(SettingKey::ArchWindowSize, false);
    showViewer();
    viewer->move(10, 10);
    viewer->close();
    EXPECT_EQ(stored("Archive", "WindowPositionLeft"), QStringLiteral("130"));
    EXPECT_EQ(stored("Archive", "WindowWidth"), QStringLiteral("309"));
    EXPECT_EQ(stored("Archive", "WindowHeight"), QStringLiteral("139"));
}

TEST_F(ArchiveGeometry, PreferencesReadOnceAtCreationAndWriteEachClickAtOnce)
{
    writeSettings("[Archive]\r\nWindowPosition=1\r\n");
    writeData({});
    start();
    QCheckBox *position = ui<QCheckBox>(options, "CheckBox1");
    QCheckBox *size = ui<QCheckBox>(options, "CheckBox2");
    QCheckBox *confirm = ui<QCheckBox>(options, "CheckBox3");
    QPushButton *done = ui<QPushButton>(options, "Button_pp_ok");
    EXPECT_EQ(options->windowTitle(), QStringLiteral(" Preferences ..."));
    EXPECT_TRUE(position->isChecked());
    EXPECT_FALSE(size->isChecked());
    EXPECT_TRUE(confirm->isChecked()); // confirming is the default
    EXPECT_EQ(position->text(), QStringLiteral("Save Window Position"));
    EXPECT_EQ(size->text(), QStringLiteral("Save Window Size"));
    EXPECT_EQ(confirm->text(), QStringLiteral("Confirm on un-archiving items"));
    EXPECT_EQ(done->text(), QStringLiteral("Done"));
    EXPECT_FALSE(options->windowFlags() & Qt::WindowCloseButtonHint);

    t.settings.setFlag(SettingKey::ArchWindowSize, true); // not read again
    options->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(options));
    EXPECT_FALSE(size->isChecked());
    EXPECT_GE(options->width(), 296);
    EXPECT_GE(options->height(), 68);
    EXPECT_EQ(position->pos(), QPoint(8, 8));
    EXPECT_GE(done->x(), 200);
    for (QCheckBox *box : {position, size, confirm})
        EXPECT_GE(box->width(), box->sizeHint().width());

    QTest::mouseClick(position, Qt::LeftButton);
    EXPECT_EQ(stored("Archive", "WindowPosition"), QStringLiteral("0"));
    QTest::mouseClick(size, Qt::LeftButton);
    EXPECT_EQ(stored("Archive", "WindowSize"), QStringLiteral("1"));
    QTest::mouseClick(confirm, Qt::LeftButton);
    EXPECT_EQ(stored("Archive", "UnArchivAsk"), QStringLiteral("0"));
    QTest::mouseClick(done, Qt::LeftButton);
    EXPECT_FALSE(options->isVisible());

    // The viewer follows the switch at once: no question before moving a task back.
    writeArchive(rec(text("Back")));
    showViewer();
    QTest::mouseClick(viewerButton("Button_Unarchive"), Qt::LeftButton);
    EXPECT_TRUE(t.messages.shown.isEmpty());
    EXPECT_EQ(mainTasks(), QStringList({"Back"}));
}

} // namespace
