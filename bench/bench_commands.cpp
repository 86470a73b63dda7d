// The task commands through the real windows, offscreen, with 1,000 to 1,000,000
// tasks: each timed from the delivery of its key or click until the event loop is
// idle again. Beside them the exit (the close steps, with the task file's
// compacting rewrite) against the floor of writing as many bytes and syncing
// them, and the peak memory of a whole run in a child process against a run with
// no tasks.
//
// Every command leaves the program as it found it, the opposite command running
// untimed after it: the next measurement sees the same task list.
#include "BenchData.h"
#include "BenchProgram.h"
#include "mainwindow/TForm1.h"
#include "store/TaskTable.h"
#include "widgets/TaskGrid.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <unistd.h>

namespace {

using Steady = std::chrono::steady_clock;

const char *const PeakMemoryChild = "--peak-memory-child";

// Why the last command could not be measured; its result is then negative.
QString failure;

double fail(const char *why)
{
    failure = QString::fromLatin1(why);
    return -1;
}

double secondsSince(Steady::time_point t0)
{
    return std::chrono::duration<double>(Steady::now() - t0).count();
}

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

// The widget of that name in the window itself, not in a dialog it holds.
template <class T> T *component(QWidget &window, const char *name)
{
    for (T *found : window.findChildren<T *>(QString::fromLatin1(name)))
        if (found->window() == &window)
            return found;
    return nullptr;
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

QAction *menuItem(QWidget &window, const char *name)
{
    return window.findChild<QAction *>(QString::fromLatin1(name));
}

void sendKey(QWidget &to, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&to, &press);
    QCoreApplication::sendEvent(&to, &release);
}

void sendClick(QWidget &to, const QPoint &at)
{
    const QPointF pos(at);
    const QPointF global(to.mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, pos, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, pos, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(&to, &press);
    QCoreApplication::sendEvent(&to, &release);
}

void sendClick(QWidget &to)
{
    sendClick(to, to.rect().center());
}

// The main window active with its control focused, as after a click into it.
void focusOn(TForm1 &w, QWidget &control)
{
    w.activateWindow();
    for (int i = 0; i < 200 && QApplication::activeWindow() != &w; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    control.setFocus();
    settle();
}

// Runs `open`, which shows a modal window; once it is up, `prepare` fills it in
// and the click on its button `ok` starts the clock. The clock stops when the
// program is idle again: after the window closed, or inside it when it stays
// open (it is then closed untimed). Negative when the window or button never came.
double timeModalOk(const std::function<void()> &open, const std::function<void(QWidget &)> &prepare,
                   const char *ok, bool staysOpen = false)
{
    Steady::time_point t0{};
    double inside = -1;
    bool clicked = false;
    QTimer::singleShot(0, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        prepare(*modal);
        auto *button = component<QAbstractButton>(*modal, ok);
        if (button) {
            t0 = Steady::now();
            sendClick(*button);
            clicked = true;
            if (staysOpen) {
                settle();
                inside = secondsSince(t0);
            }
        }
        if (modal->isVisible())
            modal->close();
    });
    open();
    if (!clicked)
        return fail("the command's window or its button did not come");
    settle();
    return staysOpen ? inside : secondsSince(t0);
}

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

// One iteration of a command: the seconds it took, negative when it could not run.
using Command = std::function<double(TForm1 &)>;

void runCommand(benchmark::State &state, int records, const Command &command)
{
    Running &r = running(records);
    if (!r.error.isEmpty()) {
        state.SkipWithError(r.error.toStdString().c_str());
        return;
    }
    TForm1 &w = r.program->window();
    auto *selector = component<QComboBox>(w, "ComboBox1");
    const int rows = tableOf(w).rowCount();
    const int categories = selector->count();
    for (auto _ : state) {
        // A row in the middle, the grid focused: untimed.
        gridOf(w)->setCurrentRow(std::max(1, tableOf(w).rowCount() / 2));
        focusOn(w, *gridOf(w));
        double seconds = command(w);
        if (seconds >= 0 && (tableOf(w).rowCount() != rows || selector->count() != categories))
            seconds = fail("the command's opposite did not restore the task list");
        if (seconds < 0) {
            state.SkipWithError(failure.toStdString().c_str());
            return;
        }
        state.SetIterationTime(seconds);
    }
    state.SetLabel(w.windowTitle().toStdString());
    state.counters["rows"] = tableOf(w).rowCount() - 1;
}

double timed(const std::function<void()> &action)
{
    const Steady::time_point t0 = Steady::now();
    action();
    settle();
    return secondsSince(t0);
}

void undo(TForm1 &w)
{
    menuItem(w, "Menu_Undo")->trigger();
    settle();
}

int rowsOf(TForm1 &w)
{
    return tableOf(w).rowCount();
}

double addTask(TForm1 &w)
{
    const int before = rowsOf(w);
    const double seconds = timeModalOk(
        [&] { sendKey(*gridOf(w), Qt::Key_Insert); },
        [](QWidget &editor) {
            component<QLineEdit>(editor, "Edit1")->setText(QStringLiteral("A task added"));
        },
        "Button_ok");
    if (seconds >= 0 && rowsOf(w) != before + 1)
        return fail("no task was added");
    undo(w);
    return seconds;
}

double editTask(TForm1 &w)
{
    static int round = 0;
    const QString text = QStringLiteral("A task edited, round %1").arg(++round % 2);
    return timeModalOk(
        [&] { sendKey(*gridOf(w), Qt::Key_Return); },
        [&](QWidget &editor) { component<QLineEdit>(editor, "Edit1")->setText(text); },
        "Button_ok");
}

// Ticks or unticks, turn about.
double tickTask(TForm1 &w)
{
    return timed([&] { sendKey(*gridOf(w), Qt::Key_Space); });
}

// Times `action`, which takes the current task out of the list, and puts the
// task back with undo.
double timedRemoval(TForm1 &w, const std::function<void()> &action, const char *why)
{
    const int before = rowsOf(w);
    const double seconds = timed(action);
    if (rowsOf(w) != before - 1)
        return fail(why);
    undo(w);
    return seconds;
}

double deleteTask(TForm1 &w)
{
    return timedRemoval(
        w, [&] { sendKey(*gridOf(w), Qt::Key_Delete); }, "no task was deleted");
}

// The toolbar's archive button, which archives without asking.
double archiveTask(TForm1 &w)
{
    QWidget *button = component<QWidget>(w, "SpeedButton14");
    if (!button)
        return fail("no archive button");
    return timedRemoval(
        w, [&] { sendClick(*button); }, "no task was archived");
}

// Archives the current task untimed and brings it back through the viewer.
double unarchiveTask(TForm1 &w)
{
    QWidget *button = component<QWidget>(w, "SpeedButton14");
    if (!button)
        return fail("no archive button");
    const int before = rowsOf(w);
    sendClick(*button);
    settle();
    const double seconds = timeModalOk([&] { menuItem(w, "Menu_OpenArchive")->trigger(); },
                                       [](QWidget &) {}, "Button_Unarchive", true);
    return seconds >= 0 && rowsOf(w) != before ? fail("no task came back") : seconds;
}

// To the first category with the keyboard, and back to all tasks.
double filterThereAndBack(TForm1 &w)
{
    auto *selector = component<QComboBox>(w, "ComboBox1");
    if (!selector)
        return fail("no category selector");
    focusOn(w, *selector);
    const int all = rowsOf(w);
    double seconds = timed([&] { sendKey(*selector, Qt::Key_Down); });
    if (rowsOf(w) >= all)
        return fail("the filter showed every task");
    focusOn(w, *selector);
    seconds += timed([&] { sendKey(*selector, Qt::Key_Up); });
    return selector->currentIndex() == 0 ? seconds : fail("the filter did not come back");
}

double search(TForm1 &w)
{
    // The first row's whole text: one task matches, the rest are each compared.
    const QString text = tableOf(w).cell(Col::Task, 1);
    gridOf(w)->setCurrentRow(tableOf(w).rowCount() - 1);
    const double seconds =
        timeModalOk([&] { menuItem(w, "Menu_Search")->trigger(); },
                    [&](QWidget &dialog) { component<QLineEdit>(dialog, "Edit2")->setText(text); },
                    "SpeedButton1");
    // The task found is made current as its box is shown.
    return seconds >= 0 && gridOf(w)->currentRow() != 1 ? fail("the search found no task")
                                                        : seconds;
}

// A click on the header cell of a column, the direction turning each time.
double sortByHeader(TForm1 &w, int col)
{
    QWidget *header = gridOf(w)->horizontalHeader()->viewport();
    const QPoint at = header->mapFrom(gridOf(w), gridOf(w)->cellRect(col, 0).center());
    return timed([&] { sendClick(*header, at); });
}

double deleteCategory(TForm1 &w)
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
        return fail("no category was deleted");
    undo(w); // the category and its tasks' marks come back
    return seconds;
}

struct Named
{
    const char *name;
    Command command;
    // Iterations at 1,000 / 10,000 / 100,000 / 1,000,000 tasks.
    int iterations[4];
};

const std::vector<Named> &commands()
{
    static const std::vector<Named> all = {
        {"Add", addTask, {20, 10, 5, 2}},
        {"Edit", editTask, {20, 10, 5, 2}},
        {"Tick", tickTask, {20, 10, 6, 2}},
        {"Delete", deleteTask, {20, 10, 5, 2}},
        {"Archive", archiveTask, {20, 10, 5, 2}},
        {"Unarchive", unarchiveTask, {20, 10, 5, 2}},
        {"FilterThereAndBack", filterThereAndBack, {10, 6, 3, 1}},
        {"Search", search, {20, 10, 5, 2}},
        {"SortByTaskHeader", [](TForm1 &w) { return sortByHeader(w, Col::Task); }, {20, 10, 4, 2}},
        {"SortByDateHeader", [](TForm1 &w) { return sortByHeader(w, Col::Date); }, {20, 10, 4, 2}},
        // Last: its undo puts the category at the end of the selector.
        {"DeleteCategory", deleteCategory, {10, 6, 3, 1}},
    };
    return all;
}

const int Sizes[4] = {1000, 10000, 100000, 1000000};

// Writes `bytes` bytes to a new file beside `path` and syncs it: the least an
// exit that rewrites the task file can cost.
double writeFloor(const QString &path, qint64 bytes)
{
    const QByteArray block(1 << 20, 'x');
    const QByteArray name = QFile::encodeName(path + QStringLiteral(".floor"));
    const Steady::time_point t0 = Steady::now();
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        return -1;
    for (qint64 left = bytes; left > 0;) {
        const qint64 n = std::min<qint64>(left, block.size());
        if (::write(fd, block.constData(), size_t(n)) != n)
            break;
        left -= n;
    }
    ::fsync(fd);
    ::close(fd);
    const double seconds = secondsSince(t0);
    ::unlink(name.constData());
    return seconds;
}

// Closing the main window: the filter back to all tasks, the compacting rewrite
// of the task file and the settings.
void BM_Exit(benchmark::State &state)
{
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
        floorTotal += writeFloor(data, bytes);
    }
    state.counters["file_MB"] = double(bytes) / 1e6;
    state.counters["floor_ms"] = floorTotal * 1000 / double(state.iterations());
    state.counters["exit_per_floor"] = floorTotal > 0 ? exitTotal / floorTotal : 0;
}

void registerAll()
{
    // The sizes outermost, so that one running program serves all commands of a size.
    for (int s = 0; s < 4; ++s) {
        for (const Named &c : commands()) {
            const int records = Sizes[s];
            const Command command = c.command;
            benchmark::RegisterBenchmark(
                (std::string("BM_") + c.name + "/" + std::to_string(records)).c_str(),
                [records, command](benchmark::State &state) {
                    runCommand(state, records, command);
                })
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond)
                ->Iterations(c.iterations[s]);
        }
        benchmark::RegisterBenchmark("BM_Exit", BM_Exit)
            ->Arg(Sizes[s])
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(s < 2    ? 5
                         : s == 2 ? 3
                                  : 1);
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

// The child: a start with the given task file, a few commands and the exit; its
// peak resident size goes to standard output.
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
        gridOf(w)->setCurrentRow(std::max(1, tableOf(w).rowCount() / 2));
        focusOn(w, *gridOf(w));
        addTask(w);
        tickTask(w);
        tickTask(w);
        search(w);
        sortByHeader(w, Col::Task);
        if (tableOf(w).rowCount() > 1)
            deleteTask(w);
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
    std::fprintf(stderr, "\nPeak resident memory of a run (start, a few commands, exit):\n");
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
    reportPeaks(QCoreApplication::applicationFilePath());
    benchmark::Shutdown();
    return 0;
}
