#pragma once

#include "RepeatRule.h"
#include "UndoStep.h"
#include "store/FileStamp.h"
#include "store/TaskDataFile.h"
#include "store/TaskTable.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class Clock;
class DamagedFiles;
class DateFormat;
class FirstWriteOfDay;
class Settings;
class TaskIdentities;

// The current tasks, without a widget: the task table, the task data file and
// the archive file, the category filter and the sort state. Every change to a
// task goes through here; it writes the files, brings the table to what a
// refresh (load with the filter, then sort) would give and tells the windows
// with `changed`. A command changes only the rows it touched: a new row goes
// where the sort puts it, so a change costs the same with any number of tasks.
class TaskList : public QObject
{
    Q_OBJECT
public:
    TaskList(const QString &dataPath, const QString &archivePath, DamagedFiles &damaged,
             QObject *parent = nullptr);

    TaskTable &table() { return m_table; }
    const TaskTable &table() const { return m_table; }
    const QString &dataFileName() const { return m_dataPath; }
    const QString &archiveFileName() const { return m_archivePath; }
    TaskDataFile dataFile() const;
    // The last load found the task data file (a missing one is created empty but
    // leaves the table unloaded).
    bool loaded() const { return m_loaded; }

    // --- The refresh sequence
    // Rebuilds the table from the file with this category filter ("All Items": every
    // task). A damaged file is told through `damaged`.
    void load(const QString &filter);
    const QString &filter() const { return m_filter; }
    // Sorts by the sort state (tag 1 sorts descending).
    void applySort();
    // load, then applySort; nothing to do when the table already holds this
    // filter's tasks in that order and the file is as this list last wrote it.
    void show(const QString &filter);
    // load with the current filter, sort, and `changed`.
    void refresh();
    // A task whose hour was empty in the file shows midnight.
    void fillEmptyHours();

    // --- Sort state: the column (Col::SortKey for dates) and the direction tag.
    int sortColumn() const { return m_sortColumn; }
    int sortTag() const { return m_sortTag; }
    void setSortState(int column, int tag);
    // A sort command: the column, the direction toggled, then the sort.
    void sortByCommand(int column);
    // A header click: sorts by the column in the direction the tag held, then
    // stores the column and toggles the tag.
    void sortByHeader(int column);

    // --- Commands. Each throws StoreError with the file's message when a write
    // fails; the table is then as the files have it.
    // A new task: appended, then the refresh. The row it was written from, which
    // the editor selects afterwards when the filter shows it.
    // With a rule (RepeatRule's stored text, empty: never), the task's identity
    // keeps it.
    int add(const TaskRow &task, const std::optional<QByteArray> &rule = std::nullopt);
    // A changed task at a table row: the new version appended, the old blanked, then
    // the refresh.
    void replace(int row, const TaskRow &task,
                 const std::optional<QByteArray> &rule = std::nullopt);
    // Ticks an open task or unticks a done one, in the file and the row; no re-sort.
    // True when the task is now done. A repeating task ticked moves to its next
    // date instead, open, and its done occurrence goes to the archive: one change,
    // all or nothing (false: the task is not done).
    bool toggleDone(int row);
    // Deletes the task rows top .. bottom.
    void remove(int top, int bottom);
    // Moves the task rows top .. bottom into the archive file (made when missing),
    // all or none: when a move fails, the ones before it are taken back and the
    // table stays as it was. An archive whose end is damaged is cut back to its
    // last whole record first (told through `damaged`), so the moved records are
    // readable.
    void archive(int top, int bottom);
    // The archive viewer's Unarchive: the archived record at archiveOffset comes
    // back unchanged, appended here and blanked there as one step (a blank that
    // fails takes the append back).
    void unarchive(qint64 archiveOffset);
    // The archive viewer's Delete: the archived record at archiveOffset is blanked.
    void deleteArchived(qint64 archiveOffset);
    // The archive viewer's close: the archive rewritten compactly from its table,
    // in the order shown.
    void saveArchive(const TaskTable &archived);
    // Blanks the category in every stored task that has it; the table is reloaded
    // and sorted. storedKey: the key ("1" ...) the name was stored under before the
    // category dialog took it out, where undo puts it back (0: none).
    void clearCategory(const QString &name, int storedKey = 0);
    // Many new tasks at once (an import): appended in one write that is all or
    // nothing, even under a kill; one undo step; then the refresh. alongside runs
    // once they are written, while a failure (its exception) still takes them back.
    void addAll(std::vector<TaskRow> tasks, const std::function<void()> &alongside = {});
    // The exit's save: rewrites the task data file compactly from the table, an
    // empty hour stored as the midnight the window showed, in the one pass that
    // makes the records.
    void save() const;

    // --- Changes that come from elsewhere (the sync): a task is named by its
    // record's offset, so one the filter hides changes too, and the selection
    // stays where it is. Each is a change like the others, undone by Ctrl+Z.
    // The record text written.
    QByteArray addTask(const TaskRow &task);
    QByteArray replaceRecord(qint64 offset, const TaskRow &task);
    void removeRecords(const QList<qint64> &offsets);

    // --- Repeating tasks: their rules live with their identities, so they need the
    // side file. What a tick needs to move a task to its next date: today, the date
    // format of the date cells, and how rules set elsewhere are followed.
    void setRepeats(const Clock *clock, const DateFormat *dates,
                    RepeatRule::ElsewhereNext elsewhere);
    // How the task at a table row repeats (Never without the side file). A rule
    // kept that gives no dates reads as Never, and refused says why.
    RepeatRule repeatRule(int row, QString *refused = nullptr) const;
    // The task's date (from its sort key, else its date cell); none when neither reads.
    std::optional<QDate> taskDate(const TaskRow &task) const;

    // --- Undo: each change above is recorded with its inverse, back to the start
    // of the run. Undo writes the inverse (appends, then blanks; a category delete
    // in place), then the refresh. A task data file that someone else wrote since
    // this list last did is loaded again first. Undo throws StoreError when a write
    // fails (what it wrote is taken back), or when the records it would write are
    // no longer where the change left them (deleted in the archive viewer, the file
    // replaced from outside): that change is then dropped from the history.
    bool canUndo() const { return !m_undo.empty(); }
    UndoKind nextUndo() const { return m_undo.back().kind; }
    void undo();
    // The files were replaced from outside the history (a restore).
    void forgetUndo();
    // A restore from backup put other files in place: the history is forgotten,
    // the windows read the stored categories again (categoriesRestored), the side
    // file of identities is read again, and the next sync told to delete nothing
    // on either side (the restore was meant to bring tasks back).
    void filesRestored();
    // What runs before the day's first write to the files (the daily backup).
    void setFirstWriteOfDay(FirstWriteOfDay *firstWrite) { m_firstWrite = firstWrite; }
    FirstWriteOfDay *firstWriteOfDay() const { return m_firstWrite; }
    // Where undo writes the category names back ([Category]).
    void setSettings(Settings *settings) { m_settings = settings; }
    // The side file of identities, told of every record a change or an undo
    // writes in place of another, so a task keeps its identity through them.
    void setIdentities(TaskIdentities *identities) { m_identities = identities; }
    TaskIdentities *identities() const { return m_identities; }

    // --- After a failed conversion of the older release's tasks nothing may create
    // or change the task files in this run, or the next start would find a task
    // file and never try the conversion again.
    void blockWrites() { m_writesBlocked = true; }
    bool writesBlocked() const { return m_writesBlocked; }

    // --- The stored category list changed (the category dialog wrote it).
    void tellCategoryAdded(const QString &name) { emit categoryAdded(name); }
    void tellCategoryDeleted(const QString &name) { emit categoryDeleted(name); }

signals:
    // The rows changed (a command, a reload, a sort): any row may be another task.
    void changed();
    // The first task row is current after a sort; a command may then ask for another.
    void selectionWanted(int row);
    // A damaged task file: the message for the user.
    void damaged(const QString &message);
    void categoryAdded(const QString &name);
    void categoryDeleted(const QString &name);
    // The stored category list changed otherwise than by one add or delete (a
    // restore from backup put another in place): the windows read it again.
    void categoriesRestored();
    // A change was recorded or undone: the next undo is another one.
    void undoChanged();
    // A repeating task was ticked as a plain task: its rule gives no next date.
    void notRepeating(const QString &task, const QString &reason);
    // The files were put back from a backup: offsets and identities read before
    // are no longer true.
    void filesReplaced();

private:
    void write(int row, const TaskRow &task, bool isNew, const std::optional<QByteArray> &rule);
    // The table row showing the record at offset, or 0.
    int tableRowAt(qint64 offset) const;
    // After a record was written at offset in place of the one shown at row (0:
    // none): the table as a refresh would give it, and `changed`.
    void show(int row, const QByteArray &text, qint64 offset);
    void record(UndoStep step);
    void tellIdentities(const UndoStep &step, bool undone);
    // After a command over the rows top .. bottom, finished or cut short: records
    // what was written and takes the rows from gone to gone + count - 1 out.
    void settle(UndoStep step, int gone, int count);
    // Whether a command may change the table row by row instead of a refresh: the
    // table holds what a load gives. It is then brought to the order of the sort
    // state, as a refresh would (rows a tick changed where they stand go to their
    // places, or the whole table is sorted again), without reading the file.
    bool makeInPlace();
    // The rows a tick left where they stood put where the sort puts them.
    void placeUnplaced();
    // A record just written to the task data file at offset: shown where a
    // refresh would show it, or not at all when the filter hides it.
    void place(const QByteArray &text, qint64 offset);
    // A row put where the sort puts it: after the rows before it in the sort, and
    // after the rows that tie with it whose records come before its own.
    void placeRow(const TaskRow &row);
    // Many records at once: the ones the filter shows, placed.
    void placeAll(const QList<QPair<QByteArray, qint64>> &records);
    // The rows of the records at these offsets of the task data file leave.
    void dropRows(const std::vector<qint64> &offsets);
    bool filterShows(const QByteArray &text) const;
    // Blanks the category in the file and records it; the records it changed.
    QList<TaskDataFile::ClearedField> writeClearedCategory(const QString &name, int storedKey);
    // The table after a category field changed in place: renamed in the shown
    // rows (bytesDone: renameBytes did it already), or the rows gone when the
    // filter showed only that category.
    void renameInTable(const QList<TaskDataFile::ClearedField> &fields, const QByteArray &before,
                       const QByteArray &after, bool bytesDone = false);
    // Whether a rename changes the loaded rows in place (no filter shows one
    // category only).
    bool renamesRowsInPlace() const;
    // The fields in the loaded bytes renamed; touches nothing else of this list.
    void renameBytes(const QList<TaskDataFile::ClearedField> &fields, const QByteArray &before,
                     const QByteArray &after);
    bool ascending() const { return (m_sortTag & 0xFF) != 1; }
    // After every write of the task data file: the rows a filter set aside may
    // lack what it wrote, so they are read again when the filter changes.
    void noteFileWritten()
    {
        m_writtenStamp = FileStamp::of(m_dataPath);
        m_table.dropAside();
    }
    QByteArray recordText(qint64 offset) const;
    void requireWritable() const;
    // The archive's end checked, unless this run has known it whole since its last
    // change.
    void requireSoundArchive();
    void noteArchiveWritten() { m_archiveStamp = FileStamp::of(m_archivePath); }
    TaskDataFile fileOf(bool inArchive) const;
    // The archive opened (made when missing) and its end checked, before a record
    // goes there: a missing folder or a locked file stops a command with nothing
    // written.
    void openArchiveForAppend();
    // A repeating task ticked: moved to next, its done occurrence archived.
    void tickRepeating(int row, const QDate &next);

    // --- Undo (TaskListUndo.cpp)
    // Throws the undo's refusal unless every record of step stands where the
    // change left it.
    void requireInPlace(const UndoStep &step) const;
    // The writes of step, all or none; the records appended to the task data
    // file, with their new offsets.
    QList<QPair<QByteArray, qint64>> writeUndo(const UndoStep &step);
    // The table after an undo's writes: changed where they were, as the command
    // changed it.
    void followUndo(const UndoStep &step, const QList<QPair<QByteArray, qint64>> &appended,
                    bool namesBack);
    // An undo appended records again at new offsets: the older steps that name
    // them follow.
    void followMoves(bool inArchive, const QHash<qint64, qint64> &moved);
    void putCategoryBack(const UndoStep &step);

    TaskTable m_table;
    DamagedFiles &m_damaged;
    QString m_dataPath;
    QString m_archivePath;
    QString m_filter = AllItems;
    int m_sortColumn = 0;
    int m_sortTag = 0;
    bool m_loaded = false;
    bool m_sorted = false;          // in the order of the sort state, but for m_unplaced
    std::vector<qint64> m_unplaced; // rows ticked where they stood, by record offset
    bool m_asInFile = false;        // every cell as a load of the file gives it
    FileStamp m_writtenStamp;
    FileStamp m_archiveStamp; // the archive when last known whole
    qint64 m_goneMark = -1;   // the last mark of an archive blank compacted away
    bool m_writesBlocked = false;
    Settings *m_settings = nullptr;
    TaskIdentities *m_identities = nullptr;
    FirstWriteOfDay *m_firstWrite = nullptr;
    std::vector<UndoStep> m_undo;
    const Clock *m_clock = nullptr;
    const DateFormat *m_dates = nullptr;
    RepeatRule::ElsewhereNext m_elsewhere;
};
