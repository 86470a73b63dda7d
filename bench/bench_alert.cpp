// The alarm timer's check over 1,000, 10,000 and 100,000 tasks, run on the
// interface thread every five seconds, beside its floor measured in the same
// run: one pass comparing a precomputed vector of hour texts with the minute.
// "ratio" is check / floor. Also the start-up agenda, which runs once.
#include "BenchData.h"
#include "reminders/Reminders.h"
#include "store/DamagedFiles.h"
#include "store/DateFormat.h"
#include "store/TaskDataFile.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <chrono>
#include <vector>

namespace {

const QDateTime Now(QDate(2026, 12, 9), QTime(10, 30, 5));

// Tasks over 28 days and 24 hours; a third are done. About one in 1,000 is due now.
QString fileFor(int records)
{
    return benchTaskFile(QStringLiteral("alert"), records, [](int i) {
        TaskRow row = benchTask(i, 1 + i % 28, (i / 28) % 24);
        row[Col::Done] = i % 3 == 1 ? DoneMark : QString();
        return row;
    });
}

double seconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// A tick after an earlier tick: the cells the check reads are already decoded.
void BM_AlertCheck(benchmark::State &state)
{
    DamagedFiles damaged;
    TaskTable table;
    TaskDataFile(fileFor(int(state.range(0))), damaged).LoadTasks(table, AllItems);
    const DateFormat dates(QStringLiteral("dd/MM/yyyy"));
    Reminders::alertText(table, dates, Now);
    std::vector<QString> hours;
    for (int r = 1; r < table.rowCount(); ++r)
        hours.push_back(table.cell(Col::Hour, r));
    const QString minute = dates.formatTime(Now.time(), QStringLiteral("hh:nn"));

    double checkSeconds = 0;
    double floorSeconds = 0;
    qsizetype listed = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const QString text = Reminders::alertText(table, dates, Now);
        const auto t1 = std::chrono::steady_clock::now();
        int matches = 0;
        for (const QString &h : hours)
            matches += h == minute;
        const auto t2 = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(matches);
        listed = text.count(QLatin1Char('\r')) - 1;
        checkSeconds += seconds(t1 - t0);
        floorSeconds += seconds(t2 - t1);
    }
    const double n = double(state.iterations());
    state.counters["due"] = double(listed);
    state.counters["check_ms"] = checkSeconds / n * 1e3;
    state.counters["floor_ms"] = floorSeconds / n * 1e3;
    state.counters["ratio"] = floorSeconds > 0 ? checkSeconds / floorSeconds : 0;
}

// Times work on a freshly loaded table: the load itself is not timed.
template <typename Work> void timeAfterLoad(benchmark::State &state, Work work)
{
    const QString path = fileFor(int(state.range(0)));
    const DateFormat dates(QStringLiteral("dd/MM/yyyy"));
    DamagedFiles damaged;
    TaskTable table;
    for (auto _ : state) {
        state.PauseTiming();
        TaskDataFile(path, damaged).LoadTasks(table, AllItems);
        state.ResumeTiming();
        benchmark::DoNotOptimize(work(table, dates));
    }
}

// The first tick after a reload of the table, which decodes the hour cells.
void BM_AlertCheckAfterLoad(benchmark::State &state)
{
    timeAfterLoad(state, [](const TaskTable &table, const DateFormat &dates) {
        return Reminders::alertText(table, dates, Now);
    });
}

void BM_Agenda(benchmark::State &state)
{
    timeAfterLoad(state, [](const TaskTable &table, const DateFormat &dates) {
        return Reminders::agendaText(table, dates, Now.date());
    });
}

} // namespace

BENCHMARK(BM_AlertCheck)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AlertCheckAfterLoad)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Agenda)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
