#pragma once

#include <QString>

// What tells that a file was written: its size, its inode (a file renamed over
// it is another one) and its times of change, to the nanosecond. An older copy
// put in its place changes the stamp even when it carries the old time of
// modification, as the change time cannot be set.
struct FileStamp
{
    qint64 size = -1;
    quint64 inode = 0;
    qint64 modified = 0;
    qint64 changed = 0;

    // A missing file's stamp is the empty one.
    static FileStamp of(const QString &path);
    bool operator==(const FileStamp &o) const
    {
        return size == o.size && inode == o.inode && modified == o.modified && changed == o.changed;
    }
    bool operator!=(const FileStamp &o) const { return !(*this == o); }
};
