// The sync against a local Radicale (no password), at NUDGERY_BENCH_SYNC_TASKS
// tasks (10,000 unless set): the first upload of a list that has never been
// synchronised beside a plain client sending the same number of PUTs one after
// another ("ratio" is first upload / plain, which must stay under 2), the
// longest the event loop waited meanwhile ("window_gap_ms"), then a sync with
// nothing to do (its requests and milliseconds) and a sync of one change (its
// requests). Skipped when radicale is not installed.
#include "BenchData.h"
#include "store/Clock.h"
#include "store/DamagedFiles.h"
#include "store/DateFormat.h"
#include "store/TaskIdentities.h"
#include "sync/SyncSession.h"
#include "tasks/TaskList.h"
#include "testkit/SyncKit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
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
        const QString source =
            benchTaskFile(QStringLiteral("sync"), n, [](int i) { return benchTask(i, 15, 9); });
        QFile::copy(source, dir.filePath(QStringLiteral("Tasklyn.DAT")));
        QFile archive(dir.filePath(QStringLiteral("Tasklyn.ARK")));
        archive.open(QIODevice::WriteOnly);
        identities.load();
        tasks.setIdentities(&identities);
        tasks.load(AllItems);
    }
    SyncReport sync(DavClient &client, const QUrl &calendar)
    {
        SyncSession::Setup setup;
        setup.calendar = calendar;
        return SyncKit::sync(client, tasks, identities, dates, clock, setup);
    }
};

void BM_Sync(benchmark::State &state)
{
    const int n = taskCount();
    Radicale server;
    if (!server.port()) {
        state.SkipWithError("radicale did not start");
        return;
    }
    for (auto _ : state) {
        DavClient client;
        const QUrl mine = server.url(QStringLiteral("/bench/nudgery/"));
        const QUrl plain = server.url(QStringLiteral("/bench/plain/"));
        if (!makeCalendar(client, mine) || !makeCalendar(client, plain)) {
            state.SkipWithError("no calendar could be made");
            return;
        }
        // The plain client: one PUT after another (NUDGERY_BENCH_SYNC_PLAIN=0: none).
        QElapsedTimer clock;
        clock.start();
        const bool withPlain =
            qEnvironmentVariable("NUDGERY_BENCH_SYNC_PLAIN") != QLatin1String("0");
        for (int i = 0; withPlain && i < n; ++i)
            request(client, "PUT", plain.resolved(QUrl(QStringLiteral("plain-%1.ics").arg(i))),
                    plainTodo(i),
                    {{"Content-Type", "text/calendar; charset=utf-8"}, {"If-None-Match", "*"}});
        const double plainSeconds = clock.elapsed() / 1000.0;

        Folder folder(n);
        // How long the event loop, which is the window's, waited at most.
        QElapsedTimer sinceTick;
        qint64 longestGap = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout,
                         [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
        tick.start(5);
        sinceTick.start();
        clock.restart();
        const SyncReport first = folder.sync(client, mine);
        const double firstSeconds = clock.elapsed() / 1000.0;
        tick.stop();

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
        // The server's part of it: the same question alone.
        clock.restart();
        request(client, "REPORT", mine,
                "<?xml version=\"1.0\" encoding=\"utf-8\"?><D:sync-collection xmlns:D=\"DAV:\">"
                "<D:sync-token>" +
                    QString::fromUtf8(folder.identities.syncToken()).toHtmlEscaped().toUtf8() +
                    "</D:sync-token><D:sync-level>1</D:sync-level><D:prop><D:getetag/></D:prop>"
                    "</D:sync-collection>",
                {{"Content-Type", "application/xml; charset=utf-8"}, {"Depth", "1"}});
        const double serverMs = double(clock.nsecsElapsed()) / 1e6;

        TaskRow edited = folder.tasks.table().row(1);
        edited[Col::Task] += QStringLiteral(" (changed)");
        folder.tasks.replaceRecord(folder.tasks.table().recordOffset(1), edited);
        const int beforeChange = client.sent();
        const SyncReport one = folder.sync(client, mine);
        const int changeRequests = client.sent() - beforeChange;

        if (!first.ok() || !idle.ok() || !one.ok() || first.sent != n) {
            state.SkipWithError((first.error + idle.error + one.error).toUtf8().constData());
            return;
        }
        state.SetIterationTime(firstSeconds);
        state.counters["tasks"] = n;
        state.counters["first_upload_s"] = firstSeconds;
        if (withPlain) {
            state.counters["plain_puts_s"] = plainSeconds;
            state.counters["ratio"] = firstSeconds / plainSeconds;
        }
        state.counters["window_gap_ms"] = double(longestGap);
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
