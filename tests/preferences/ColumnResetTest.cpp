// The dialog's column reset acts on the main grid at once, and Cancel keeps it.
#include "PreferencesFixture.h"
#include "common/Eventually.h"

#include "store/TaskTable.h"
#include "widgets/TaskGrid.h"

#include <QScrollBar>

namespace {

using TestFiles::fields;
using TestFiles::record;

class ColumnResetTest : public PreferencesTest
{
protected:
    void startWithTasks(int count)
    {
        QByteArray bytes;
        for (int i = 0; i < count; ++i)
            bytes += record(fields({"", "Task " + QByteArray::number(i), "09/12/2026", "09:30", "",
                                    "0", "2026-12-09 09:30", "", "18", ""}));
        start();
        TestFiles::writeAll(t.file(FileNames::Data), bytes);
        t.tasks.refresh();
        showMain();
        main->resize(420, 300);
        ASSERT_TRUE(eventually([&] { return main->width() == 420; })) << main->width();
    }

    // Odd widths, then the reset button inside a cancelled command.
    void resetAndCancel()
    {
        TaskGrid &g = *grid();
        for (int c = 0; c < 5; ++c)
            g.setColWidth(c, 40 + c);
        cancel([&] { QTest::mouseClick(dialogButton("Button_resetCols"), Qt::LeftButton); });
    }

    void expectDefaults(int scrollBar)
    {
        TaskGrid &g = *grid();
        const int date = TaskGrid::dateColumnWidth(g.fontMetrics(), t.dates, t.clock.today());
        EXPECT_EQ(g.colWidth(Col::Done), 12);
        EXPECT_EQ(g.colWidth(Col::Date), date);
        EXPECT_EQ(g.colWidth(Col::Hour), 31);
        EXPECT_EQ(g.colWidth(Col::Priority), 12);
        EXPECT_EQ(g.colWidth(Col::Task), g.width() - 12 - date - 31 - 12 - scrollBar - 6);
        for (int c = Col::Order; c < Col::Count; ++c)
            EXPECT_EQ(g.colWidth(c), 0) << c;
    }
};

TEST_F(ColumnResetTest, shouldGiveTheTaskColumnTheRestOfTheGridWhenEveryRowFits)
{
    startWithTasks(2);
    ASSERT_GE(grid()->visibleRowCount(), 2);
    resetAndCancel();
    expectDefaults(0);
}

TEST_F(ColumnResetTest, shouldLeaveRoomForTheScrollBarWhenRowsOverflow)
{
    startWithTasks(60);
    ASSERT_LT(grid()->visibleRowCount(), 60);
    resetAndCancel();
    const int scrollBar = grid()->verticalScrollBar()->sizeHint().width();
    ASSERT_GT(scrollBar, 0);
    expectDefaults(scrollBar);
}

} // namespace
