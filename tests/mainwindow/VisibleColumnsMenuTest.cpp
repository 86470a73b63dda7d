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

    VisibleColumnsMenu menu{&grid, &dates, &clock, {}};
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

} // namespace
