#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// One running copy per program folder. The guard is an advisory lock (flock) on
// "Tasklyn.lock" in the program folder: every copy on the same files sees it,
// whatever its runtime folder, and the kernel releases it when the process ends,
// however it ends, so a killed copy never blocks the next start. Beside it, a
// local socket on which a later copy asks the running one to come to the front.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(const QString &programFolder, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this process now holds the lock until it ends. False when another
    // copy holds it. When no lock can be had anywhere (a read-only program folder
    // and no runtime folder), true: better unguarded than never started.
    bool tryAcquire();
    // The copy that holds the lock listens for raise requests.
    void listenForRaise();

    // Called by a second copy; touches no file.
    void askRunningCopyToRaise() const;

    // "Tasklyn.lock" in the program folder.
    QString lockFilePath() const;
    // The socket's name: per user and per program folder.
    QString serverName() const;

signals:
    void raiseRequested();

private:
    // The lock on the file at path, opened (made when missing) without ever
    // changing it: 1 taken, 0 held by another copy, -1 cannot be had there.
    int lockAt(const QString &path);

    QString m_programFolder;
    int m_fd = -1;
    QLocalServer *m_server = nullptr;
};
