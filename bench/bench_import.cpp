// The iCalendar import (parse, mapping and the one append), 10,000 and 100,000
// to-dos of each kind that makes the import do more: no DUE (a remark each),
// a new category every ten tasks, and a mix of converted zones, bad priorities,
// repeat rules and cancelled tasks. Beside each, in the same iteration, the same
// number of plain to-dos with a DUE; "ratio" is kind / plain, which must stay
// under 2 at any size.
#include "output/IcsImport.h"
#include "store/Clock.h"
#include "store/DamagedFiles.h"
#include "store/DateFormat.h"
#include "store/Settings.h"
#include "tasks/TaskList.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

enum Kind { Plain, NoDue, Categories, Mixed };

QByteArray calendar(Kind kind, int n)
{
    QByteArray out = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Bench//EN\r\n";
    for (int k = 0; k < n; ++k) {
        out += "BEGIN:VTODO\r\nUID:b" + QByteArray::number(k) + "\r\nSUMMARY:Task number " +
               QByteArray::number(k) + "\r\n";
        switch (kind) {
        case Plain:
            out += "DUE:20300601T100000\r\n";
            break;
        case NoDue:
            break;
        case Categories:
            out += "DUE:20300601T100000\r\nCATEGORIES:Group " + QByteArray::number(k / 10) + "\r\n";
            break;
        case Mixed: {
            static const char *const odd[] = {
                "DUE;TZID=Asia/Tokyo:20300601T100000\r\n", "PRIORITY:abc\r\n",
                "DTSTART:20300101T100000Z\r\nRRULE:FREQ=DAILY\r\n", "STATUS:CANCELLED\r\n"};
            out += odd[k % 4];
            break;
        }
        }
        out += "END:VTODO\r\n";
    }
    return out + "END:VCALENDAR\r\n";
}

class FixedClock : public Clock
{
public:
    QDateTime now() const override { return QDateTime(QDate(2026, 12, 9), QTime(9, 0)); }
};

// One import into an empty folder: its seconds.
double importSeconds(const QString &calendarPath)
{
    QTemporaryDir dir;
    Settings settings(dir.filePath(QStringLiteral("Tasklyn.INI")));
    DamagedFiles damaged;
    TaskList tasks(dir.filePath(QStringLiteral("Tasklyn.DAT")),
                   dir.filePath(QStringLiteral("Tasklyn.ARK")), damaged);
    const DateFormat dates(QStringLiteral("dd/MM/yyyy"));
    const auto t0 = std::chrono::steady_clock::now();
    const IcsImport::Parsed result =
        IcsImport::importFile(calendarPath, tasks, settings, dates, FixedClock());
    const auto t1 = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(result.tasks.size());
    return std::chrono::duration<double>(t1 - t0).count();
}

void BM_Import(benchmark::State &state)
{
    const Kind kind = Kind(state.range(0));
    const int n = int(state.range(1));
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("plain.ics"));
    const QString other = dir.filePath(QStringLiteral("other.ics"));
    for (const auto &[path, k] : {std::pair(plain, Plain), std::pair(other, kind)}) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(calendar(k, n)) < 0) {
            state.SkipWithError("cannot write the calendar");
            return;
        }
    }
    double kindSeconds = 0;
    double plainSeconds = 0;
    for (auto _ : state) {
        const double s = importSeconds(other);
        state.SetIterationTime(s);
        kindSeconds += s;
        plainSeconds += importSeconds(plain);
    }
    const double iterations = double(state.iterations());
    state.counters["plain_ms"] = plainSeconds / iterations * 1e3;
    state.counters["ratio"] = plainSeconds > 0 ? kindSeconds / plainSeconds : 0;
}

} // namespace

BENCHMARK(BM_Import)
    ->ArgNames({"kind", "todos"})
    ->ArgsProduct({{Plain, NoDue, Categories, Mixed}, {10000, 100000}})
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
