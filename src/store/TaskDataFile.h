#pragma once

#include "TaskTable.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class DamagedFiles;
class FirstWriteOfDay;

// A file of length-prefixed task records (TaskRecord); the task data file and the
// archive share the format. A record's offset is its task's identity for the run.
class TaskDataFile
{
public:
    // damaged: what the program knows of damaged files, shared by every load and
    // write of the run.
    // firstWrite: what runs before the day's first write (the daily backup), and is
    // told before bytes change; also wanted for a file only read, since a load that
    // finds a damaged tail cuts it off.
    TaskDataFile(const QString &path, DamagedFiles &damaged, FirstWriteOfDay *firstWrite = nullptr)
        : m_path(path), m_damaged(damaged), m_firstWrite(firstWrite)
    {
    }
    const QString &path() const { return m_path; }

    struct LoadResult
    {
        bool fileExisted = true;
        bool damaged = false;
        // Set when the file was damaged: the untouched original was copied here and
        // the file was cut back to its last whole record. (Also set, with damaged, on
        // the first load after a write made the backup that an earlier load could not.)
        QString damagedBackup;
        // Whether damagedMessage() is news: a damage left in place for want of a
        // backup is told once a run, not at every load.
        bool tellUser = false;
    };
    // What the user is told, once, about a damaged file; empty when it was sound.
    QString damagedMessage(const LoadResult &result) const;

    // Rebuilds the table from the file, keeping records whose category equals
    // filter exactly (or all, for "All Items"). A missing file is created empty and
    // leaves the table empty.
    LoadResult LoadTasks(TaskTable &table, const QString &filter) const;
    // Appends row as a new record; its order cell becomes the record's offset.
    void AppendTask(TaskTable &table, int row) const;
    // The same for a task outside any table; the record text written.
    QByteArray appendRow(TaskRow &task) const;
    // Overwrites the record at offset with blanks of the same length.
    void BlankTask(qint64 offset) const;
    // BlankTask for many records, in one opening of the file, all or none: when
    // one fails, those blanked before it get their text back.
    void blankRecords(const QList<qint64> &offsets) const;
    // A changed task (edited, ticked): row is appended as a new record, then the
    // old record at oldOffset is blanked, so that a crash between the two leaves the
    // task twice, never not at all. On a failure the file is left as it was, as far
    // as it lets itself be written, with row's order cell back at oldOffset.
    void ReplaceTask(TaskTable &table, int row, qint64 oldOffset) const;
    // The same for a task outside any table; the record text written.
    QByteArray replaceRow(TaskRow &task, qint64 oldOffset) const;
    // Replaces the file (atomically) with one record per task row, in table order.
    // starts, when given: where each row's record now begins, row 1 first.
    // midnightForBlankHours: a blank hour is written as "00:00".
    void SaveAllTasks(const TaskTable &table, std::vector<qint64> *starts = nullptr,
                      bool midnightForBlankHours = false) const;

    // The record's bytes (length prefix included) at offset.
    QByteArray readRecord(qint64 offset) const;
    // Copies the record at offset verbatim to the end of target (created when
    // missing), then blanks it here; when the blank fails, the copy is taken back.
    // Where the copy landed (a damaged target is cut back first, so not always at
    // the length it had before) and the record's text, without its prefix.
    struct Moved
    {
        qint64 at = 0;
        QByteArray text;
    };
    Moved moveRecordTo(qint64 offset, const QString &targetPath) const;
    // A record whose category field a category delete blanked in place, named
    // without holding its text (a fifth of a large file may change at once).
    struct ClearedField
    {
        qint64 offset = 0;
        qint32 from = 0;       // the field's first byte within the record text
        qint32 textLength = 0; // the record text's length
        size_t hash = 0;       // of the record text with the field blanked
    };
    // Blanks the category field of every record whose category equals name,
    // keeping every record's length; read and written a window at a time. The
    // records it changed.
    QList<ClearedField> ClearCategory(const QString &name) const;
    // Writes name back into the fields ClearCategory blanked. Nothing is written,
    // and false returned, unless each record still reads exactly as the clear left
    // it; throws StoreError when a write fails (what was written is blanked again).
    bool restoreCategory(const QString &name, const QList<ClearedField> &fields) const;

    // Replaces the file (atomically) with these records (texts without prefix).
    void writeRecords(const QList<QByteArray> &texts) const;
    // Appends these records (texts without prefix), creating a missing file; the
    // offset of the first.
    qint64 appendRecords(const QList<QByteArray> &texts) const;
    // Appends rows as new records in one write that is all or nothing, also under a
    // kill (AppendJournal); each row's order cell becomes its record's offset. The
    // record texts written. alongside runs after the write, before it is final: when
    // it throws, the records are taken back.
    QList<QByteArray> appendRowsAtOnce(std::vector<TaskRow> &rows,
                                       const std::function<void()> &alongside = {}) const;

    // The texts (without prefix) of the records at these offsets, read through one
    // opening; none where no whole record starts.
    QList<std::optional<QByteArray>> readTexts(const QList<qint64> &offsets) const;
    // A record changed where it stands, keeping its length: `now` must be its text
    // for `then` to be written over it.
    struct InPlaceChange
    {
        qint64 offset = 0;
        QByteArray now;
        QByteArray then;
    };
    // Nothing is written unless every record holds its `now`; throws StoreError
    // otherwise, or when a write fails (the records before it are then changed).
    void rewriteInPlace(const QList<InPlaceChange> &records) const;
    // An append of a text of this length at offset taken back: cut off when it
    // still ends the file, blanked otherwise.
    void takeBackAppend(qint64 offset, qint64 textLength) const;
    // Whether the file ends in a whole record, as a load would find it, with the
    // damaged-file policy applied when not (a copy kept, the file cut back to its
    // last whole record): checked before appending to a file this run has not
    // read since someone else may have written it.
    LoadResult checkTail() const;

    // TaskRecord::orderOffset, for the windows that name it here.
    static qint64 orderOffset(const QString &orderText);

private:
    void beforeWrite() const;
    void openExisting(QFile &f, QIODevice::OpenMode mode) const;
    // Told before bytes the file holds change (the daily backup keeps them first):
    // length bytes from offset, or (-1) all from offset on.
    void beforeChange(qint64 offset, qint64 length) const;
    // The run's record of damaged files asked to let path be written.
    void requireBackedUp(const QString &path) const;
    // Replaces the file with count records, record k (its length first) put at the
    // end of a piece by appendRecord(k, piece), written in
    // pieces as they are made; starts, when given: where each record begins.
    void writeAll(int count, const std::function<void(int, QByteArray &)> &appendRecord,
                  std::vector<qint64> *starts = nullptr) const;
    qint32 recordLengthAt(QFile &f, qint64 offset) const;

    QString m_path;
    DamagedFiles &m_damaged;
    FirstWriteOfDay *m_firstWrite;
};
