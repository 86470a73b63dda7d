#include "TaskList.h"

#include "store/TaskIdentities.h"

#include "SortRows.h"
#include "store/Clock.h"
#include "store/Settings.h"
#include "store/StoreError.h"
#include "store/TaskDataFile.h"
#include "store/TaskIdentities.h"
#include "store/TaskRecord.h"
#include "store/Win1252.h"

#include <QFile>
#include <QHash>

#include <algorithm>
#include <functional>
#include <utility>

namespace {

int toggledTag(int tag)
{
    return tag == 1 ? 0 : 1;
}

// A task row as a load of its record at offset decodes it.
TaskRow rowOfRecord(const QByteArray &text, qint64 offset)
{
    TaskRow row;
    for (int c = 0; c < Col::Count; ++c)
        row[size_t(c)] = TaskRecord::field(text, c);
    row[Col::Order] = QString::number(offset);
    return row;
}

} // namespace

TaskList::TaskList(const QString &dataPath, const QString &archivePath, DamagedFiles &damaged,
                   QObject *parent)
    : QObject(parent), m_damaged(damaged), m_dataPath(dataPath), m_archivePath(archivePath)
{
}

TaskDataFile TaskList::dataFile() const
{
    return TaskDataFile(m_dataPath, m_damaged, m_firstWrite);
}

void TaskList::requireWritable() const
{
    if (m_writesBlocked)
        throw StoreError(QStringLiteral(
            "The tasks of the older release could not be converted (see the message at start-up), "
            "so no task can be stored now: correct that task in \"Tasklyn.INI\" and start Nudgery "
            "again."));
}

void TaskList::load(const QString &filter)
{
    m_filter = filter;
    m_loaded = false;
    m_sorted = false;
    m_asInFile = true;
    if (m_writesBlocked) {
        m_table.clearTasks(); // a missing file would be created by the load
        return;
    }
    const TaskDataFile file = dataFile();
    const TaskDataFile::LoadResult result = file.LoadTasks(m_table, filter);
    if (result.tellUser)
        emit damaged(file.damagedMessage(result));
    m_loaded = result.fileExisted;
    // A damaged file is cut back, and the user told, by the write and the load
    // after it: until a load finds it sound, every command reloads.
    m_asInFile = !result.damaged;
    noteFileWritten();
}

void TaskList::applySort()
{
    // Only the tag's lowest byte counts, as the stored value may be any integer.
    SortRows(m_table, m_sortColumn, ascending());
    m_sorted = true;
    m_unplaced.clear();
}

bool TaskList::makeInPlace()
{
    if (!m_loaded || !m_asInFile)
        return false;
    if (!m_sorted)
        applySort();
    else if (!m_unplaced.empty())
        placeUnplaced();
    return true;
}

void TaskList::placeUnplaced()
{
    const std::vector<int> found = m_table.rowsAt(std::exchange(m_unplaced, {}));
    std::vector<int> rows;
    for (int r : found)
        if (r > 0)
            rows.push_back(r);
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    std::vector<TaskRow> taken;
    for (int r : rows) {
        taken.push_back(m_table.row(r));
        m_table.removeTasks(r, r);
    }
    for (const TaskRow &row : taken)
        placeRow(row);
}

void TaskList::show(const QString &filter)
{
    // While the file is as this list last wrote it, a filter is a selection of the
    // loaded rows: the ones another filter set aside come back where they stood.
    const bool unchanged = FileStamp::of(m_dataPath) == m_writtenStamp;
    if (unchanged && filter != m_filter && m_filter != AllItems && m_table.bringBack())
        m_filter = AllItems;
    if (unchanged && (filter == m_filter || m_filter == AllItems) && makeInPlace()) {
        if (filter != m_filter) {
            m_filter = filter;
            const bool storable = Win1252::firstUnencodable(filter) < 0;
            const QByteArray bytes = Win1252::encode(filter);
            m_table.setAside([&](int row) { return storable && m_table.hasCategory(row, bytes); });
        }
        return;
    }
    load(filter);
    applySort();
}

void TaskList::refresh()
{
    load(m_filter);
    applySort();
    emit changed();
}

void TaskList::fillEmptyHours()
{
    if (m_table.isEmpty())
        return;
    for (int r = 1; r < m_table.rowCount(); ++r) {
        const std::optional<QByteArray> bytes = m_table.cellBytes(Col::Hour, r);
        if (bytes ? TaskRecord::isBlankField(*bytes)
                  : m_table.cell(Col::Hour, r).trimmed().isEmpty()) {
            m_table.setCell(Col::Hour, r, QStringLiteral("00:00"));
            m_asInFile = false; // a reload shows the empty hour again
        }
    }
}

void TaskList::filesRestored()
{
    forgetUndo();
    if (m_identities) {
        m_identities->load();
        m_identities->setRestored(true);
    }
    emit categoriesRestored();
    emit filesReplaced();
}

void TaskList::setSortState(int column, int tag)
{
    m_sortColumn = column;
    m_sortTag = tag;
    m_sorted = false;
}

void TaskList::sortByCommand(int column)
{
    m_sortColumn = column;
    m_sortTag = toggledTag(m_sortTag);
    applySort();
}

void TaskList::sortByHeader(int column)
{
    const bool up = (m_sortTag & 0xFF) != 0;
    SortRows(m_table, column, up);
    m_sortColumn = column;
    m_sortTag = toggledTag(m_sortTag);
    // Only a tag outside 0 and 1 sorts a header click the other way from a refresh.
    m_sorted = up == ascending();
    m_unplaced.clear();
}

int TaskList::add(const TaskRow &task, const std::optional<QByteArray> &rule)
{
    const int row = m_table.isEmpty() ? 1 : m_table.rowCount();
    write(row, task, true, rule);
    return row;
}

bool TaskList::filterShows(const QByteArray &text) const
{
    // The load's own test: categories compare as bytes.
    if (m_filter == AllItems)
        return true;
    return Win1252::firstUnencodable(m_filter) < 0 &&
           TaskRecord::categorySpan(text).in(text) == Win1252::encode(m_filter);
}

void TaskList::place(const QByteArray &text, qint64 offset)
{
    if (filterShows(text))
        placeRow(rowOfRecord(text, offset));
}

void TaskList::placeRow(const TaskRow &row)
{
    const QString &key = row[size_t(m_sortColumn)];
    const qint64 offset = TaskRecord::orderOffset(row[Col::Order]);
    const bool up = ascending();
    int lo = 1;
    int hi = m_table.isEmpty() ? 1 : m_table.rowCount();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        const int c = CompareCellText(m_table.cell(m_sortColumn, mid), key);
        const bool before = c != 0 ? (up ? c < 0 : c > 0) : m_table.recordOffset(mid) < offset;
        if (before)
            lo = mid + 1;
        else
            hi = mid;
    }
    m_table.insertTask(lo, row);
}

void TaskList::placeAll(const QList<QPair<QByteArray, qint64>> &records)
{
    std::vector<TaskRow> rows;
    for (const auto &[text, offset] : records)
        if (filterShows(text))
            rows.push_back(rowOfRecord(text, offset));
    // Each placed row shifts the rows after it: many are put in at the end and
    // sorted with the rest.
    constexpr size_t Few = 64;
    if (rows.size() <= Few) {
        for (const TaskRow &row : rows)
            placeRow(row);
        return;
    }
    m_table.appendTasks(std::move(rows));
    applySort();
}

void TaskList::dropRows(const std::vector<qint64> &offsets)
{
    std::vector<int> rows;
    for (int r : m_table.rowsAt(offsets))
        if (r > 0)
            rows.push_back(r);
    if (rows.size() > 8) {
        std::vector<bool> gone(size_t(m_table.rowCount()), false);
        for (int r : rows)
            gone[size_t(r)] = true;
        m_table.removeTasks(gone);
        return;
    }
    // An offset named twice takes its row once.
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int r : rows)
        m_table.removeTasks(r, r);
}

QByteArray TaskList::recordText(qint64 offset) const
{
    return dataFile().readRecord(offset).mid(4);
}

void TaskList::settle(UndoStep step, int gone, int count)
{
    // Whatever part of a command was written can be taken back; nothing written,
    // nothing to undo.
    if (!step.isEmpty())
        record(std::move(step));
    if (!m_loaded || !m_asInFile) {
        refresh();
        return;
    }
    if (count > 0)
        m_table.removeTasks(gone, gone + count - 1);
    makeInPlace();
    noteFileWritten();
    emit changed();
}

void TaskList::replace(int row, const TaskRow &task, const std::optional<QByteArray> &rule)
{
    write(row, task, false, rule);
}

void TaskList::write(int row, const TaskRow &task, bool isNew,
                     const std::optional<QByteArray> &rule)
{
    requireWritable();
    TaskRow written = task;
    UndoStep undo;
    undo.kind = isNew ? UndoKind::Add : UndoKind::Edit;
    QByteArray text;
    if (isNew) {
        text = dataFile().appendRow(written);
    } else {
        const qint64 old = m_table.recordOffset(row);
        undo.toAppend.append({false, old, recordText(old)});
        text = dataFile().replaceRow(written, old);
    }
    const qint64 offset = TaskDataFile::orderOffset(written[Col::Order]);
    undo.toBlank.append({false, offset, text});
    if (!isNew && rule && m_identities) {
        QByteArray before =
            m_identities->ruleOf(TaskIdentities::Place::Data, undo.toAppend.front().text);
        if (before != *rule)
            undo.ruleBefore = std::move(before);
    }
    record(std::move(undo));
    // After the identity followed the record: the rule goes with the task.
    if (rule && m_identities)
        m_identities->setRule(TaskIdentities::Place::Data, text, *rule);
    if (m_loaded && m_asInFile) {
        if (!isNew)
            m_table.removeTasks(row, row);
        makeInPlace();
        place(text, offset);
        noteFileWritten();
        emit changed();
    } else {
        refresh();
    }
    if ((m_filter == AllItems || m_filter == task[Col::Category]) && row >= 1 &&
        row < m_table.rowCount())
        emit selectionWanted(row);
}

bool TaskList::toggleDone(int row)
{
    // The table changes only once the file has: a failure leaves both as they were.
    TaskRow task = m_table.row(row);
    const bool wasDone = task[Col::Done] == DoneMark;
    if (!wasDone) {
        QString reason;
        const RepeatRule rule = repeatRule(row, &reason);
        if (rule.repeats()) {
            const std::optional<QDate> next =
                rule.next(taskDate(task).value_or(QDate()), m_clock->today(), m_elsewhere, &reason);
            if (next) {
                tickRepeating(row, *next);
                return false;
            }
        }
        if (!reason.isEmpty())
            emit notRepeating(task[Col::Task], reason);
    }
    task[Col::Done] = wasDone ? QStringLiteral(" ") : DoneMark;
    const qint64 old = m_table.recordOffset(row);
    UndoStep undo;
    undo.kind = wasDone ? UndoKind::Untick : UndoKind::Tick;
    undo.toAppend.append({false, old, recordText(old)});
    const QByteArray text = dataFile().replaceRow(task, old);
    const qint64 offset = TaskDataFile::orderOffset(task[Col::Order]);
    m_table.setRow(row, rowOfRecord(text, offset));
    undo.toBlank.append({false, offset, text});
    record(std::move(undo));
    // The row stays where it stood; the next change to the list puts it in its
    // place, as a refresh would (among the rows it ties with, its record is now
    // the file's last).
    if (m_sortColumn != Col::Order) {
        m_unplaced.erase(std::remove(m_unplaced.begin(), m_unplaced.end(), old), m_unplaced.end());
        m_unplaced.push_back(offset);
        constexpr size_t Most = 16; // beyond that a sort costs less than placing each
        if (m_unplaced.size() > Most) {
            m_unplaced.clear();
            m_sorted = false;
        }
    } else {
        m_sorted = false;
    }
    noteFileWritten();
    return !wasDone;
}

void TaskList::remove(int top, int bottom)
{
    const TaskDataFile file = dataFile();
    UndoStep undo;
    undo.kind = UndoKind::Delete;
    // From the bottom up; cut short, the rows below the failed one are gone.
    int r = bottom;
    try {
        for (; r >= top; --r) {
            const qint64 offset = m_table.recordOffset(r);
            const QByteArray text = recordText(offset);
            file.BlankTask(offset);
            undo.toAppend.append({false, offset, text});
        }
    } catch (...) {
        // Rows already blanked must leave the table too, or the exit would write them
        // back; they can still come back by undo.
        settle(std::move(undo), r + 1, bottom - r);
        throw;
    }
    settle(std::move(undo), top, bottom - top + 1);
}

TaskDataFile TaskList::fileOf(bool inArchive) const
{
    return TaskDataFile(inArchive ? m_archivePath : m_dataPath, m_damaged, m_firstWrite);
}

void TaskList::requireSoundArchive()
{
    if (FileStamp::of(m_archivePath) == m_archiveStamp)
        return;
    const TaskDataFile archive = fileOf(true);
    const TaskDataFile::LoadResult result = archive.checkTail();
    if (result.tellUser)
        emit damaged(archive.damagedMessage(result));
    // A damage left in place for want of a copy refuses the append itself.
    if (!result.damaged || !result.damagedBackup.isEmpty())
        noteArchiveWritten();
}

void TaskList::openArchiveForAppend()
{
    {
        QFile archiveFile(m_archivePath);
        if (!archiveFile.open(QIODevice::ReadWrite))
            throw StoreError::cannotOpen(m_archivePath, archiveFile.errorString());
    }
    requireSoundArchive();
}

void TaskList::archive(int top, int bottom)
{
    requireWritable();
    openArchiveForAppend();
    // The table is left alone until every record has moved, so the row numbers
    // hold for the whole loop.
    const TaskDataFile records = dataFile();
    UndoStep undo;
    undo.kind = UndoKind::Archive;
    try {
        for (int r = top; r <= bottom; ++r) {
            const qint64 offset = m_table.recordOffset(r);
            const TaskDataFile::Moved moved = records.moveRecordTo(offset, m_archivePath);
            undo.toAppend.append({false, offset, moved.text});
            undo.toBlank.append({true, moved.at, moved.text});
        }
    } catch (...) {
        // All or none: the records moved so far go back, the last first, each
        // written back here before it leaves the archive (a task twice for a
        // moment, never in neither file). Should one not go back, it and the ones
        // before it stay moved, as the table then shows.
        int moved = int(undo.toAppend.size());
        try {
            for (; moved > 0; --moved) {
                const UndoStep::Record &here = undo.toAppend[moved - 1];
                const UndoStep::Record &there = undo.toBlank[moved - 1];
                records.rewriteInPlace(
                    {{here.offset, QByteArray(here.text.size(), ' '), here.text}});
                fileOf(true).takeBackAppend(there.offset, there.text.size());
            }
        } catch (...) {
        }
        noteArchiveWritten();
        // Nothing moved: the files are as they were, and so are the table and the
        // rows the user selected.
        if (moved == 0) {
            noteFileWritten();
        } else {
            undo.toAppend.resize(moved);
            undo.toBlank.resize(moved);
            settle(std::move(undo), top, moved);
        }
        throw;
    }
    noteArchiveWritten();
    settle(std::move(undo), top, bottom - top + 1);
}

void TaskList::unarchive(qint64 archiveOffset)
{
    requireWritable();
    const TaskDataFile::Moved moved = fileOf(true).moveRecordTo(archiveOffset, m_dataPath);
    noteArchiveWritten();
    UndoStep undo;
    undo.kind = UndoKind::Unarchive;
    undo.toAppend.append({true, archiveOffset, moved.text});
    undo.toBlank.append({false, moved.at, moved.text});
    record(std::move(undo));
    if (!makeInPlace()) {
        refresh();
        return;
    }
    place(moved.text, moved.at);
    noteFileWritten();
    emit changed();
}

void TaskList::deleteArchived(qint64 archiveOffset)
{
    requireWritable();
    const TaskDataFile archive = fileOf(true);
    const QByteArray text = archive.readRecord(archiveOffset).mid(4);
    archive.BlankTask(archiveOffset);
    noteArchiveWritten();
    UndoStep undo;
    undo.kind = UndoKind::ArchiveDelete;
    undo.toAppend.append({true, archiveOffset, text});
    record(std::move(undo));
}

void TaskList::clearCategory(const QString &name, int storedKey)
{
    if (m_writesBlocked || !makeInPlace()) {
        if (!m_writesBlocked)
            writeClearedCategory(name, storedKey);
        refresh();
        return;
    }
    const QByteArray nameBytes = Win1252::encode(name);
    renameInTable(writeClearedCategory(name, storedKey), nameBytes,
                  QByteArray(nameBytes.size(), ' '));
    noteFileWritten();
    emit changed();
}

bool TaskList::renamesRowsInPlace() const
{
    return m_filter == AllItems || Win1252::firstUnencodable(m_filter) >= 0;
}

void TaskList::renameBytes(const QList<TaskDataFile::ClearedField> &fields,
                           const QByteArray &before, const QByteArray &after)
{
    std::vector<std::pair<qint64, qint32>> places;
    places.reserve(size_t(fields.size()));
    for (const TaskDataFile::ClearedField &f : fields)
        places.emplace_back(f.offset, f.from);
    m_table.rewriteCategories(places, before, after);
}

void TaskList::renameInTable(const QList<TaskDataFile::ClearedField> &fields,
                             const QByteArray &before, const QByteArray &after, bool bytesDone)
{
    if (fields.isEmpty())
        return;
    // A filter shows one category: every row it shows had the name that leaves,
    // or none has the name that comes back.
    if (!renamesRowsInPlace()) {
        const QByteArray filter = Win1252::encode(m_filter);
        if (filter == before)
            m_table.clearTasks();
        else if (filter == after)
            refresh();
        return;
    }
    if (!bytesDone)
        renameBytes(fields, before, after);
    m_table.announceChanged();
    if (m_sortColumn == Col::Category)
        applySort();
}

QList<TaskDataFile::ClearedField> TaskList::writeClearedCategory(const QString &name, int storedKey)
{
    UndoStep undo;
    undo.kind = UndoKind::CategoryDelete;
    undo.category = name;
    undo.categoryKey = storedKey;
    undo.cleared = dataFile().ClearCategory(name);
    const QList<TaskDataFile::ClearedField> cleared = undo.cleared;
    record(std::move(undo));
    return cleared;
}

void TaskList::save() const
{
    if (m_writesBlocked)
        return;
    dataFile().SaveAllTasks(m_table, nullptr, true);
}
