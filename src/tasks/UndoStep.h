#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// What a change was, for the caption of the command that takes it back.
enum class UndoKind { Add, Edit, Tick, Untick, Delete, Archive, Unarchive, CategoryDelete, Import };

// The inverse of one change to the task files, written as every change is: the
// records to append first, then the records to blank. A record to blank is found
// by its text, the order field aside, at its offset when it is still there and
// anywhere in its file otherwise (the archive viewer compacts its file, and
// earlier undos move records).
struct UndoStep
{
    struct Record
    {
        bool inArchive = false;
        qint64 offset = -1;
        QByteArray text;
    };

    UndoKind kind = UndoKind::Add;
    QList<QByteArray> toData;    // record texts appended to the task data file
    QList<QByteArray> toArchive; // record texts appended to the archive
    QList<Record> toBlank;
    // A deleted category: its name, and the stored names as they were before.
    QString category;
    QStringList categoryNames;
};

namespace UndoRecords {
// A record text without its order field, which a move between offsets rewrites.
QByteArray withoutOrder(const QByteArray &text);
// The offset of the first whole, unblanked record in a file's bytes whose text is
// record's (order aside), preferring record.offset and passing over taken offsets;
// -1 when there is none.
qint64 find(const QByteArray &fileBytes, const UndoStep::Record &record,
            const QList<qint64> &taken);
} // namespace UndoRecords
