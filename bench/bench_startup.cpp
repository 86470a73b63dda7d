// Start-up with 1,000, 10,000 and 100,000 tasks, offscreen: from constructing
// the main window through FormCreate, the other windows and show() until the
// window is exposed. The services are the program's own except two that would
// wait for a person or depend on the day the run happens: message boxes are
// recorded instead of shown, and the clock is fixed so the agenda always lists
// the same tasks (about one in 28 is due "today").
#include "BenchData.h"
#include "mainwindow/TForm1.h"
#include "platform/AppContext.h"
#include "platform/RealServices.h"
#include "reminders/AlarmTimer.h"
#include "store/DamagedFiles.h"
#include "store/DateFormat.h"
#include "store/Settings.h"
#include "tasks/TaskList.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QWindow>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <memory>

namespace {

class FixedClock : public Clock
{
public:
    QDateTime now() const override { return QDateTime(QDate(2026, 12, 9), QTime(10, 0)); }
};

// A modal box would stop the run until someone clicks it.
class CountingMessages : public MessageService
{
public:
    MsgResult show(QWidget *, const MessageRequest &request) override
    {
        ++shown;
        last = request.text.left(60);
        return request.buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Yes;
    }
    int shown = 0;
    QString last;
};

QString fileFor(int records)
{
    return benchTaskFile(QStringLiteral("startup"), records, [](int i) {
        TaskRow row = benchTask(i, 1 + i % 28, (i / 28) % 24);
        row[Col::Done] = i % 3 == 1 ? DoneMark : QString();
        return row;
    });
}

// As QTest::qWaitForWindowExposed, without linking the test library.
bool waitForExposed(QWidget &w)
{
    const QDeadlineTimer deadline(5000);
    while (!w.windowHandle() || !w.windowHandle()->isExposed()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
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
    // A fresh program folder each time: start-up rewrites the settings file.
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    QFile::copy(source, folder + FileNames::Data);

    AppContext ctx;
    ctx.programFolder = folder;
    ctx.programPath = folder + QStringLiteral("nudgery");
    Settings settings(ctx.file(FileNames::Settings));
    DamagedFiles damagedFiles;
    DateFormat dates(QStringLiteral("dd/MM/yyyy"));
    ctx.settings = &settings;
    ctx.damagedFiles = &damagedFiles;
    ctx.dates = &dates;
    RealPlatform platform;
    platform.wire(ctx);
    CountingMessages messages;
    FixedClock clock;
    ctx.messages = &messages;
    ctx.clock = &clock;

    StartUp out;
    const auto t0 = std::chrono::steady_clock::now();
    TaskList tasks(ctx.file(FileNames::Data), ctx.file(FileNames::Archive), damagedFiles);
    AlarmTimer alarm;
    auto w = std::make_unique<TForm1>(ctx, tasks, alarm);
    if (!w->FormCreate()) {
        out.error = QStringLiteral("start-up stopped in FormCreate");
        return out;
    }
    w->createDialogs();
    w->show();
    if (!waitForExposed(*w)) {
        out.error = QStringLiteral("the window was never exposed");
        return out;
    }
    out.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    out.boxes = messages.shown;
    out.title = w->windowTitle();
    out.box = messages.last.section(QLatin1Char('\r'), 0, 0);
    // The other windows are the main window's children and go with it.
    w.reset();
    QCoreApplication::processEvents();
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
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Keep autostart entries and native settings away from the user's own.
    qputenv("XDG_CONFIG_HOME", benchDir().filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", benchDir().filePath(QStringLiteral("data")).toUtf8());
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
