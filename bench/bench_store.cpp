// Speed of the task data file at 1,000, 100,000 and 1,000,000 records, each
// beside the floor of the same run: reading the file's bytes into memory.
#include "BenchData.h"
#include "store/DamagedFiles.h"
#include "store/TaskDataFile.h"
#include "store/TaskRecord.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>

namespace {

QString fileFor(int records)
{
    return benchTaskFile(QStringLiteral("bench"), records, [](int i) {
        TaskRow row = benchTask(i, 1 + i % 28, i % 24);
        row[Col::Done] = i % 3 == 0 ? DoneMark : QString();
        row[Col::Note] = i % 5 ? QString() : QStringLiteral("A note\r\nof two lines");
        return row;
    });
}

void BM_ReadFileFloor(benchmark::State &state)
{
    const QString path = fileFor(int(state.range(0)));
    for (auto _ : state) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(f.readAll());
    }
}

void BM_LoadTasks(benchmark::State &state)
{
    const QString path = fileFor(int(state.range(0)));
    DamagedFiles damaged;
    TaskTable table;
    for (auto _ : state)
        TaskDataFile(path, damaged).LoadTasks(table, AllItems);
    state.counters["tasks"] = table.taskCount();
}

void BM_LoadTasksFiltered(benchmark::State &state)
{
    const QString path = fileFor(int(state.range(0)));
    DamagedFiles damaged;
    TaskTable table;
    for (auto _ : state)
        TaskDataFile(path, damaged).LoadTasks(table, QStringLiteral("Home"));
}

// One change to one task: append the new version, blank the old one.
void BM_AppendAndBlank(benchmark::State &state)
{
    const QString source = fileFor(int(state.range(0)));
    const QString path = benchDir().filePath(QStringLiteral("change-%1.DAT").arg(state.range(0)));
    QFile::remove(path);
    QFile::copy(source, path);
    DamagedFiles damaged;
    const TaskDataFile file(path, damaged);
    TaskTable table;
    table.setCell(Col::Task, 1, QStringLiteral("Changed task"));
    table.setCell(Col::Order, 1, QStringLiteral("0"));
    for (auto _ : state) {
        const qint64 old = TaskRecord::orderOffset(table.cell(Col::Order, 1));
        file.AppendTask(table, 1);
        file.BlankTask(old);
    }
}

// The compacting rewrite beside its floor in the same run: the same bytes
// written to a new file through a temporary file, synced and renamed over it.
void BM_SaveAllTasks(benchmark::State &state)
{
    const QString path = fileFor(int(state.range(0)));
    DamagedFiles damaged;
    TaskTable table;
    TaskDataFile(path, damaged).LoadTasks(table, AllItems);
    const QString target = benchDir().filePath(QStringLiteral("save-%1.DAT").arg(state.range(0)));
    const TaskDataFile out(target, damaged);
    out.SaveAllTasks(table);
    QFile written(target);
    written.open(QIODevice::ReadOnly);
    const QByteArray bytes = written.readAll();
    written.close();
    double saveSeconds = 0;
    double floorSeconds = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        out.SaveAllTasks(table);
        auto t1 = std::chrono::steady_clock::now();
        QSaveFile floor(target + QStringLiteral(".floor"));
        floor.open(QIODevice::WriteOnly);
        floor.write(bytes);
        floor.commit();
        auto t2 = std::chrono::steady_clock::now();
        saveSeconds += std::chrono::duration<double>(t1 - t0).count();
        floorSeconds += std::chrono::duration<double>(t2 - t1).count();
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    }
    state.counters["floor_ms"] = floorSeconds * 1000 / double(state.iterations());
    state.counters["save_per_floor"] = saveSeconds / floorSeconds;
}

} // namespace

BENCHMARK(BM_ReadFileFloor)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadTasks)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadTasksFiltered)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendAndBlank)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveAllTasks)
    ->Arg(1000)
    ->Arg(100000)
    ->Arg(1000000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
