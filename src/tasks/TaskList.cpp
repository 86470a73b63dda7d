#include "TaskList.h"

#include "SortRows.h"
#include "store/StoreError.h"
#include "store/TaskDataFile.h"

#include <QFile>

namespace {

int toggledTag(int tag)
{
    return tag == 1 ? 0 : 1;
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
    if (m_writesBlocked) {
        m_table.clearTasks(); // a missing file would be created by the load
        return;
    }
    const TaskDataFile file = dataFile();
    const TaskDataFile::LoadResult result = file.LoadTasks(m_table, filter);
    if (result.tellUser)
        emit damaged(file.damagedMessage(result));
    m_loaded = result.fileExisted;
}

void TaskList::applySort()
{
    // Only the tag's lowest byte counts, as the stored value may be any integer.
    SortRows(m_table, m_sortColumn, (m_sortTag & 0xFF) != 1);
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
    for (int r = 1; r < m_table.rowCount(); ++r)
        if (m_table.cell(Col::Hour, r).trimmed().isEmpty())
            m_table.setCell(Col::Hour, r, QStringLiteral("00:00"));
}

void TaskList::setSortState(int column, int tag)
{
    m_sortColumn = column;
    m_sortTag = tag;
}

void TaskList::sortByCommand(int column)
{
    m_sortColumn = column;
    m_sortTag = toggledTag(m_sortTag);
    applySort();
}

void TaskList::sortByHeader(int column)
{
    SortRows(m_table, column, (m_sortTag & 0xFF) != 0);
    m_sortColumn = column;
    m_sortTag = toggledTag(m_sortTag);
}

int TaskList::add(const TaskRow &task)
{
    const int row = m_table.isEmpty() ? 1 : m_table.rowCount();
    writeAndRefresh(row, task, true);
    return row;
}

void TaskList::replace(int row, const TaskRow &task)
{
    writeAndRefresh(row, task, false);
}

void TaskList::writeAndRefresh(int row, const TaskRow &task, bool isNew)
{
    requireWritable();
    // A failure leaves the table as the file has it.
    const int rowsBefore = m_table.rowCount();
    const TaskRow before = isNew ? TaskRow() : m_table.row(row);
    TaskRow written = task;
    written[Col::Order] = before[Col::Order]; // the record to blank; an append sets it
    if (row >= rowsBefore)
        m_table.setRowCount(row + 1);
    m_table.setRow(row, written);
    try {
        if (isNew)
            dataFile().AppendTask(m_table, row);
        else
            dataFile().ReplaceTask(m_table, row, TaskDataFile::orderOffset(before[Col::Order]));
    } catch (...) {
        if (row < rowsBefore)
            m_table.setRow(row, before);
        else
            m_table.setRowCount(rowsBefore);
        throw;
    }
    refresh();
    if ((m_filter == AllItems || m_filter == task[Col::Category]) && row >= 1 &&
        row < m_table.rowCount())
        emit selectionWanted(row);
}

bool TaskList::toggleDone(int row)
{
    const qint64 old = TaskDataFile::orderOffset(m_table.cell(Col::Order, row));
    const QString before = m_table.cell(Col::Done, row);
    const bool wasDone = before == DoneMark;
    m_table.setCell(Col::Done, row, wasDone ? QStringLiteral(" ") : DoneMark);
    try {
        dataFile().ReplaceTask(m_table, row, old);
    } catch (...) {
        m_table.setCell(Col::Done, row, before); // the file is as it was
        throw;
    }
    return !wasDone;
}

void TaskList::remove(int top, int bottom)
{
    const TaskDataFile file = dataFile();
    try {
        for (int r = bottom; r >= top; --r)
            file.BlankTask(TaskDataFile::orderOffset(m_table.cell(Col::Order, r)));
    } catch (...) {
        // Rows already blanked must leave the table too, or the exit would write them back.
        refresh();
        throw;
    }
    refresh();
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
    try {
        for (int r = top; r <= bottom; ++r)
            records.moveRecordTo(TaskDataFile::orderOffset(m_table.cell(Col::Order, r)),
                                 m_archivePath);
    } catch (...) {
        // Rows already moved must leave the table, or they could be ticked back
        // into the task file while the archive holds them too.
        refresh();
        throw;
    }
    refresh();
}

void TaskList::unarchive(const QByteArray &recordText)
{
    requireWritable();
    dataFile().appendRecords({recordText});
}

void TaskList::clearCategory(const QString &name)
{
    if (!m_writesBlocked)
        dataFile().ClearCategory(name);
    load(m_filter);
    applySort();
    emit changed();
}

void TaskList::save() const
{
    if (m_writesBlocked)
        return;
    dataFile().SaveAllTasks(m_table);
}
