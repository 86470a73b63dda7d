#include "SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

#include <unistd.h>

namespace {

const QString MutexName = QStringLiteral("CorvaneTasklynSoftware");
const QByteArray RaiseRequest = QByteArrayLiteral("raise\n");
constexpr int SocketTimeoutMs = 1000;

QString runtimeFolder()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir;
}

} // namespace

SingleInstance::SingleInstance(QObject *parent) : QObject(parent) {}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
    if (m_lock)
        m_lock->unlock();
}

QString SingleInstance::lockFilePath()
{
    return runtimeFolder() + QLatin1Char('/') + MutexName + QStringLiteral(".lock");
}

QString SingleInstance::serverName()
{
    const QString name = MutexName + QLatin1Char('-') + QString::number(::getuid());
    // Beside the lock, so a copy that sees the lock finds the socket; a socket
    // path has a small length limit, past which the plain name (in /tmp) serves.
    const QString path = runtimeFolder() + QLatin1Char('/') + name;
    return path.toLocal8Bit().size() < 100 ? path : name;
}

bool SingleInstance::tryAcquire()
{
    if (m_lock && m_lock->isLocked())
        return true;
    m_lock = std::make_unique<QLockFile>(lockFilePath());
    // Age alone never makes the lock stale: the running copy may hold it for
    // days. A lock whose process is gone (killed, crashed) is stale and is
    // taken over by tryLock itself.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        if (m_lock->error() == QLockFile::LockFailedError)
            return false;
        // The runtime folder cannot hold the lock: run unguarded rather than
        // refuse to start.
        qWarning("Nudgery: cannot create the lock file %s", qPrintable(lockFilePath()));
        return true;
    }
    startServer();
    return true;
}

void SingleInstance::startServer()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // Holding the lock means any socket left under the name is a dead copy's.
    QLocalServer::removeServer(serverName());
    if (!m_server->listen(serverName())) {
        qWarning("Nudgery: cannot listen on %s: %s", qPrintable(serverName()),
                 qPrintable(m_server->errorString()));
        return;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            const auto readRequests = [this, socket] {
                while (socket->canReadLine()) {
                    if (socket->readLine() == RaiseRequest)
                        emit raiseRequested();
                }
            };
            connect(socket, &QLocalSocket::readyRead, this, readRequests);
            readRequests();
        }
    });
}

void SingleInstance::askRunningCopyToRaise()
{
    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(SocketTimeoutMs))
        return;
    socket.write(RaiseRequest);
    socket.waitForBytesWritten(SocketTimeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(SocketTimeoutMs);
}
