#include "SyncKit.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>

namespace SyncKit {

bool waitUntil(const std::function<bool()> &ready, int ms)
{
    for (int waited = 0; waited < ms; waited += 50) {
        if (ready())
            return true;
        QThread::msleep(50);
    }
    return false;
}

DavReply request(DavClient &client, const QByteArray &verb, const QUrl &url, const QByteArray &body,
                 const DavClient::Headers &headers)
{
    DavReply answer;
    bool done = false;
    client.send(verb, url, body, headers, [&](const DavReply &r) {
        answer = r;
        done = true;
    });
    QEventLoop loop;
    while (!done)
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    return answer;
}

int startRadicale(QProcess &process, const QStringList &arguments, const QString &log)
{
    process.setStandardErrorFile(log);
    process.start(QStringLiteral("radicale"), arguments);
    const QRegularExpression listening(QStringLiteral("Listening on '\\[127.0.0.1\\]:(\\d+)'"));
    int port = 0;
    waitUntil([&] {
        QFile f(log);
        const QString said =
            f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
        const QRegularExpressionMatch m = listening.match(said);
        if (m.hasMatch() && said.contains(QLatin1String("Radicale server ready")))
            port = m.captured(1).toInt();
        return port > 0 || process.state() == QProcess::NotRunning;
    });
    return port;
}

SyncReport sync(DavClient &client, TaskList &tasks, TaskIdentities &identities,
                const DateFormat &dates, const Clock &clock, const SyncSession::Setup &setup,
                int stopAfterMs)
{
    SyncSession session(client, tasks, identities, dates, clock, setup);
    QElapsedTimer running;
    running.start();
    session.start();
    QEventLoop loop;
    if (stopAfterMs >= 0)
        QTimer::singleShot(stopAfterMs, &loop, [] {}); // wakes the loop to stop
    while (!session.over()) {
        if (stopAfterMs >= 0 && running.elapsed() >= stopAfterMs) {
            client.abortAll();
            SyncReport cut = session.report();
            cut.error = QStringLiteral("stopped");
            return cut;
        }
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    }
    return session.report();
}

} // namespace SyncKit
