#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

const QString MutexName = QStringLiteral("CorvaneTasklynSoftware");
const QString LockName = QStringLiteral("Tasklyn.lock");
const QByteArray RaiseRequest = QByteArrayLiteral("raise\n");
constexpr int SocketTimeoutMs = 1000;

QString runtimeFolder()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir;
}

// Tells program folders apart in names kept elsewhere (the socket, the lock of
// a read-only folder).
QString folderKey(const QString &programFolder)
{
    const QByteArray path = QFile::encodeName(QDir(programFolder).canonicalPath());
    return QString::fromLatin1(
        QCryptographicHash::hash(path, QCryptographicHash::Sha1).toHex().left(12));
}

} // namespace

SingleInstance::SingleInstance(const QString &programFolder, QObject *parent)
    : QObject(parent), m_programFolder(programFolder)
{
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
    // The file stays: removing it would let a copy that opened it just before
    // lock a file that no longer has the name, beside one that makes it anew.
    if (m_fd >= 0)
        ::close(m_fd);
}

QString SingleInstance::lockFilePath() const
{
    return QDir(m_programFolder).filePath(LockName);
}

QString SingleInstance::serverName() const
{
    const QString name = MutexName + QLatin1Char('-') + QString::number(::getuid()) +
                         QLatin1Char('-') + folderKey(m_programFolder);
    // A socket path has a small length limit, past which the plain name (in /tmp)
    // serves.
    const QString path = runtimeFolder() + QLatin1Char('/') + name;
    return path.toLocal8Bit().size() < 100 ? path : name;
}

int SingleInstance::lockAt(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    // Close-on-exec: a program started from this one (a browser, a text viewer)
    // must not keep the lock alive after this copy has ended.
    int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC); // a read-only folder
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        m_fd = fd;
        return 1;
    }
    const int error = errno;
    ::close(fd);
    return error == EWOULDBLOCK ? 0 : -1;
}

bool SingleInstance::tryAcquire()
{
    if (m_fd >= 0)
        return true;
    int taken = lockAt(lockFilePath());
    if (taken < 0) {
        // No lock file can be made in the folder (read-only, and never run there
        // before): one in the runtime folder, named after the folder, guards it.
        taken = lockAt(runtimeFolder() + QLatin1Char('/') + MutexName + QLatin1Char('-') +
                       folderKey(m_programFolder) + QStringLiteral(".lock"));
    }
    if (taken < 0)
        qWarning("Nudgery: cannot lock %s; running unguarded", qPrintable(lockFilePath()));
    return taken != 0;
}

void SingleInstance::listenForRaise()
{
    if (m_server)
        return;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // Holding the lock means any socket left under this folder's name is a dead
    // copy's.
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

void SingleInstance::askRunningCopyToRaise() const
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
