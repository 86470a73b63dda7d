// The task commands through the real windows, offscreen, with 1,000 to 1,000,000
// tasks: each timed from the delivery of its key or click until the event loop is
// idle again, and the undo (Ctrl+Z) of each as its own figure ("undo_ms"), every
// figure beside its floor measured in the same run (BenchFloors) and its ratio to
// it. Header clicks are timed twice: a sort by a new column, then the second click
// on it ("again_ms", the order turned round); the filter there and back
// ("back_ms"). Beside them, on a program just started: the first delete while the
// list is in its loaded order, the first add of a day (the daily backup), and the
// exit against the floor of writing as many bytes and syncing them and against
// the exit of an empty list. Last, the peak memory of a whole run in a child
// process against a run with no tasks.
//
// Every command leaves the program as it found it, its undo (or its opposite)
// running after it: the next measurement sees the same task list.
#include "BenchData.h"
#include "BenchDriver.h"
#include "BenchFloors.h"
#include "BenchProgram.h"
#include "mainwindow/TForm1.h"
#include "store/TaskTable.h"
#include "widgets/TaskGrid.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QProcess>
#include <QThread>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>

namespace {

using namespace BenchDriver;

const char *const PeakMemoryChild = "--peak-memory-child";

QString fileFor(int records)
{
    return benchTaskFile(QStringLiteral("commands"), records, [](int i) {
        TaskRow row = benchTask(i, 1 + i % 28, (i / 28) % 24);
        row[Col::Done] = i % 3 == 1 ? DoneMark : QString();
        return row;
    });
}

// Two categories: a quarter of the tasks are "Home", the rest "Work".
const QByteArray CategorySettings = "[Category]\r\nCats=2\r\n1=Home\r\n2=Work\r\n";

// The running program for one size of the task list, kept between the commands
// of that size: a start at a million tasks takes seconds.
struct Running
{
    int records = -1;
    std::unique_ptr<BenchProgram> program;
    QString error;
};

Running &runningProgram()
{
    static Running r;
    return r;
}

Running &running(int records)
{
    Running &r = runningProgram();
    if (r.records != records) {
        r.program.reset();
        r.records = records;
        r.program = std::make_unique<BenchProgram>(fileFor(records), CategorySettings);
        r.error = r.program->start();
    }
    return r;
}

// What one iteration of a command measured, in seconds; negative: not measured.
struct Timing
{
    double command = -1;
    double undo = -1;  // its Ctrl+Z
    double again = -1; // a second figure of the command (the click again, the way back)
};

using Command = std::function<Timing(TForm1 &)>;

// What a command's figures stand beside.
enum class Floor { OneRecord, Sort, Selection, CategorySpan };

double floorSeconds(Floor kind, int records)
{
    static std::map<std::pair<int, int>, double> known;
    const auto key = std::make_pair(int(kind), records);
    const auto it = known.find(key);
    if (it != known.end())
        return it->second;
    double seconds = 0;
    for (int i = 0; i < 3; ++i) { // the least of three: the machine is shared
        double s = -1;
        switch (kind) {
        case Floor::OneRecord:
            s = BenchFloors::changeOneRecord(fileFor(records));
            break;
        case Floor::Sort:
            s = BenchFloors::sortKeys(records);
            break;
        case Floor::Selection:
            s = BenchFloors::selectKeys(records);
            break;
        case Floor::CategorySpan:
            s = BenchFloors::rewriteCategorySpan(fileFor(records), "Home");
            break;
        }
        seconds = i == 0 ? s : std::min(seconds, s);
    }
    return known[key] = seconds;
}

// The main window's task grid, and the task table it shows.
TaskGrid *gridOf(QWidget &window)
{
    return component<TaskGrid>(window, "StringGrid1");
}

const TaskTable &tableOf(QWidget &window)
{
    return *gridOf(window)->table();
}

int rowsOf(TForm1 &w)
{
    return tableOf(w).rowCount();
}

void runCommand(benchmark::State &state, int records, const Command &command, Floor floor)
{
    Running &r = running(records);
    if (!r.error.isEmpty()) {
        state.SkipWithError(r.error.toStdString().c_str());
        return;
    }
    TForm1 &w = r.program->window();
    auto *selector = component<QComboBox>(w, "ComboBox1");
    const int rows = rowsOf(w);
    const int categories = selector->count();
    double undoTotal = 0, againTotal = 0;
    int undos = 0, agains = 0;
    for (auto _ : state) {
        // A row in the middle, the grid focused: untimed.
        gridOf(w)->setCurrentRow(std::max(1, rowsOf(w) / 2));
        focusOn(w, *gridOf(w));
        Timing t = command(w);
        if (t.command >= 0 && (rowsOf(w) != rows || selector->count() != categories))
            t.command = fail("the command's undo did not restore the task list");
        if (t.command < 0) {
            state.SkipWithError(failure().toStdString().c_str());
            return;
        }
        state.SetIterationTime(t.command);
        if (t.undo >= 0)
            undoTotal += t.undo, ++undos;
        if (t.again >= 0)
            againTotal += t.again, ++agains;
    }
    const double floorMs = floorSeconds(floor, records) * 1000;
    state.counters["floor_ms"] = floorMs;
    const auto beside = [&](const char *name, double totalSeconds, int count) {
        if (count == 0)
            return;
        const double ms = totalSeconds * 1000 / count;
        state.counters[std::string(name) + "_ms"] = ms;
        state.counters[std::string(name) + "/floor"] = floorMs > 0 ? ms / floorMs : 0;
    };
    beside("undo", undoTotal, undos);
    beside("again", againTotal, agains);
    state.SetLabel(w.windowTitle().toStdString());
}

// Ctrl+Z through the Edit menu's item, timed.
double undo(TForm1 &w)
{
    return timed([&] { menuItem(w, "Menu_Undo")->trigger(); });
}

double addOneTask(TForm1 &w)
{
    const int before = rowsOf(w);
    const double seconds = timeModalOk(
        [&] { sendKey(*gridOf(w), Qt::Key_Insert); },
        [](QWidget &editor) {
            component<QLineEdit>(editor, "Edit1")->setText(QStringLiteral("A task added"));
        },
        "Button_ok");
    return seconds >= 0 && rowsOf(w) != before + 1 ? fail("no task was added") : seconds;
}

Timing addTask(TForm1 &w)
{
    const double seconds = addOneTask(w);
    return {seconds, seconds >= 0 ? undo(w) : -1};
}

Timing editTask(TForm1 &w)
{
    const double seconds = timeModalOk(
        [&] { sendKey(*gridOf(w), Qt::Key_Return); },
        [&](QWidget &editor) {
            component<QLineEdit>(editor, "Edit1")->setText(QStringLiteral("A task edited"));
        },
        "Button_ok");
    return {seconds, seconds >= 0 ? undo(w) : -1};
}

Timing tickTask(TForm1 &w)
{
    const double seconds = timed([&] { sendKey(*gridOf(w), Qt::Key_Space); });
    return {seconds, undo(w)};
}

// Times `action`, which takes the current task out of the list, and its undo,
// which puts it back.
Timing timedRemoval(TForm1 &w, const std::function<void()> &action, const char *why)
{
    const int before = rowsOf(w);
    const double seconds = timed(action);
    if (rowsOf(w) != before - 1)
        return {fail(why)};
    return {seconds, undo(w)};
}

Timing deleteTask(TForm1 &w)
{
    return timedRemoval(
        w, [&] { sendKey(*gridOf(w), Qt::Key_Delete); }, "no task was deleted");
}

// The toolbar's archive button, which archives without asking.
Timing archiveTask(TForm1 &w)
{
    QWidget *button = component<QWidget>(w, "SpeedButton14");
    if (!button)
        return {fail("no archive button")};
    return timedRemoval(
        w, [&] { sendClick(*button); }, "no task was archived");
}

// Archives the current task untimed, brings it back through the viewer, undoes
// that (the task goes back to the archive) and, untimed, the archiving.
Timing unarchiveTask(TForm1 &w)
{
    QWidget *button = component<QWidget>(w, "SpeedButton14");
    if (!button)
        return {fail("no archive button")};
    const int before = rowsOf(w);
    sendClick(*button);
    settle();
    const double seconds = timeModalOk([&] { menuItem(w, "Menu_OpenArchive")->trigger(); },
                                       [](QWidget &) {}, "Button_Unarchive", true);
    if (seconds < 0 || rowsOf(w) != before)
        return {seconds < 0 ? seconds : fail("no task came back")};
    const double undone = undo(w);
    undo(w);
    return {seconds, undone};
}

// To the first category with the keyboard, and back to all tasks.
Timing filterThereAndBack(TForm1 &w)
{
    auto *selector = component<QComboBox>(w, "ComboBox1");
    if (!selector)
        return {fail("no category selector")};
    focusOn(w, *selector);
    const int all = rowsOf(w);
    Timing t;
    t.command = timed([&] { sendKey(*selector, Qt::Key_Down); });
    if (rowsOf(w) >= all)
        return {fail("the filter showed every task")};
    focusOn(w, *selector);
    t.again = timed([&] { sendKey(*selector, Qt::Key_Up); });
    return selector->currentIndex() == 0 ? t : Timing{fail("the filter did not come back")};
}

// The boxes the running program has shown so far; -1 for another window.
int boxesShown(TForm1 &w)
{
    const Running &r = runningProgram();
    return r.program && &r.program->window() == &w ? r.program->messages().shown : -1;
}

Timing search(TForm1 &w)
{
    // The first row's whole text: one task matches, the rest are each compared.
    const QString text = tableOf(w).cell(Col::Task, 1);
    const int boxes = boxesShown(w);
    const double seconds =
        timeModalOk([&] { menuItem(w, "Menu_Search")->trigger(); },
                    [&](QWidget &dialog) { component<QLineEdit>(dialog, "Edit2")->setText(text); },
                    "SpeedButton1");
    return {seconds >= 0 && boxes >= 0 && boxesShown(w) != boxes + 1
                ? fail("the search found no task")
                : seconds};
}

double clickHeader(TForm1 &w, int col)
{
    QWidget *header = gridOf(w)->horizontalHeader()->viewport();
    const QPoint at = header->mapFrom(gridOf(w), gridOf(w)->cellRect(col, 0).center());
    return timed([&] { sendClick(*header, at); });
}

// A click on the header cell of a column the list is not sorted by (another
// column's header is clicked first, untimed, when it is), then a second click on
// it, which turns the order round.
Timing sortByHeader(TForm1 &w, int col)
{
    const int shown = gridOf(w)->sortColumn();
    const int sortedBy = shown == Col::SortKey ? Col::Date : shown;
    if (sortedBy == col)
        clickHeader(w, col == Col::Hour ? Col::Task : Col::Hour);
    Timing t;
    t.command = clickHeader(w, col);
    t.again = clickHeader(w, col);
    return t;
}

Timing deleteCategory(TForm1 &w)
{
    auto *selector = component<QComboBox>(w, "ComboBox1");
    const int before = selector->count();
    const double seconds =
        timeModalOk([&] { menuItem(w, "Menu_DeleteCategory")->trigger(); },
                    [](QWidget &dialog) {
                        auto *list = component<QComboBox>(dialog, "ComboBox1");
                        list->setCurrentIndex(list->findText(QStringLiteral("Home")));
                    },
                    "SpeedButton1");
    if (seconds >= 0 && selector->count() != before - 1)
        return {fail("no category was deleted")};
    // The category and its tasks' names come back.
    return {seconds, seconds >= 0 ? undo(w) : -1};
}

struct Named
{
    const char *name;
    Command command;
    Floor floor;
    // Iterations at 1,000 / 10,000 / 100,000 / 1,000,000 tasks.
    int iterations[4];
};

const std::vector<Named> &commands()
{
    const auto header = [](int col) { return [col](TForm1 &w) { return sortByHeader(w, col); }; };
    static const std::vector<Named> all = {
        {"Add", addTask, Floor::OneRecord, {20, 10, 5, 3}},
        {"Edit", editTask, Floor::OneRecord, {20, 10, 5, 3}},
        {"Tick", tickTask, Floor::OneRecord, {20, 10, 5, 3}},
        {"Delete", deleteTask, Floor::OneRecord, {20, 10, 5, 3}},
        {"Archive", archiveTask, Floor::OneRecord, {20, 10, 5, 3}},
        {"Unarchive", unarchiveTask, Floor::OneRecord, {20, 10, 5, 3}},
        {"FilterThereAndBack", filterThereAndBack, Floor::Selection, {10, 6, 3, 2}},
        {"Search", search, Floor::Selection, {20, 10, 5, 2}},
        {"SortByTaskHeader", header(Col::Task), Floor::Sort, {20, 10, 4, 2}},
        {"SortByDateHeader", header(Col::Date), Floor::Sort, {20, 10, 4, 2}},
        {"SortByDoneHeader", header(Col::Done), Floor::Sort, {20, 10, 4, 2}},
        {"SortByPriorityHeader", header(Col::Priority), Floor::Sort, {20, 10, 4, 2}},
        {"DeleteCategory", deleteCategory, Floor::CategorySpan, {10, 6, 3, 2}},
    };
    return all;
}

const int Sizes[4] = {1000, 10000, 100000, 1000000};

// One fresh start per iteration, as a user's first command after starting.
template <class Measure> void onFreshStart(benchmark::State &state, bool dailyBackup, Measure m)
{
    const int records = int(state.range(0));
    const QString source = fileFor(records);
    for (auto _ : state) {
        BenchProgram program(source, CategorySettings, dailyBackup);
        const QString error = program.start();
        if (!error.isEmpty()) {
            state.SkipWithError(error.toStdString().c_str());
            return;
        }
        TForm1 &w = program.window();
        gridOf(w)->setCurrentRow(std::max(1, rowsOf(w) / 2));
        focusOn(w, *gridOf(w));
        const double seconds = m(program, source);
        if (seconds < 0) {
            state.SkipWithError(failure().toStdString().c_str());
            return;
        }
        state.SetIterationTime(seconds);
        program.close();
        settle();
    }
    state.counters["floor_ms"] = floorSeconds(Floor::OneRecord, records) * 1000;
}

// The first delete after the start, the list in the order it was loaded and sorted in.
void BM_FirstDelete(benchmark::State &state)
{
    onFreshStart(state, false,
                 [](BenchProgram &p, const QString &) { return deleteTask(p.window()).command; });
}

// The first add of the day: the daily backup copies the files before it writes.
void BM_FirstAddOfDay(benchmark::State &state)
{
    onFreshStart(state, true, [](BenchProgram &p, const QString &source) {
        const QString day = p.file(QStringLiteral("backups/2026-12-09/") + FileNames::Data);
        const double seconds = addOneTask(p.window());
        settle();
        // The copy is the file as it was before the add, whole, once it is done
        // (on a thread of its own: waited for by the clock, not for events).
        const QDeadlineTimer deadline(20000);
        while (!QFile::exists(day) && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            QThread::msleep(2);
        }
        if (QFileInfo(day).size() != QFileInfo(source).size())
            return fail("the day's backup is not the file before the add");
        return seconds;
    });
}

// Closing the main window: the filter back to all tasks, the compacting rewrite
// of the task file and the settings. Beside the floor of writing and syncing the
// file, and above the exit of an empty list (the first one run).
void BM_Exit(benchmark::State &state)
{
    static double emptyExit = -1;
    const QString source = fileFor(int(state.range(0)));
    double exitTotal = 0, floorTotal = 0;
    qint64 bytes = 0;
    for (auto _ : state) {
        BenchProgram program(source, CategorySettings);
        const QString error = program.start();
        if (!error.isEmpty()) {
            state.SkipWithError(error.toStdString().c_str());
            return;
        }
        const double seconds = timed([&] { program.close(); });
        state.SetIterationTime(seconds);
        const QString data = program.file(FileNames::Data);
        bytes = QFileInfo(data).size();
        exitTotal += seconds;
        floorTotal += BenchFloors::writeAndSync(data, bytes);
    }
    const double exitMean = exitTotal / double(state.iterations());
    const double floorMean = floorTotal / double(state.iterations());
    if (state.range(0) == 0)
        emptyExit = exitMean;
    state.counters["file_MB"] = double(bytes) / 1e6;
    state.counters["floor_ms"] = floorMean * 1000;
    state.counters["empty_ms"] = emptyExit * 1000;
    if (bytes > 0 && emptyExit >= 0 && floorMean > 0)
        state.counters["above_empty/floor"] = (exitMean - emptyExit) / floorMean;
}

void registerAll()
{
    const auto manual = [](benchmark::internal::Benchmark *b) {
        b->UseManualTime()->Unit(benchmark::kMillisecond);
    };
    manual(benchmark::RegisterBenchmark("BM_Exit", BM_Exit)->Arg(0)->Iterations(5));
    // The sizes outermost, so that one running program serves all commands of a size.
    for (int s = 0; s < 4; ++s) {
        const int records = Sizes[s];
        for (const Named &c : commands()) {
            const Command command = c.command;
            const Floor floor = c.floor;
            manual(benchmark::RegisterBenchmark(
                       (std::string("BM_") + c.name + "/" + std::to_string(records)).c_str(),
                       [records, command, floor](benchmark::State &state) {
                           runCommand(state, records, command, floor);
                       })
                       ->Iterations(c.iterations[s]));
        }
        const int fresh = s < 2 ? 5 : s == 2 ? 3 : 2;
        manual(benchmark::RegisterBenchmark("BM_FirstDelete", BM_FirstDelete)
                   ->Arg(records)
                   ->Iterations(fresh));
        manual(benchmark::RegisterBenchmark("BM_FirstAddOfDay", BM_FirstAddOfDay)
                   ->Arg(records)
                   ->Iterations(fresh));
        manual(benchmark::RegisterBenchmark("BM_Exit", BM_Exit)->Arg(records)->Iterations(fresh));
    }
}

// --- Peak memory, in a child process of its own

long peakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// The child: a start with the given task file; an add, a tick, a search, a sort
// by each column, the filter, a category delete and its undo; the exit. Its peak
// resident size goes to standard output.
int peakMemoryChild(const QString &taskFile)
{
    {
        BenchProgram program(taskFile, CategorySettings);
        const QString error = program.start();
        if (!error.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        TForm1 &w = program.window();
        gridOf(w)->setCurrentRow(std::max(1, rowsOf(w) / 2));
        focusOn(w, *gridOf(w));
        addOneTask(w);
        timed([&] { sendKey(*gridOf(w), Qt::Key_Space); });
        search(w);
        for (int col : {Col::Task, Col::Date, Col::Hour, Col::Priority, Col::Done})
            clickHeader(w, col);
        if (rowsOf(w) > 2) {
            filterThereAndBack(w);
            deleteCategory(w);
        }
        program.close();
        settle();
    }
    std::printf("%ld\n", peakResidentKb());
    return 0;
}

struct Peak
{
    int records;
    long kb;
    qint64 fileBytes;
};

Peak measurePeak(const QString &program, int records)
{
    const QString source = fileFor(records);
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(program, {QString::fromLatin1(PeakMemoryChild), source});
    child.waitForFinished(600000);
    const long kb = child.exitCode() == 0 ? child.readAllStandardOutput().trimmed().toLong() : -1;
    return {records, kb, QFileInfo(source).size()};
}

void reportPeaks(const QString &program)
{
    std::vector<Peak> peaks;
    for (int records : {0, 100000, 1000000})
        peaks.push_back(measurePeak(program, records));
    const long baseline = peaks.front().kb;
    std::fprintf(stderr, "\nPeak resident memory of a run (start, add, tick, search, a sort by "
                         "each column, filter, category delete and undo, exit):\n");
    std::fprintf(stderr, "%10s %12s %14s %22s\n", "tasks", "peak kB", "file bytes",
                 "(peak-base)/file");
    for (const Peak &p : peaks) {
        const double ratio =
            p.fileBytes > 0 ? double(p.kb - baseline) * 1024.0 / double(p.fileBytes) : 0.0;
        std::fprintf(stderr, "%10d %12ld %14lld %22.2f\n", p.records, p.kb,
                     static_cast<long long>(p.fileBytes), ratio);
    }
}

} // namespace

int main(int argc, char **argv)
{
    prepareBenchEnvironment();
    QApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], PeakMemoryChild) == 0)
        return peakMemoryChild(QString::fromLocal8Bit(argv[2]));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    registerAll();
    benchmark::RunSpecifiedBenchmarks();
    runningProgram().program.reset(); // while the application is still there
    if (!qEnvironmentVariableIsSet("BENCH_NO_PEAK"))
        reportPeaks(QCoreApplication::applicationFilePath());
    benchmark::Shutdown();
    return 0;
}
