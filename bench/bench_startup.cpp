// Start-up with 1,000, 10,000 and 100,000 tasks, offscreen: from constructing
// the main window through FormCreate, the other windows and show() until the
// window is exposed. The services are the program's own except two that would
// wait for a person or depend on the day the run happens: message boxes are
// recorded instead of shown, and the clock is fixed so the agenda always lists
// the same tasks (about one in 28 is due "today").
#include "BenchData.h"
#include "BenchProgram.h"
#include "mainwindow/TForm1.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>

namespace {

QString fileFor(int records)
{
    return benchTaskFile(QStringLiteral("startup"), records, [](int i) {
        TaskRow row = benchTask(i, 1 + i % 28, (i / 28) % 24);
        row[Col::Done] = i % 3 == 1 ? DoneMark : QString();
        return row;
    });
}

struct StartUp
{
    double seconds = 0;
    QString error;
    int boxes = 0;
    QString title; // counts the loaded tasks
    QString box;   // the first line of the last box: the agenda is expected
};

// One start of the program with a copy of source as its task data file.
StartUp startOnce(const QString &source)
{
    BenchProgram program(source);
    StartUp out;
    const auto t0 = std::chrono::steady_clock::now();
    out.error = program.start();
    if (!out.error.isEmpty())
        return out;
    out.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    out.boxes = program.messages().shown;
    out.title = program.window().windowTitle();
    out.box = program.messages().last.section(QLatin1Char('\r'), 0, 0);
    return out;
}

// Starts after the first in the process: fonts, style and platform are loaded.
void BM_StartUp(benchmark::State &state)
{
    const QString source = fileFor(int(state.range(0)));
    StartUp last;
    for (auto _ : state) {
        last = startOnce(source);
        if (!last.error.isEmpty()) {
            state.SkipWithError(last.error.toStdString().c_str());
            return;
        }
        state.SetIterationTime(last.seconds);
    }
    state.counters["boxes"] = last.boxes;
    state.SetLabel((last.title + QStringLiteral(" | ") + last.box).toStdString());
}

BENCHMARK(BM_StartUp)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    prepareBenchEnvironment();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // The program's real start is the first in its process; it is measured once,
    // before the benchmarks, and pays for what later starts find loaded.
    const StartUp first = startOnce(fileFor(100000));
    std::fprintf(stderr, "First start in the process, 100000 tasks: %.1f ms%s\n",
                 first.seconds * 1000, qPrintable(first.error));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
