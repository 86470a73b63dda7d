#pragma once

#include <QByteArray>
#include <QString>

// Makes an append of many records to a file all or nothing, also when the process
// is killed half-way: before the append a small marker file beside it names the
// file's size before and after and holds the first bytes to be appended; once the
// append is whole the marker goes. A start that finds a marker (its append was cut
// short, or finished but not yet confirmed) cuts the file back to its size before,
// provided the file still ends within the append and holds its first bytes there:
// a marker that could not be removed never takes later writes away.
// Unlike FileJournal, which puts whole new copies of files in place, this costs
// no more than the append and leaves the file where it is, so a record's offset
// and the file's identity stay as they were.
class AppendJournal
{
public:
    explicit AppendJournal(const QString &path) : m_path(path) {}

    // The marker beside path: "<file>.pending".
    QString markerPath() const;

    // Before the append of bytes at sizeBefore: the marker on disk. Throws StoreError
    // when it cannot be written (nothing may be appended then).
    void begin(qint64 sizeBefore, const QByteArray &bytes) const;
    // After the append: the marker removed. False when it could not be.
    bool end() const;

    enum class Recovery { NothingPending, RolledBack, Kept, Failed };
    // At start, before the file is read, with no other copy running. Failed: the
    // file could not be cut back or the marker not removed; it is tried again at the
    // next start.
    Recovery recover() const;

private:
    QString m_path;
};
