#include "GridFixture.h"

#include "store/StoreError.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QHelpEvent>
#include <QSignalSpy>
#include <QTextDocument>
#include <QToolTip>

namespace {

std::vector<TaskRow> fiveTasks()
{
    std::vector<TaskRow> rows;
    for (int i = 1; i <= 5; ++i)
        rows.push_back(makeTask(QStringLiteral("Task %1").arg(i), "01/01/2024", {}, "18",
                                i == 2 ? QStringLiteral("Line one\r\nLine two") : QString()));
    rows[2][Col::Note] = QStringLiteral("   ");
    return rows;
}

class TaskGridTest : public GridTest
{
protected:
    QPoint centre(int col, int row) const { return grid.cellRect(col, row).center(); }
};

TEST_F(TaskGridTest, shouldShowTheTasksUnderHeaderCaptionsFromRowZero)
{
    QAbstractItemModelTester tester(grid.model(),
                                    QAbstractItemModelTester::FailureReportingMode::Warning);
    load(fiveTasks());

    EXPECT_EQ(grid.model()->rowCount(), 5);
    EXPECT_EQ(grid.model()->index(0, Col::Task).data().toString(), "Task 1");
    EXPECT_EQ(grid.model()->index(4, Col::Task).data().toString(), "Task 5");
    EXPECT_EQ(grid.model()->headerData(Col::Task, Qt::Horizontal).toString(), "Task");

    QSignalSpy headerChanged(grid.model(), &QAbstractItemModel::headerDataChanged);
    table.setHeader(Col::Task, "Tarefa");
    EXPECT_EQ(headerChanged.count(), 1);
    EXPECT_EQ(grid.model()->headerData(Col::Task, Qt::Horizontal).toString(), "Tarefa");

    table.setCell(Col::Task, 3, "Changed");
    EXPECT_EQ(grid.model()->index(2, Col::Task).data().toString(), "Changed");
    table.setRowCount(8);
    EXPECT_EQ(grid.model()->rowCount(), 7);
    table.setRowCount(3);
    EXPECT_EQ(grid.model()->rowCount(), 2);
    table.clearTasks();
    EXPECT_EQ(grid.model()->rowCount(), 1);
}

TEST_F(TaskGridTest, shouldStartWithTheDesignedColumnWidthsAndKeepDataColumnsHidden)
{
    const int widths[] = {12, 206, 61, 31, 12, 0, 0, 0, 0, 0};
    for (int c = 0; c < Col::Count; ++c)
        EXPECT_EQ(grid.colWidth(c), widths[c]) << "column " << c;

    grid.setColWidth(Col::Note, 40);
    grid.setColWidth(Col::Hour, 0);
    grid.setColWidth(Col::Date, 3);
    load(fiveTasks()); // a reload keeps the widths
    EXPECT_EQ(grid.colWidth(Col::Note), 0);
    EXPECT_EQ(grid.colWidth(Col::Hour), 0);
    EXPECT_EQ(grid.colWidth(Col::Date), 3);
    EXPECT_EQ(grid.horizontalHeader()->sectionResizeMode(Col::Task), QHeaderView::Interactive);
}

TEST_F(TaskGridTest, shouldSizeRowsAndHeaderToTheDesignOrTheFont)
{
    load(fiveTasks());
    const int fontHeight = grid.fontMetrics().height();
    EXPECT_LE(grid.font().pointSizeF(), 8);
    EXPECT_EQ(grid.font().family(), QApplication::font().family());
    // An hour fits the designed 31-pixel column after the 2-pixel text offset.
    EXPECT_LE(grid.fontMetrics().horizontalAdvance("00:00") + 2, 31);
    EXPECT_EQ(grid.cellRect(Col::Task, 1).height(), std::max(15, fontHeight + 2));
    EXPECT_EQ(grid.cellRect(Col::Task, 0).height(), std::max(14, fontHeight + 1));

    QFont large = grid.font();
    large.setPointSize(20);
    grid.setFont(large);
    const int largeHeight = QFontMetrics(large).height();
    EXPECT_EQ(grid.cellRect(Col::Task, 2).height(), largeHeight + 2);
    EXPECT_EQ(grid.cellRect(Col::Task, 0).height(), largeHeight + 1);
}

TEST_F(TaskGridTest, shouldMapPointsToCellsAndBackHeaderIncluded)
{
    load(fiveTasks());
    for (int r = 0; r <= 5; ++r) {
        for (int c = 0; c <= Col::Priority; ++c) {
            const QRect rect = grid.cellRect(c, r);
            const TaskGrid::CellPos at = grid.cellAt(rect.center());
            EXPECT_EQ(at.col, c) << "row " << r;
            EXPECT_EQ(at.row, r) << "column " << c;
        }
    }
    // The header sits at the top, the first task right under it.
    const QRect header = grid.cellRect(Col::Task, 0);
    EXPECT_EQ(header.top(), grid.frameWidth());
    EXPECT_EQ(grid.cellRect(Col::Task, 1).top(), header.bottom() + 1);
    EXPECT_EQ(grid.cellRect(Col::Task, 1).left(), header.left());
    EXPECT_EQ(grid.cellRect(Col::Task, 1).width(), 206);

    const QRect last = grid.cellRect(Col::Task, 5);
    EXPECT_EQ(grid.cellAt(last.bottomLeft() + QPoint(0, 3)).row, -1) << "below the rows";
    EXPECT_EQ(grid.cellAt(last.bottomLeft() + QPoint(0, 3)).col, -1);
    const QRect priority = grid.cellRect(Col::Priority, 0);
    EXPECT_EQ(grid.cellAt(priority.topRight() + QPoint(5, 2)).row, -1) << "right of the columns";
    EXPECT_EQ(grid.cellAt(QPoint(-1, -1)).row, -1);
    EXPECT_TRUE(grid.cellRect(Col::Task, 6).isNull());
}

TEST_F(TaskGridTest, shouldMoveTheCurrentRowAndRefuseRowsOutsideTheTable)
{
    load(fiveTasks());
    QSignalSpy changed(&grid, &TaskGrid::currentCellChanged);

    grid.setCurrentRow(3);
    EXPECT_EQ(grid.currentRow(), 3);
    EXPECT_EQ(grid.currentIndex().column(), Col::Task);
    EXPECT_EQ(grid.selectionTop(), 3);
    EXPECT_EQ(grid.selectionBottom(), 3);
    EXPECT_EQ(changed.count(), 1);

    grid.selectRows(2, 4);
    for (int bad : {0, -1, 6}) {
        try {
            grid.setCurrentRow(bad);
            ADD_FAILURE() << "row " << bad << " accepted";
        } catch (const StoreError &e) {
            EXPECT_EQ(e.message(), "Grid index out of range");
        }
    }
    EXPECT_EQ(grid.selectionTop(), 2);
    EXPECT_EQ(grid.selectionBottom(), 4);
    EXPECT_EQ(grid.currentRow(), 4);

    // Choosing the current row again keeps the range.
    grid.setCurrentRow(4);
    EXPECT_EQ(grid.selectionTop(), 2);
    grid.setCurrentRow(1);
    EXPECT_EQ(grid.selectionTop(), 1);
    EXPECT_EQ(grid.selectionBottom(), 1);
}

TEST_F(TaskGridTest, shouldKeepACurrentRowAcrossReloads)
{
    load(fiveTasks());
    EXPECT_EQ(grid.currentRow(), 1);
    EXPECT_TRUE(grid.selectionModel()->isRowSelected(0, {}));
    grid.setCurrentRow(5);
    load({makeTask("Only", "01/01/2024"), makeTask("Two", "01/01/2024")});
    EXPECT_EQ(grid.currentRow(), 2);
    EXPECT_EQ(grid.selectionTop(), 2);
}

TEST_F(TaskGridTest, shouldReportKeyboardMovesOfTheCurrentRow)
{
    load(fiveTasks());
    grid.setCurrentRow(2);
    QSignalSpy changed(&grid, &TaskGrid::currentCellChanged);
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(grid.currentRow(), 3);
    QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(grid.selectionTop(), 3);
    EXPECT_EQ(grid.selectionBottom(), 4);
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(TaskGridTest, shouldRecordPressesOnRowsAndLeaveTheSelectionToTheOwnerOnRightPress)
{
    load(fiveTasks());
    QSignalSpy pressed(&grid, &TaskGrid::gridMousePressed);
    QSignalSpy released(&grid, &TaskGrid::gridMouseReleased);

    mouse(grid.viewport(), QEvent::MouseButtonPress, centre(Col::Date, 4), Qt::LeftButton,
          Qt::LeftButton);
    mouse(grid.viewport(), QEvent::MouseButtonRelease, centre(Col::Date, 4));
    EXPECT_EQ(grid.currentRow(), 4);
    EXPECT_EQ(grid.hoverRow(), 4);
    EXPECT_EQ(grid.hoverCol(), Col::Date);
    ASSERT_EQ(pressed.count(), 1);
    EXPECT_EQ(pressed[0][0].value<Qt::MouseButton>(), Qt::LeftButton);
    EXPECT_EQ(pressed[0][1].toInt(), Col::Date);
    EXPECT_EQ(pressed[0][2].toInt(), 4);
    ASSERT_EQ(released.count(), 1);
    EXPECT_EQ(released[0][1].toPoint(), centre(Col::Date, 4));

    grid.selectRows(1, 3);
    mouse(grid.viewport(), QEvent::MouseButtonPress, centre(Col::Task, 2), Qt::RightButton,
          Qt::RightButton);
    EXPECT_EQ(grid.selectionTop(), 1);
    EXPECT_EQ(grid.selectionBottom(), 3);
    EXPECT_EQ(grid.hoverRow(), 2);
    EXPECT_EQ(pressed.last()[0].value<Qt::MouseButton>(), Qt::RightButton);

    QSignalSpy doubled(&grid, &TaskGrid::gridDoubleClicked);
    mouse(grid.viewport(), QEvent::MouseButtonDblClick, centre(Col::Done, 5), Qt::LeftButton,
          Qt::LeftButton);
    EXPECT_EQ(doubled.count(), 1);
    EXPECT_EQ(grid.hoverRow(), 5);
    EXPECT_EQ(grid.hoverCol(), Col::Done);
}

TEST_F(TaskGridTest, shouldRecordHeaderPressesAndStillResizeColumns)
{
    load(fiveTasks());
    grid.setCurrentRow(2);
    QSignalSpy pressed(&grid, &TaskGrid::gridMousePressed);
    QSignalSpy released(&grid, &TaskGrid::gridMouseReleased);
    QWidget *header = grid.horizontalHeader()->viewport();

    mouse(header, QEvent::MouseButtonPress, centre(Col::Hour, 0), Qt::RightButton, Qt::RightButton);
    ASSERT_EQ(pressed.count(), 1);
    EXPECT_EQ(pressed[0][1].toInt(), Col::Hour);
    EXPECT_EQ(pressed[0][2].toInt(), 0);
    EXPECT_EQ(grid.hoverRow(), 0);
    EXPECT_EQ(grid.hoverCol(), Col::Hour);
    EXPECT_EQ(grid.currentRow(), 2);

    // Drag the border between the date and hour columns 20 pixels to the right.
    const QRect date = grid.cellRect(Col::Date, 0);
    const QPoint border(date.right() - 1, date.center().y());
    mouse(header, QEvent::MouseButtonPress, border, Qt::LeftButton, Qt::LeftButton);
    mouse(header, QEvent::MouseMove, border + QPoint(20, 0), Qt::NoButton, Qt::LeftButton);
    mouse(header, QEvent::MouseButtonRelease, border + QPoint(20, 0));
    EXPECT_EQ(grid.colWidth(Col::Date), 81);
    EXPECT_EQ(grid.hoverRow(), 0);
    ASSERT_EQ(released.count(), 1);
    EXPECT_EQ(released[0][0].value<Qt::MouseButton>(), Qt::LeftButton);
    EXPECT_EQ(released[0][1].toPoint(), border + QPoint(20, 0));
    EXPECT_EQ(grid.currentRow(), 2);
}

TEST_F(TaskGridTest, shouldSetTheNoteHintOnceForEachRowTheMouseEnters)
{
    load(fiveTasks());

    moveTo(centre(Col::Task, 2));
    EXPECT_EQ(grid.hoverRow(), 2);
    EXPECT_EQ(grid.hintText(), "Line one\r\nLine two");

    moveTo(centre(Col::Task, 3));
    EXPECT_EQ(grid.hintText(), "[no note..]") << "a note of blanks";
    moveTo(centre(Col::Task, 1));
    EXPECT_EQ(grid.hintText(), "[no note..]") << "an empty note";

    // Moving within the same row changes nothing, not even the hover column.
    grid.clearHint();
    moveTo(centre(Col::Hour, 1));
    EXPECT_EQ(grid.hintText(), "");
    EXPECT_EQ(grid.hoverCol(), Col::Task);
    moveTo(centre(Col::Hour, 2));
    EXPECT_EQ(grid.hintText(), "Line one\r\nLine two");
    EXPECT_EQ(grid.hoverCol(), Col::Hour);

    // The header and the space below the rows only move the hover.
    moveTo(centre(Col::Date, 0));
    EXPECT_EQ(grid.hoverRow(), 0);
    EXPECT_EQ(grid.hoverCol(), Col::Date);
    moveTo(grid.cellRect(Col::Task, 5).bottomLeft() + QPoint(2, 4));
    EXPECT_EQ(grid.hoverRow(), -1);
    EXPECT_EQ(grid.hoverCol(), -1);
    // Back to the row last hinted: it counts as a new row again.
    grid.clearHint();
    moveTo(centre(Col::Task, 2));
    EXPECT_EQ(grid.hintText(), "Line one\r\nLine two");
}

TEST_F(TaskGridTest, shouldSetNoHintWithHintsOffOrOnAnEmptyTable)
{
    load(fiveTasks());
    grid.setShowNoteHints(false);
    moveTo(centre(Col::Task, 2));
    EXPECT_EQ(grid.hoverRow(), 2);
    EXPECT_EQ(grid.hintText(), "");

    grid.setShowNoteHints(true);
    table.clearTasks();
    grid.setHover(-1, -1);
    moveTo(centre(Col::Task, 1));
    EXPECT_EQ(grid.hoverRow(), -1) << "an empty table ignores mouse moves";
    EXPECT_EQ(grid.hintText(), "");
}

TEST_F(TaskGridTest, shouldShowTheNoteAsTooltipWhenTheMouseRests)
{
    std::vector<TaskRow> rows = fiveTasks();
    rows[3][Col::Note] = QStringLiteral("<b>bold</b> note\r\n  indented");
    load(rows);
    // What the tooltip shows a reader, whatever markup carries it.
    const auto shown = [] {
        QTextDocument doc;
        doc.setHtml(QToolTip::text());
        return doc.toPlainText().replace(QChar::Nbsp, QLatin1Char(' '));
    };
    const auto rest = [this](const QPoint &gridPos) {
        const QPoint local = grid.viewport()->mapFrom(&grid, gridPos);
        QHelpEvent help(QEvent::ToolTip, local, grid.viewport()->mapToGlobal(local));
        QApplication::sendEvent(grid.viewport(), &help);
    };

    moveTo(centre(Col::Task, 3));
    rest(centre(Col::Task, 3));
    ASSERT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(shown(), "[no note..]");

    moveTo(centre(Col::Task, 2));
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 3000));
    rest(centre(Col::Task, 2));
    ASSERT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(shown(), "Line one\nLine two");
    // Once hidden, it does not come back while the mouse stays in the row.
    QToolTip::hideText();
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 3000));
    rest(centre(Col::Task, 2));
    EXPECT_FALSE(QToolTip::isVisible());

    // Markup in a note is text, and every line is shown.
    moveTo(centre(Col::Task, 4));
    rest(centre(Col::Task, 4));
    ASSERT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(shown(), "<b>bold</b> note\n  indented");

    grid.setShowNoteHints(false);
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 3000));
    rest(centre(Col::Task, 2));
    EXPECT_FALSE(QToolTip::isVisible());
}

} // namespace

TEST_F(GridTest, shouldNotSelectEveryRowOnCtrlA)
{
    load({makeTask("a", "01/01/2024"), makeTask("b", "02/01/2024"), makeTask("c", "03/01/2024")});
    grid.setCurrentRow(2);
    QTest::keyClick(&grid, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(grid.selectionTop(), 2);
    EXPECT_EQ(grid.selectionBottom(), 2);
}
