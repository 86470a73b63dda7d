// Speed of SortRows at 1,000, 10,000 and 100,000 tasks on the columns a user
// sorts by, each beside its floor measured in the same run: std::sort over the
// same column's collation keys, computed beforehand. "ratio" is SortRows / floor,
// both in CPU time.
#include "store/TaskTable.h"
#include "tasks/SortRows.h"

#include <QCollator>
#include <QCoreApplication>
#include <QLocale>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <ctime>
#include <random>
#include <vector>

namespace {

// Rows in a shuffled order, as a user's list stands before a sort.
std::vector<TaskRow> makeRows(int count)
{
    std::mt19937 gen(20261209);
    static const char *words[] = {"call", "Buy", "write", "Pay", "book", "Fix", "send", "plan"};
    std::vector<TaskRow> rows(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        TaskRow &row = rows[size_t(i)];
        const int day = 1 + int(gen() % 28);
        const int hour = int(gen() % 24);
        const int minute = int(gen() % 60);
        row[Col::Done] = gen() % 3 == 0 ? DoneMark : QString();
        row[Col::Task] = QStringLiteral("%1 %2 number %3")
                             .arg(QLatin1String(words[gen() % 8]), QLatin1String(words[gen() % 8]))
                             .arg(gen() % 1000000);
        row[Col::Date] = QStringLiteral("%1/12/2026").arg(day, 2, 10, QLatin1Char('0'));
        row[Col::Hour] = QStringLiteral("%1:%2")
                             .arg(hour, 2, 10, QLatin1Char('0'))
                             .arg(minute, 2, 10, QLatin1Char('0'));
        row[Col::Priority] = QString::number(gen() % 6);
        row[Col::Order] = QString::number(i * 64);
        row[Col::SortKey] =
            QStringLiteral("2026-12-%1 %2").arg(day, 2, 10, QLatin1Char('0')).arg(row[Col::Hour]);
        row[Col::Category] = gen() % 4 ? QStringLiteral("Work") : QStringLiteral("Home");
        row[Col::TextColor] = QStringLiteral("18");
    }
    return rows;
}

// This thread's CPU time: on a shared machine, wall time would count other
// programs' turns against either side of the ratio.
double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

void BM_SortRows(benchmark::State &state)
{
    const int count = int(state.range(0));
    const int column = int(state.range(1));
    const std::vector<TaskRow> rows = makeRows(count);

    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(rows.size());
    for (const TaskRow &row : rows)
        keys.push_back(collator.sortKey(row[size_t(column)]));

    TaskTable table;
    double sortSeconds = 0;
    double floorSeconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        table.setTasks(std::vector<TaskRow>(rows));
        std::vector<int> order(rows.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = int(i);
        state.ResumeTiming();

        const double t0 = cpuSeconds();
        SortRows(table, column, true);
        const double t1 = cpuSeconds();
        std::sort(order.begin(), order.end(),
                  [&](int a, int b) { return keys[size_t(a)].compare(keys[size_t(b)]) < 0; });
        const double t2 = cpuSeconds();
        benchmark::DoNotOptimize(order.data());
        sortSeconds += t1 - t0;
        floorSeconds += t2 - t1;
    }
    const double n = double(state.iterations());
    state.counters["sortrows_ms"] = sortSeconds / n * 1e3;
    state.counters["floor_ms"] = floorSeconds / n * 1e3;
    state.counters["ratio"] = floorSeconds > 0 ? sortSeconds / floorSeconds : 0;
}

void sortArgs(benchmark::internal::Benchmark *b)
{
    b->ArgNames({"tasks", "column"});
    for (int count : {1000, 10000, 100000})
        for (int column : {int(Col::Done), int(Col::Priority), int(Col::Task), int(Col::SortKey)})
            b->Args({count, column});
}

} // namespace

BENCHMARK(BM_SortRows)->Apply(sortArgs)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
