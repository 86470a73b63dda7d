#include "TaskList.h"

#include "SortRows.h"
#include "store/Settings.h"
#include "store/StoreError.h"
#include "store/TaskDataFile.h"
#include "store/TaskRecord.h"
#include "store/WholeFile.h"
#include "store/Win1252.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <filesystem>

namespace {

int toggledTag(int tag)
{
    return tag == 1 ? 0 : 1;
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw StoreError::cannotOpen(path, f.errorString());
    return readWholeFile(f);
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

// A record text with its category field blanked, as the file's clear writes it.
QByteArray withoutCategory(QByteArray text)
{
    const TaskRecord::Span s = TaskRecord::categorySpan(text);
    text.replace(s.from, s.to - s.from, QByteArray(s.to - s.from, ' '));
    return text;
}

} // namespace

TaskList::TaskList(const QString &dataPath, const QString &archivePath, DamagedFiles &damaged,
                   QObject *parent)
    : QObject(parent), m_damaged(damaged), m_dataPath(dataPath), m_archivePath(archivePath)
{
}

TaskDataFile TaskList::dataFile() const
{
    return TaskDataFile(m_dataPath, m_damaged);
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
}

std::pair<qint64, qint64> TaskList::fileStamp() const
{
    std::error_code error;
    const std::filesystem::path path = m_dataPath.toStdString();
    const auto size = std::filesystem::file_size(path, error);
    if (error)
        return {-1, -1};
    const auto time = std::filesystem::last_write_time(path, error);
    if (error)
        return {-1, -1};
    return {qint64(size), qint64(time.time_since_epoch().count())};
}

void TaskList::show(const QString &filter)
{
    if (filter == m_filter && inPlace() && fileStamp() == m_writtenStamp)
        return;
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
        if (m_table.cell(Col::Hour, r).trimmed().isEmpty()) {
            m_table.setCell(Col::Hour, r, QStringLiteral("00:00"));
            m_asInFile = false; // a reload shows the empty hour again
        }
    }
}

void TaskList::filesRestored()
{
    forgetUndo();
    emit categoriesRestored();
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
}

int TaskList::add(const TaskRow &task)
{
    const int row = m_table.isEmpty() ? 1 : m_table.rowCount();
    write(row, task, true);
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
    if (!filterShows(text))
        return;
    const TaskRow row = rowOfRecord(text, offset);
    const QString &key = row[size_t(m_sortColumn)];
    // After the last row that sorts with it or before it: the sort leaves ties in
    // no particular order.
    const bool up = ascending();
    int lo = 1;
    int hi = m_table.isEmpty() ? 1 : m_table.rowCount();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        const int c = CompareCellText(m_table.cell(m_sortColumn, mid), key);
        if (up ? c <= 0 : c >= 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    m_table.insertTask(lo, row);
}

QByteArray TaskList::recordText(qint64 offset) const
{
    return dataFile().readRecord(offset).mid(4);
}

void TaskList::record(UndoStep step)
{
    m_undo.push_back(std::move(step));
    emit undoChanged();
}

void TaskList::settle(UndoStep step, int gone, int count)
{
    // Whatever part of a command was written can be taken back; nothing written,
    // nothing to undo.
    if (!step.toData.isEmpty())
        record(std::move(step));
    if (!inPlace()) {
        refresh();
        return;
    }
    if (count > 0)
        m_table.removeTasks(gone, gone + count - 1);
    noteFileWritten();
    emit changed();
}

void TaskList::replace(int row, const TaskRow &task)
{
    write(row, task, false);
}

void TaskList::write(int row, const TaskRow &task, bool isNew)
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
        undo.toData.append(recordText(old));
        text = dataFile().replaceRow(written, old);
    }
    const qint64 offset = TaskDataFile::orderOffset(written[Col::Order]);
    undo.toBlank.append({false, offset, text});
    record(std::move(undo));
    if (inPlace()) {
        if (!isNew)
            m_table.removeTasks(row, row);
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
    task[Col::Done] = wasDone ? QStringLiteral(" ") : DoneMark;
    const qint64 old = m_table.recordOffset(row);
    UndoStep undo;
    undo.kind = wasDone ? UndoKind::Untick : UndoKind::Tick;
    undo.toData.append(recordText(old));
    const QByteArray text = dataFile().replaceRow(task, old);
    const qint64 offset = TaskDataFile::orderOffset(task[Col::Order]);
    m_table.setRow(row, rowOfRecord(text, offset));
    undo.toBlank.append({false, offset, text});
    record(std::move(undo));
    if (m_sortColumn == Col::Done || m_sortColumn == Col::Order)
        m_sorted = false;
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
            undo.toData.append(text);
        }
    } catch (...) {
        // Rows already blanked must leave the table too, or the exit would write them
        // back; they can still come back by undo.
        settle(std::move(undo), r + 1, bottom - r);
        throw;
    }
    settle(std::move(undo), top, bottom - top + 1);
}

void TaskList::archive(int top, int bottom)
{
    requireWritable();
    // The archive is opened before any record moves, so a missing folder or a
    // locked file stops the command with nothing written. A missing archive is made.
    {
        QFile archiveFile(m_archivePath);
        if (!archiveFile.open(QIODevice::ReadWrite))
            throw StoreError::cannotOpen(m_archivePath, archiveFile.errorString());
    }
    // The table is left alone until every record has moved, so the row numbers
    // hold for the whole loop.
    const TaskDataFile records = dataFile();
    UndoStep undo;
    undo.kind = UndoKind::Archive;
    int r = top;
    try {
        for (; r <= bottom; ++r) {
            const qint64 offset = m_table.recordOffset(r);
            const QByteArray text = recordText(offset);
            const qint64 archivedAt = QFileInfo(m_archivePath).size();
            records.moveRecordTo(offset, m_archivePath);
            undo.toData.append(text);
            undo.toBlank.append({true, archivedAt, text});
        }
    } catch (...) {
        // Rows already moved must leave the table, or they could be ticked back
        // into the task file while the archive holds them too.
        settle(std::move(undo), top, r - top);
        throw;
    }
    settle(std::move(undo), top, bottom - top + 1);
}

void TaskList::unarchive(const QByteArray &recordText)
{
    requireWritable();
    const qint64 at = QFileInfo(m_dataPath).size();
    dataFile().appendRecords({recordText});
    UndoStep undo;
    undo.kind = UndoKind::Unarchive;
    undo.toArchive.append(recordText);
    undo.toBlank.append({false, at, recordText});
    record(std::move(undo));
    if (!inPlace()) {
        refresh();
        return;
    }
    place(recordText, at);
    noteFileWritten();
    emit changed();
}

void TaskList::clearCategory(const QString &name, const QStringList &namesBefore)
{
    if (m_writesBlocked || !inPlace()) {
        if (!m_writesBlocked)
            writeClearedCategory(name, namesBefore);
        refresh();
        return;
    }
    QHash<qint64, QByteArray> cleared; // the records as they were, by offset
    for (const TaskDataFile::Cleared &c : writeClearedCategory(name, namesBefore))
        cleared.insert(c.offset, c.text);
    std::vector<bool> gone(size_t(m_table.rowCount()), false);
    bool anyGone = false;
    if (!cleared.isEmpty() && !m_table.isEmpty()) {
        for (int r = 1; r < m_table.rowCount(); ++r) {
            const qint64 offset = m_table.recordOffset(r);
            const auto it = cleared.constFind(offset);
            if (it == cleared.constEnd())
                continue;
            const QByteArray now = withoutCategory(*it);
            if (!filterShows(now))
                anyGone = gone[size_t(r)] = true;
            else if (!m_table.rewriteLoadedRecord(r, *it, now))
                m_table.setRow(r, rowOfRecord(now, offset));
        }
        m_table.announceChanged();
    }
    if (anyGone)
        m_table.removeTasks(gone);
    if (m_sortColumn == Col::Category)
        applySort();
    noteFileWritten();
    emit changed();
}

QList<TaskDataFile::Cleared> TaskList::writeClearedCategory(const QString &name,
                                                            const QStringList &namesBefore)
{
    UndoStep undo;
    undo.kind = UndoKind::CategoryDelete;
    undo.category = name;
    undo.categoryNames = namesBefore;
    const QList<TaskDataFile::Cleared> cleared = dataFile().ClearCategory(name);
    // Each task comes back as it was and its cleared version goes.
    for (const TaskDataFile::Cleared &c : cleared) {
        undo.toData.append(c.text);
        undo.toBlank.append({false, c.offset, withoutCategory(c.text)});
    }
    record(std::move(undo));
    return cleared;
}

void TaskList::undo()
{
    requireWritable();
    if (m_undo.empty() || (m_undo.back().kind == UndoKind::Import && undoImport()))
        return;
    const UndoStep step = m_undo.back();
    auto drop = [this] {
        m_undo.pop_back();
        emit undoChanged();
    };
    // Every record to blank is found before anything is written, so an undo that
    // cannot be done writes nothing.
    QByteArray bytes[2];
    bool read[2] = {false, false};
    QList<qint64> taken[2];
    for (const UndoStep::Record &r : step.toBlank) {
        const int file = r.inArchive ? 1 : 0;
        const QString &path = file ? m_archivePath : m_dataPath;
        // Where it was written, as a rule; else the whole file is searched.
        qint64 at = stillAt(path, r, taken[file]);
        if (at < 0) {
            if (!read[file]) {
                bytes[file] = fileBytes(path);
                read[file] = true;
            }
            at = UndoRecords::find(bytes[file], r, taken[file]);
        }
        if (at < 0) {
            drop();
            throw StoreError(QStringLiteral("This change can no longer be undone: a task it "
                                            "changed is no longer in the file \"%1\".")
                                 .arg(file ? m_archivePath : m_dataPath));
        }
        taken[file].append(at);
    }
    if (!step.toData.isEmpty())
        dataFile().appendRecords(step.toData);
    if (!step.toArchive.isEmpty())
        TaskDataFile(m_archivePath, m_damaged).appendRecords(step.toArchive);
    try {
        for (int file = 0; file < 2; ++file)
            for (qint64 at : taken[file])
                TaskDataFile(file ? m_archivePath : m_dataPath, m_damaged).BlankTask(at);
    } catch (...) {
        // The appended records stay (a task twice, never none); doing it again
        // would append them once more.
        drop();
        refresh();
        throw;
    }
    if (step.kind == UndoKind::CategoryDelete && m_settings && !step.categoryNames.isEmpty()) {
        // The names first, the count last, as the category dialog writes them.
        const QStringList &names = step.categoryNames;
        for (int k = 1; k <= names.size(); ++k)
            m_settings->setCategoryName(k, names[k - 1]);
        m_settings->setInteger(SettingKey::Cats, int(names.size()));
        emit categoryAdded(step.category);
    }
    drop();
    refresh();
}

qint64 TaskList::stillAt(const QString &path, const UndoStep::Record &record,
                         const QList<qint64> &taken) const
{
    if (record.offset < 0 || taken.contains(record.offset))
        return -1;
    QByteArray text;
    try {
        text = TaskDataFile(path, m_damaged).readRecord(record.offset).mid(4);
    } catch (const StoreError &) {
        return -1; // no whole record there
    }
    const bool same = !TaskRecord::isBlank(text) &&
                      UndoRecords::withoutOrder(text) == UndoRecords::withoutOrder(record.text);
    return same ? record.offset : -1;
}

void TaskList::forgetUndo()
{
    m_undo.clear();
    emit undoChanged();
}

void TaskList::save() const
{
    if (m_writesBlocked)
        return;
    dataFile().SaveAllTasks(m_table);
}
