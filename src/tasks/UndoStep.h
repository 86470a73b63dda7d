#pragma once

#include "store/TaskDataFile.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// What a change was, for the caption of the command that takes it back.
enum class UndoKind {
    Add,
    Edit,
    Tick,
    Untick,
    Delete,
    Archive,
    Unarchive,
    CategoryDelete,
    ArchiveDelete,
    Import
};

// The inverse of one change to the task files, written as every change is: the
// records to append first, then the records to blank; a category delete is taken
// back where it was written, in place. Every record is named by its file and its
// offset, kept true as records move (an undo appends a record again elsewhere,
// the archive viewer compacts its file): an undo writes only where the change
// left things, and is refused when anything else stands there.
struct UndoStep
{
    struct Record
    {
        bool inArchive = false;
        // toAppend: where the change left the record's blank, or -1 once that is
        // gone (compacted away); toBlank: where the record stands.
        qint64 offset = -1;
        QByteArray text;
    };
    UndoKind kind = UndoKind::Add;
    QList<Record> toAppend;
    QList<Record> toBlank;
    // A deleted category: its name, the records of the task data file whose field
    // it blanked in place (named back there), and the key ("1" ...) it was stored
    // under.
    QString category;
    QList<TaskDataFile::ClearedField> cleared;
    int categoryKey = 0;
    // An edit that changed the task's repeat rule: the rule it had (the side file
    // keeps rules, so taking the record back alone would keep the new one).
    std::optional<QByteArray> ruleBefore;

    // Whether the step wrote anything that can be taken back.
    bool isEmpty() const { return toAppend.isEmpty() && toBlank.isEmpty() && cleared.isEmpty(); }
};

namespace UndoRecords {
// A record text without its order field, which a move between offsets rewrites.
QByteArray withoutOrder(const QByteArray &text);
} // namespace UndoRecords
