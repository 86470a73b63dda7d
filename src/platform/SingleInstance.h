#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QLockFile;
class QLocalServer;

// One running copy per user: a lock file in the user's runtime folder, plus a
// local socket on which a later copy asks the running one to come to the front.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the running copy (it then holds the lock until it
    // ends, and listens for raise requests). False when another copy holds it.
    bool tryAcquire();

    // Called by a second copy; touches no file.
    static void askRunningCopyToRaise();

    // "CorvaneTasklynSoftware.lock" in the runtime folder.
    static QString lockFilePath();
    // The per-user socket name.
    static QString serverName();

signals:
    void raiseRequested();

private:
    void startServer();

    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};
