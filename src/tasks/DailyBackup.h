#pragma once

#include <QDate>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTime>

#include <functional>
#include <memory>

class Clock;
class FirstWriteOfDay;

// Copies of the program's files in "backups" inside the program folder: one
// sub-folder a day (yyyy-MM-dd), made before that day's first write, the latest
// 14 kept; and one sub-folder for the state before each restore
// (yyyy-MM-dd_HH-mm-ss_before-restore), the latest 14 of those kept beside them.
// No copy is ever written over. A daily copy that fails is told once a run and
// never stops the write.
//
// The day's copy of the two record files is made on a thread of its own, so that
// the day's first command waits for no copy: the bytes a command overwrites
// before the copy is done are kept first (in a journal inside the copy's folder)
// and put back into the copy, which thus holds the files as they were before the
// day's first write; a start after a kill finishes it from the journal.
class DailyBackup : public QObject
{
    Q_OBJECT
public:
    static constexpr int DaysKept = 14;
    static constexpr int RestoresKept = 14;

    // fileNames: inside programFolder (with its trailing '/'); the first one is the
    // task data file and the second the archive, whose tasks a listing counts.
    // Their changes must be told through beforeChange; the others (the settings
    // file) are copied at once.
    DailyBackup(const QString &programFolder, const QStringList &fileNames, const Clock &clock,
                QObject *parent = nullptr);
    // Waits for a copy under way and completes it.
    ~DailyBackup() override;

    QString folder() const { return m_folder; }
    // Today's copy of the files, unless there is one already (this run's or an
    // earlier run's): the step run before the day's first write (FirstWriteOfDay).
    // The record files are copied on a thread of their own.
    void makeTodaysCopy();
    // Called before bytes that a record file holds change (FirstWriteOfDay's
    // beforeChange): length bytes from offset, or (-1) all from offset on.
    void beforeChange(const QString &path, qint64 offset, qint64 length);
    // Both steps, from the writes they come before.
    void watch(FirstWriteOfDay &firstWrite);
    // Waits for the day's copy under way, if any, and puts it in its place.
    void finishPending();
    // Runs on the copying thread before it copies: lets a test hold the copy back.
    void setCopyGate(std::function<void()> gate) { m_copyGate = std::move(gate); }

    enum class Kind {
        Daily,        // the files as they were before that day's first change
        BeforeRestore // the files as they were just before a restore
    };
    struct Backup
    {
        Kind kind = Kind::Daily;
        QDate date;
        QTime time; // the restore's moment; none for a daily copy
        QString path;
        int tasks = 0;    // in the task data file
        int archived = 0; // in the archive
        bool holdsTasks() const { return tasks + archived > 0; }
    };
    // Newest first; a day's copy under way is waited for, so that it is listed.
    QList<Backup> list();

    enum class Restored {
        Done,
        Empty,      // the backup holds no task (made before the first one was stored)
        NotBackedUp // the current files could not be copied: nothing was restored
    };
    // The files of a backup replace the program's as one step (a kill leaves all of
    // them as they were or all restored, see recoverRestore), after the current
    // ones are copied into a folder of their own. A file the backup lacks stays as
    // it is. With NotBackedUp, the system's reason when it gave one; throws
    // StoreError when the files cannot be written (nothing is restored then).
    Restored restore(const QString &backupPath, QString *reason);
    // Finishes or undoes a restore that a kill interrupted; run at start-up before
    // the files are read, by the copy that holds the program folder's lock.
    static void recoverRestore(const QString &programFolder);
    // How a restore writes the file named: mark turns the bytes it restores (the
    // backup's copy, or the current file's when the backup has none) into the
    // bytes it puts in place, as part of the one step; empty: the file is left.
    void markOnRestore(const QString &fileName, std::function<QByteArray(const QByteArray &)> mark);
    // Finishes the day's copies that a kill interrupted, from their journals and
    // the files as they are now; run at start-up as recoverRestore, before it.
    static void recoverPendingCopies(const QString &programFolder);

signals:
    // A backup could not be made in folder (the system's reason, or empty); told
    // once a run.
    void failed(const QString &folder, const QString &reason);

private:
    // Copies the files into a new sub-folder (made whole beside it, then renamed
    // into place); false, with the system's reason when it gave one, when it
    // could not be made or the folder is already there.
    bool copyInto(const QString &leaf, QString *reason);
    QString beforeRestoreLeaf() const;
    void removeOldest();
    QList<Backup> listed(bool countTasks) const;
    // Starts the day's copy into leaf: the other files at once, the record files
    // on the copying thread. False, with the system's reason, when it cannot start.
    bool startCopy(const QString &leaf, QString *reason);
    void failedCopy(const QString &reason);

    QString m_programFolder;
    QString m_folder;
    QStringList m_fileNames;
    QHash<QString, std::function<QByteArray(const QByteArray &)>> m_marks;
    const Clock &m_clock;
    bool m_told = false;
    QStringList m_recordPaths; // the record files' absolute paths
    std::function<void()> m_copyGate;

    // The day's copy under way.
    struct Pending;
    std::unique_ptr<Pending> m_pending;
};
