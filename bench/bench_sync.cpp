// The sync against a local Radicale (no password), at NUDGERY_BENCH_SYNC_TASKS
// tasks (10,000 unless set): the first upload of a list that has never been
// synchronised beside a plain client sending the same number of PUTs one after
// another ("ratio" is first upload / plain, which must stay under 2), the
// longest the event loop waited meanwhile ("window_gap_ms"; "idle_gap_ms" is the
// same for 2 s before it, with nothing to do; "gaps_over_16ms" counts the waits
// past a frame), then a sync with
// nothing to do (its requests and milliseconds, beside the server's own answer
// to the same question alone, "noop_server_ms") and a sync of one change (its
// requests). Skipped when radicale is not installed.
//
// Knobs:
// - NUDGERY_BENCH_SYNC_PLAIN=0: no plain client.
// - NUDGERY_BENCH_SYNC_SEED=1: the calendar already holds the same tasks, written
//   straight into Radicale's storage folder (one .ics per item; Radicale reads
//   its folder at every request), since PUTting thousands takes hours. The first
//   sync then pairs every task ("pair_s", "pair_requests"): nothing sent, nothing
//   received, no task doubled, else the run fails.
// - NUDGERY_BENCH_SYNC_UPLOAD_S=N: the first upload is stopped after N seconds,
//   for its window_gap_ms alone (nothing after it is measured).
// - NUDGERY_BENCH_SYNC_IDLE=N: the nothing-to-do sync is run N times (5 at least).
#include "BenchData.h"
#include "store/Clock.h"
#include "store/DamagedFiles.h"
#include "store/DateFormat.h"
#include "store/TaskIdentities.h"
#include "store/TaskRecord.h"
#include "sync/CalendarObject.h"
#include "sync/Multistatus.h"
#include "sync/SyncSession.h"
#include "tasks/TaskList.h"
#include "testkit/SyncKit.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

namespace {

int taskCount()
{
    const int n = qEnvironmentVariableIntValue("NUDGERY_BENCH_SYNC_TASKS");
    return n > 0 ? n : 10000;
}

// Radicale on 127.0.0.1 at a free port, its storage in a folder of its own.
class Radicale
{
public:
    Radicale()
    {
        m_port = SyncKit::startRadicale(m_process,
                                        {"--config", "", "--hosts", "127.0.0.1:0", "--auth-type",
                                         "none", "--storage-filesystem-folder",
                                         m_dir.filePath("collections"), "--logging-level", "info"},
                                        m_dir.filePath(QStringLiteral("log")));
    }
    ~Radicale()
    {
        m_process.terminate();
        m_process.waitForFinished(10000);
    }
    int port() const { return m_port; }
    // Where the collection at path keeps its items.
    QString folderOf(const QString &path) const
    {
        return m_dir.filePath(QStringLiteral("collections/collection-root") + path);
    }
    QUrl url(const QString &path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path));
    }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
};

using SyncKit::request;

bool makeCalendar(DavClient &client, const QUrl &url)
{
    request(client, "MKCOL", url.resolved(QUrl(QStringLiteral(".."))), {});
    return request(client, "MKCALENDAR", url,
                   "<?xml version=\"1.0\"?><C:mkcalendar xmlns:D=\"DAV:\" "
                   "xmlns:C=\"urn:ietf:params:xml:ns:caldav\"><D:set><D:prop>"
                   "<C:supported-calendar-component-set><C:comp name=\"VTODO\"/>"
                   "</C:supported-calendar-component-set></D:prop></D:set></C:mkcalendar>",
                   {{"Content-Type", "application/xml; charset=utf-8"}})
               .status == 201;
}

// What a plain client sends for task i: about the size of Nudgery's own.
QByteArray plainTodo(int i)
{
    const QByteArray n = QByteArray::number(i);
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//plain//EN\r\nBEGIN:VTODO\r\nUID:plain-" +
           n + "\r\nDTSTAMP:20261210T020000Z\r\nSUMMARY:Task number " + n +
           " with some words in it\r\nDUE:20261215T093000\r\nPRIORITY:3\r\nCATEGORIES:Work\r\n"
           "END:VTODO\r\nEND:VCALENDAR\r\n";
}

class FixedClock : public Clock
{
public:
    QDateTime now() const override { return QDateTime(QDate(2026, 12, 10), QTime(9, 0)); }
};

// A program folder holding the tasks, as the sync sees it.
struct Folder
{
    QTemporaryDir dir;
    DamagedFiles damaged;
    DateFormat dates{QStringLiteral("dd/MM/yyyy")};
    FixedClock clock;
    TaskList tasks{dir.filePath(QStringLiteral("Tasklyn.DAT")),
                   dir.filePath(QStringLiteral("Tasklyn.ARK")), damaged};
    TaskIdentities identities{dir.filePath(QStringLiteral("Tasklyn.IDS"))};

    explicit Folder(int n)
    {
        // Priorities as the editor writes them: none is empty, never "0", so that
        // every task reads back from the server as the same.
        const QString source = benchTaskFile(QStringLiteral("sync-tasks"), n, [](int i) {
            TaskRow row = benchTask(i, 15, 9);
            if (row[Col::Priority] == QLatin1String("0"))
                row[Col::Priority].clear();
            return row;
        });
        QFile::copy(source, dir.filePath(QStringLiteral("Tasklyn.DAT")));
        QFile archive(dir.filePath(QStringLiteral("Tasklyn.ARK")));
        archive.open(QIODevice::WriteOnly);
        identities.load();
        tasks.setIdentities(&identities);
        tasks.load(AllItems);
    }
    SyncReport sync(DavClient &client, const QUrl &calendar, int stopAfterMs = -1)
    {
        SyncSession::Setup setup;
        setup.calendar = calendar;
        return SyncKit::sync(client, tasks, identities, dates, clock, setup, stopAfterMs);
    }
    // The folder's tasks written into a calendar's storage folder, each under a
    // UID of its own, as another program holding the same list would keep them.
    bool seed(const QString &storage) const
    {
        const TaskTable &table = tasks.table();
        for (int r = 1; r < table.rowCount(); ++r) {
            const QString uid = TaskIdentities::newUid();
            QFile item(storage + QLatin1Char('/') + uid.section(QLatin1Char('@'), 0, 0) +
                       QStringLiteral(".ics"));
            const QByteArray text =
                CalendarObject::created(uid, table.row(r), {}, dates, clock.today(), clock.now());
            if (!item.open(QIODevice::WriteOnly) || item.write(text) != text.size())
                return false;
        }
        return true;
    }
};

// What the server holds: its items' count.
int itemsIn(const QString &storage)
{
    return int(QDir(storage).entryList({QStringLiteral("*.ics")}, QDir::Files).size());
}

// The first sync of a seeded calendar took every task as the same on both sides.
QString pairingFault(const SyncReport &first, const Folder &folder, int n, int itemsThere)
{
    if (first.sent || first.received || first.merged || first.conflicts)
        return QStringLiteral("pairing changed something: %1 sent, %2 received, %3 merged, "
                              "%4 conflicts")
            .arg(first.sent)
            .arg(first.received)
            .arg(first.merged)
            .arg(first.conflicts);
    if (folder.tasks.table().rowCount() - 1 != n || itemsThere != n)
        return QStringLiteral("tasks doubled: %1 here, %2 there")
            .arg(folder.tasks.table().rowCount() - 1)
            .arg(itemsThere);
    int paired = 0;
    for (const auto &[uid, identity] : folder.identities.identities())
        paired += !identity.href.isEmpty() && !identity.etag.isEmpty() && !identity.base.isEmpty();
    if (paired != n || int(folder.identities.identities().size()) != n)
        return QStringLiteral("%1 of %2 tasks paired").arg(paired).arg(n);
    return {};
}

void BM_Sync(benchmark::State &state)
{
    const int n = taskCount();
    const bool seeded = qEnvironmentVariable("NUDGERY_BENCH_SYNC_SEED") == QLatin1String("1");
    const int uploadFor = qEnvironmentVariableIntValue("NUDGERY_BENCH_SYNC_UPLOAD_S");
    const bool withPlain = !seeded && uploadFor <= 0 &&
                           qEnvironmentVariable("NUDGERY_BENCH_SYNC_PLAIN") != QLatin1String("0");
    Radicale server;
    if (!server.port()) {
        state.SkipWithError("radicale did not start");
        return;
    }
    for (auto _ : state) {
        DavClient client;
        const QString minePath = QStringLiteral("/bench/nudgery/");
        const QUrl mine = server.url(minePath);
        const QUrl plain = server.url(QStringLiteral("/bench/plain/"));
        if (!makeCalendar(client, mine) || (withPlain && !makeCalendar(client, plain))) {
            state.SkipWithError("no calendar could be made");
            return;
        }
        // The plain client: one PUT after another.
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; withPlain && i < n; ++i)
            request(client, "PUT", plain.resolved(QUrl(QStringLiteral("plain-%1.ics").arg(i))),
                    plainTodo(i),
                    {{"Content-Type", "text/calendar; charset=utf-8"}, {"If-None-Match", "*"}});
        const double plainSeconds = clock.elapsed() / 1000.0;

        Folder folder(n);
        if (seeded && !folder.seed(server.folderOf(minePath))) {
            state.SkipWithError("the calendar could not be seeded");
            return;
        }
        if (seeded) {
            // Radicale reads an item it has not seen once, and makes its history
            // for a first listing of changes, slowly; a server that holds them has
            // done so already ("seed_read_s").
            DavClient patient;
            patient.setTimeout(600000);
            clock.restart();
            request(patient, "PROPFIND", mine,
                    "<?xml version=\"1.0\"?><D:propfind xmlns:D=\"DAV:\"><D:prop><D:getetag/>"
                    "</D:prop></D:propfind>",
                    {{"Content-Type", "application/xml; charset=utf-8"}, {"Depth", "1"}});
            request(patient, "REPORT", mine, Multistatus::syncCollection({}),
                    {{"Content-Type", "application/xml; charset=utf-8"}, {"Depth", "1"}});
            state.counters["seed_read_s"] = clock.elapsed() / 1000.0;
        }
        // How long the event loop, which is the window's, waited at most.
        QElapsedTimer sinceTick;
        qint64 longestGap = 0;
        int overAFrame = 0; // waits past 16 ms
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 gap = sinceTick.restart();
            longestGap = std::max(longestGap, gap);
            overAFrame += gap > 16 ? 1 : 0;
        });
        tick.start(5);
        sinceTick.start();
        // What the machine alone makes it wait, for comparison ("idle_gap_ms").
        QEventLoop idleLoop;
        QTimer::singleShot(2000, &idleLoop, &QEventLoop::quit);
        idleLoop.exec();
        const qint64 idleGap = longestGap;
        const int idleOver = overAFrame;
        longestGap = 0;
        overAFrame = 0;
        sinceTick.restart();
        clock.restart();
        const int beforeFirst = client.sent();
        const SyncReport first =
            folder.sync(client, mine, uploadFor > 0 && !seeded ? uploadFor * 1000 : -1);
        const double firstSeconds = clock.elapsed() / 1000.0;
        const int firstRequests = client.sent() - beforeFirst;
        tick.stop();
        const QString pairing =
            seeded ? pairingFault(first, folder, n, itemsIn(server.folderOf(minePath))) : QString();
        state.counters["tasks"] = n;
        state.counters["window_gap_ms"] = double(longestGap);
        state.counters["idle_gap_ms"] = double(idleGap);
        state.counters["gaps_over_16ms"] = overAFrame;
        state.counters["idle_gaps_over_16ms"] = idleOver;
        if (uploadFor > 0 && !seeded) {
            state.SetIterationTime(firstSeconds);
            state.counters["upload_sent"] = first.sent;
            continue;
        }

        // The best of a few, as the every-few-minutes syncs are.
        const int before = client.sent();
        SyncReport idle;
        double idleMs = 1e9;
        const int idleRuns = std::max(5, qEnvironmentVariableIntValue("NUDGERY_BENCH_SYNC_IDLE"));
        for (int i = 0; i < idleRuns; ++i) {
            clock.restart();
            idle = folder.sync(client, mine);
            idleMs = std::min(idleMs, double(clock.nsecsElapsed()) / 1e6);
        }
        const int idleRequests = (client.sent() - before) / idleRuns;
        // The server's part of it: the same question alone, the best of as many.
        double serverMs = 1e9;
        for (int i = 0; i < idleRuns; ++i) {
            clock.restart();
            request(client, "REPORT", mine,
                    Multistatus::syncCollection(folder.identities.syncToken()),
                    {{"Content-Type", "application/xml; charset=utf-8"}, {"Depth", "1"}});
            serverMs = std::min(serverMs, double(clock.nsecsElapsed()) / 1e6);
        }

        TaskRow edited = folder.tasks.table().row(1);
        edited[Col::Task] += QStringLiteral(" (changed)");
        folder.tasks.replaceRecord(folder.tasks.table().recordOffset(1), edited);
        const int beforeChange = client.sent();
        const SyncReport one = folder.sync(client, mine);
        const int changeRequests = client.sent() - beforeChange;

        if (!first.ok() || !idle.ok() || !one.ok() || (!seeded && first.sent != n)) {
            state.SkipWithError((first.error + idle.error + one.error).toUtf8().constData());
            return;
        }
        if (seeded) {
            if (!pairing.isEmpty()) {
                state.SkipWithError(pairing.toUtf8().constData());
                return;
            }
            state.counters["pair_s"] = firstSeconds;
            state.counters["pair_requests"] = firstRequests;
        } else {
            state.counters["first_upload_s"] = firstSeconds;
        }
        state.SetIterationTime(firstSeconds);
        if (withPlain) {
            state.counters["plain_puts_s"] = plainSeconds;
            state.counters["ratio"] = firstSeconds / plainSeconds;
        }
        state.counters["noop_requests"] = idleRequests;
        state.counters["noop_ms"] = idleMs;
        state.counters["noop_server_ms"] = serverMs;
        state.counters["one_change_requests"] = changeRequests;
    }
}
BENCHMARK(BM_Sync)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
