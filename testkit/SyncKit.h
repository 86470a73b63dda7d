#pragma once

#include "sync/DavClient.h"
#include "sync/SyncSession.h"

#include <QProcess>
#include <QStringList>

#include <functional>

namespace SyncKit {

// True once ready() is, polled every 50 ms; false after ms.
bool waitUntil(const std::function<bool()> &ready, int ms = 20000);

// A request answered before it returns (the event loop runs meanwhile).
DavReply request(DavClient &client, const QByteArray &verb, const QUrl &url,
                 const QByteArray &body = {}, const DavClient::Headers &headers = {});

// Starts Radicale on 127.0.0.1 at a free port with these arguments, its log in
// the log file: the port once it serves, 0 when it does not start.
int startRadicale(QProcess &process, const QStringList &arguments, const QString &log);

// One sync of the task list with the calendar of the setup, run to its end, or
// cut short after stopAfterMs (every request aborted; the report says "stopped").
SyncReport sync(DavClient &client, TaskList &tasks, TaskIdentities &identities,
                const DateFormat &dates, const Clock &clock, const SyncSession::Setup &setup,
                int stopAfterMs = -1);

} // namespace SyncKit
