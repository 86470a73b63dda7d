#include "GridFixture.h"

#include "mainwindow/VisibleColumnsMenu.h"

#include <QAction>

namespace {

class VisibleColumnsMenuTest : public GridTest
{
protected:
    VisibleColumnsMenuTest() { load({makeTask("A task", "15/03/2024")}); }

    QAction *item(const char *name) const
    {
        auto *submenu = menu.findChild<QMenu *>("pop4_VisibleCols");
        return submenu ? submenu->findChild<QAction *>(name) : nullptr;
    }

    int layouts = 0;
    VisibleColumnsMenu menu{&grid, &dates, &clock, [this] { ++layouts; }};
};

TEST_F(VisibleColumnsMenuTest, shouldOfferTheFiveVisibleColumnsInOneSubmenu)
{
    EXPECT_EQ(menu.objectName(), "PopupMenu4");
    auto *submenu = menu.findChild<QMenu *>("pop4_VisibleCols");
    ASSERT_NE(submenu, nullptr);
    EXPECT_EQ(submenu->title(), "Visible cols :");
    const QStringList captions = {"Done", "Task descript.", "Date", "Hour", "Priority"};
    const char *names[] = {"pop4_DoneCol", "pop4_TaskDescript", "pop4_DateCol", "pop4_HourCol",
                           "pop4_PriorityCol"};
    ASSERT_EQ(submenu->actions().size(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(submenu->actions()[i], item(names[i]));
        EXPECT_EQ(submenu->actions()[i]->text(), captions[i]);
        EXPECT_TRUE(submenu->actions()[i]->isCheckable());
    }
}

TEST_F(VisibleColumnsMenuTest, shouldCheckOnlyColumnsWiderThanThreePixels)
{
    grid.setColWidth(Col::Done, 0);
    grid.setColWidth(Col::Hour, 3);
    grid.setColWidth(Col::Priority, 4);
    emit menu.aboutToShow();
    EXPECT_FALSE(item("pop4_DoneCol")->isChecked());
    EXPECT_TRUE(item("pop4_TaskDescript")->isChecked());
    EXPECT_TRUE(item("pop4_DateCol")->isChecked());
    EXPECT_FALSE(item("pop4_HourCol")->isChecked());
    EXPECT_TRUE(item("pop4_PriorityCol")->isChecked());
}

TEST_F(VisibleColumnsMenuTest, shouldHideColumnsThreePixelsOrWiderThenRunTheLayout)
{
    grid.setColWidth(Col::Hour, 3);
    emit menu.aboutToShow();
    item("pop4_HourCol")->trigger();
    EXPECT_EQ(grid.colWidth(Col::Hour), 0);
    EXPECT_EQ(layouts, 1);

    item("pop4_TaskDescript")->trigger();
    EXPECT_EQ(grid.colWidth(Col::Task), 0);
    EXPECT_EQ(layouts, 2);
}

TEST_F(VisibleColumnsMenuTest, shouldShowHiddenColumnsAtTheirDefaultWidths)
{
    for (int c = 0; c <= Col::Priority; ++c)
        grid.setColWidth(c, c == Col::Hour ? 2 : 0);
    emit menu.aboutToShow();
    for (const char *name :
         {"pop4_DoneCol", "pop4_TaskDescript", "pop4_DateCol", "pop4_HourCol", "pop4_PriorityCol"})
        item(name)->trigger();

    EXPECT_EQ(grid.colWidth(Col::Done), 12);
    EXPECT_EQ(grid.colWidth(Col::Task), 206);
    // Today's date in the grid's font, plus 6.
    EXPECT_EQ(grid.colWidth(Col::Date), grid.fontMetrics().horizontalAdvance("15/03/2024") + 6);
    EXPECT_EQ(grid.colWidth(Col::Hour), 31);
    EXPECT_EQ(grid.colWidth(Col::Priority), 12);
    EXPECT_EQ(layouts, 5);
    EXPECT_TRUE(item("pop4_DateCol")->isChecked());
}

} // namespace
