#pragma once

#include <QHash>
#include <QString>

// What is done about damaged record files. A load that finds a file damaged copies
// it aside and cuts it back to its whole records. When no copy can be made the file
// is left as it is (the damaged tail may still be worth recovering) and nothing may
// be written to it: an append would land behind the damage, where no reader finds
// it, and a rewrite would drop the tail with no copy left. What a load learns holds
// for the later loads and writes that share this object: one per program run.
class DamagedFiles
{
public:
    DamagedFiles() = default;
    // A copy would split what the loads and writes of a run must share.
    DamagedFiles(const DamagedFiles &) = delete;
    DamagedFiles &operator=(const DamagedFiles &) = delete;

    struct Found
    {
        QString backup; // empty when no copy could be made
        bool tellUser = false;
    };
    // A load found path damaged after its first soundLength bytes. A damage left in
    // place for want of a backup is told once, not at every load.
    Found foundDamaged(const QString &path, qint64 soundLength);
    // A load found path sound: the backup that a write made of it since, if any, for
    // this load to tell.
    QString foundSound(const QString &path);

    // Throws StoreError unless path may be written: a damaged file gets its backup
    // first.
    void requireBackedUp(const QString &path);
    // Whether requireBackedUp would cut path back first (a damaged file whose
    // backup could not be made yet).
    bool awaitsCut(const QString &path) const;

private:
    // Copies the damaged file aside and cuts it back to its sound part; the backup's
    // name, or empty when no copy could be made (the file is then left as it is).
    QString backUpAndCut(const QString &path, qint64 soundLength);

    // A damaged file that could not be backed up: the length of its sound part, and
    // whether the user has been told.
    struct Uncut
    {
        qint64 soundLength = 0;
        bool told = false;
    };
    QHash<QString, Uncut> m_uncut;           // by absolute path
    QHash<QString, QString> m_backupsToTell; // made by a write, for the next load
};
