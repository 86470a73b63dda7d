// The row-sort routine on a bare task table.
#include "tasks/SortRows.h"
#include "store/TaskTable.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <functional>

namespace {

// One task per key, its order cell naming the row it started in.
void fill(TaskTable &table, int column, const QStringList &keys)
{
    std::vector<TaskRow> rows;
    for (int i = 0; i < keys.size(); ++i) {
        TaskRow row;
        row[Col::Task] = QStringLiteral("task %1").arg(i + 1);
        row[Col::Order] = QString::number(i + 1);
        row[size_t(column)] = keys[i];
        rows.push_back(row);
    }
    table.setTasks(std::move(rows));
}

QStringList column(const TaskTable &table, int col)
{
    QStringList out;
    for (int r = 1; r < table.rowCount(); ++r)
        out << table.cell(col, r);
    return out;
}

TEST(SortRows, shouldIgnoreCaseInBothDirections)
{
    TaskTable table;
    fill(table, Col::Task, {"cherry", "apple", "Banana"});
    SortRows(table, Col::Task, true);
    EXPECT_EQ(column(table, Col::Task), QStringList({"apple", "Banana", "cherry"}));
    SortRows(table, Col::Task, false);
    EXPECT_EQ(column(table, Col::Task), QStringList({"cherry", "Banana", "apple"}));
}

TEST(SortRows, shouldMoveWholeRowsAndLeaveTheHeader)
{
    TaskTable table;
    table.setHeader(Col::Task, "Task");
    fill(table, Col::Category, {"Work", "Home", "Garden"});
    table.setCell(Col::Note, 1, "note of Work");
    SortRows(table, Col::Category, true);
    EXPECT_EQ(table.header(Col::Task), "Task");
    EXPECT_EQ(column(table, Col::Category), QStringList({"Garden", "Home", "Work"}));
    EXPECT_EQ(column(table, Col::Order), QStringList({"3", "2", "1"}));
    EXPECT_EQ(table.cell(Col::Note, 3), "note of Work");
}

TEST(SortRows, shouldCompareKeysThatDifferOnlyInCaseAsEqual)
{
    EXPECT_EQ(CompareCellText("apple", "APPLE"), 0);
    EXPECT_EQ(CompareCellText("Work", "work"), 0);
    EXPECT_LT(CompareCellText("apple", "Banana"), 0);
    EXPECT_GT(CompareCellText("cherry", "Banana"), 0);
    EXPECT_LT(CompareCellText("", "a"), 0);

    // Equal keys stay together between the keys around them, whichever way.
    TaskTable table;
    fill(table, Col::Task, {"work", "zebra", "Work", "alpha", "WORK"});
    SortRows(table, Col::Task, true);
    QStringList keys = column(table, Col::Task);
    EXPECT_EQ(keys.first(), "alpha");
    EXPECT_EQ(keys.last(), "zebra");
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(keys[i].toLower(), "work");
    SortRows(table, Col::Task, false);
    keys = column(table, Col::Task);
    EXPECT_EQ(keys.first(), "zebra");
    EXPECT_EQ(keys.last(), "alpha");
}

TEST(SortRows, shouldOrderSortKeysByTimeAndHoursByClock)
{
    TaskTable table;
    fill(table, Col::SortKey,
         {"2026-12-09 10:00", "2025-01-31 23:59", "2026-02-01 08:00", "2026-12-09 09:30",
          "2027-01-01 00:00"});
    SortRows(table, Col::SortKey, true);
    EXPECT_EQ(column(table, Col::SortKey),
              QStringList({"2025-01-31 23:59", "2026-02-01 08:00", "2026-12-09 09:30",
                           "2026-12-09 10:00", "2027-01-01 00:00"}));

    fill(table, Col::Hour, {"18:05", "07:45", "00:00", "23:59"});
    SortRows(table, Col::Hour, false);
    EXPECT_EQ(column(table, Col::Hour), QStringList({"23:59", "18:05", "07:45", "00:00"}));
}

TEST(SortRows, shouldGroupOpenAndFinishedTasksByTheDoneColumn)
{
    TaskTable table;
    QStringList done;
    for (int i = 0; i < 200; ++i)
        done << (i % 3 == 0 ? DoneMark : (i % 2 ? QString() : QStringLiteral(" ")));
    fill(table, Col::Done, done);
    SortRows(table, Col::Done, false);
    const QStringList sorted = column(table, Col::Done);
    const int finished = int(done.count(DoneMark));
    for (int i = 0; i < sorted.size(); ++i)
        EXPECT_EQ(sorted[i] == DoneMark, i < finished) << "row " << i + 1;
    // Every row is still there once.
    QStringList orders = column(table, Col::Order);
    orders.sort();
    QStringList expected;
    for (int i = 1; i <= 200; ++i)
        expected << QString::number(i);
    expected.sort();
    EXPECT_EQ(orders, expected);
}

TEST(SortRows, shouldLeaveAnEmptyTableOrASingleTaskAsItWas)
{
    TaskTable table;
    SortRows(table, Col::Task, true);
    EXPECT_EQ(table.rowCount(), 2);
    EXPECT_TRUE(table.isEmpty());

    fill(table, Col::Task, {"only"});
    SortRows(table, Col::Task, false);
    EXPECT_EQ(column(table, Col::Task), QStringList({"only"}));
}

// Texts of the shapes a column holds: free ASCII text (letters of both cases,
// digits, punctuation, spaces), dates and hours with empty ones among them,
// text with accented letters. Whatever way the sort takes for each, the result
// is in the collation's order and keeps every row.
TEST(SortRows, shouldOrderRandomColumnsAsTheCollationComparesThem)
{
    QRandomGenerator random(7);
    const QString ascii = QStringLiteral(" !-.,:;_/()#&'09aAbBzZ~");
    const QString accented = QStringLiteral("aáAÁeéEçÇoõ ");
    const auto text = [&](const QString &alphabet, int longest) {
        QString t;
        for (int k = int(random.bounded(longest + 1)); k > 0; --k)
            t += alphabet[int(random.bounded(int(alphabet.size())))];
        return t;
    };
    const auto dateOrEmpty = [&] {
        if (random.bounded(8) == 0)
            return QString();
        return QStringLiteral("2026-%1-%2 %3:%4")
            .arg(1 + random.bounded(12), 2, 10, QLatin1Char('0'))
            .arg(1 + random.bounded(28), 2, 10, QLatin1Char('0'))
            .arg(random.bounded(24), 2, 10, QLatin1Char('0'))
            .arg(random.bounded(60), 2, 10, QLatin1Char('0'));
    };
    const std::vector<std::function<QString()>> shapes = {
        [&] { return text(ascii, 6); }, dateOrEmpty, [&] { return text(accented, 5); }};
    for (size_t shape = 0; shape < shapes.size(); ++shape) {
        for (bool ascending : {true, false}) {
            QStringList keys;
            for (int i = 0; i < 400; ++i)
                keys << shapes[shape]();
            TaskTable table;
            fill(table, Col::Task, keys);
            SortRows(table, Col::Task, ascending);
            const QStringList sorted = column(table, Col::Task);
            for (int i = 0; i + 1 < sorted.size(); ++i) {
                const int c = CompareCellText(sorted[i], sorted[i + 1]);
                ASSERT_TRUE(ascending ? c <= 0 : c >= 0)
                    << "shape " << shape << ": \"" << sorted[i].toStdString() << "\" before \""
                    << sorted[i + 1].toStdString() << "\"";
            }
            QStringList a = sorted, b = keys;
            a.sort();
            b.sort();
            ASSERT_EQ(a, b) << "shape " << shape;
        }
    }
}

TEST(SortRows, shouldKeepRowsWithEqualKeysInTheOrderOfTheirRecordsEitherWay)
{
    // Many ties on each of the routine's ways: digits, ASCII text, other text.
    const std::vector<std::pair<const char *, QStringList>> cases = {
        {"priority digits", {"", "1", "3"}},
        {"ASCII text", {"Home", "home", "Work"}},
        {"other text", {"Caf\u00e9", "caf\u00c9", "\u00c9t\u00e9"}},
    };
    QRandomGenerator random(7);
    for (const auto &[what, values] : cases) {
        SCOPED_TRACE(what);
        const int column = QByteArray(what).startsWith("priority") ? Col::Priority : Col::Task;
        // Rows in a shuffled order, each naming the offset of its record.
        std::vector<TaskRow> rows;
        for (int i = 0; i < 300; ++i) {
            TaskRow row;
            row[size_t(column)] = values[int(random.bounded(3))];
            row[Col::Note] = QString::number(i);
            row[Col::Order] = QString::number(1000 + 300 * qint64(random.bounded(100000)) + i);
            rows.push_back(row);
        }
        TaskTable table;
        table.setTasks(std::move(rows));
        for (bool ascending : {true, false}) {
            SortRows(table, column, ascending);
            for (int r = 2; r < table.rowCount(); ++r) {
                const int c = CompareCellText(table.cell(column, r - 1), table.cell(column, r));
                ASSERT_TRUE(ascending ? c <= 0 : c >= 0) << r;
                if (c == 0) {
                    ASSERT_LT(table.cell(Col::Order, r - 1).toLongLong(),
                              table.cell(Col::Order, r).toLongLong())
                        << "rows " << r - 1 << " and " << r << " tie out of file order";
                }
            }
        }
    }
}

} // namespace
