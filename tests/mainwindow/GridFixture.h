#pragma once

#include "store/Clock.h"
#include "store/DateFormat.h"
#include "store/TaskTable.h"
#include "widgets/TaskGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QMouseEvent>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

class FixedClock : public Clock
{
public:
    QDateTime now() const override { return at; }
    QDateTime at{QDate(2024, 3, 15), QTime(10, 0)};
};

inline TaskRow makeTask(const QString &task, const QString &date, const QString &done = {},
                        const QString &textColor = QStringLiteral("18"), const QString &note = {})
{
    TaskRow row;
    row[Col::Done] = done;
    row[Col::Task] = task;
    row[Col::Date] = date;
    row[Col::Hour] = QStringLiteral("09:30");
    row[Col::TextColor] = textColor;
    row[Col::Note] = note;
    return row;
}

// A shown grid over a hand-filled table, today being 15/03/2024.
class GridTest : public ::testing::Test
{
protected:
    GridTest()
    {
        const QStringList captions = {QString(), "Task", "Date", "Hour", "Pr",
                                      "order",   "Date", "Type", "TxtC", "Note"};
        for (int c = 0; c < Col::Count; ++c)
            table.setHeader(c, captions[c]);
        grid.setTable(&table);
        grid.setDateServices(&dates, &clock);
        grid.resize(360, 160);
        grid.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&grid));
    }

    void load(std::vector<TaskRow> rows) { table.setTasks(std::move(rows)); }

    QImage shot() { return grid.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    // Pixels of a cell (its one-pixel border left out) that satisfy a test.
    static int countPixels(const QImage &image, const QRect &cell,
                           const std::function<bool(QColor)> &test)
    {
        int n = 0;
        const QRect inner = cell.adjusted(1, 1, -1, -1);
        for (int y = inner.top(); y <= inner.bottom(); ++y)
            for (int x = inner.left(); x <= inner.right(); ++x)
                n += test(image.pixelColor(x, y)) ? 1 : 0;
        return n;
    }

    // A point in the grid's coordinates sent as a mouse event to a child widget.
    void mouse(QWidget *target, QEvent::Type type, const QPoint &gridPos,
               Qt::MouseButton button = Qt::LeftButton, Qt::MouseButtons buttons = Qt::NoButton)
    {
        const QPoint local = target->mapFrom(&grid, gridPos);
        QMouseEvent event(type, QPointF(local), QPointF(target->mapToGlobal(local)), button,
                          buttons, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
    void moveTo(const QPoint &gridPos)
    {
        QWidget *target = gridPos.y() < grid.viewport()->y() ? grid.horizontalHeader()->viewport()
                                                             : grid.viewport();
        mouse(target, QEvent::MouseMove, gridPos, Qt::NoButton);
    }

    TaskTable table;
    DateFormat dates{QStringLiteral("dd/MM/yyyy")};
    FixedClock clock;
    TaskGrid grid;
};

inline bool isReddish(QColor c)
{
    return c.red() >= 200 && c.green() <= 90 && c.blue() <= 90;
}

inline bool isDark(QColor c)
{
    return c.red() < 100 && c.green() < 100 && c.blue() < 100;
}
