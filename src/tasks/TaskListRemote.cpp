// The changes that come from elsewhere (the sync), beside the window's commands:
// a task is named by its record's offset, and each change is undone as the others are.
#include "TaskList.h"

#include "store/TaskIdentities.h"
#include "store/TaskRecord.h"

#include <QSet>

int TaskList::tableRowAt(qint64 offset) const
{
    for (int r = 1; r <= m_table.taskCount(); ++r)
        if (m_table.recordOffset(r) == offset)
            return r;
    return 0;
}

void TaskList::show(int row, const QByteArray &text, qint64 offset)
{
    if (!m_loaded || !m_asInFile) {
        refresh();
        return;
    }
    if (row > 0)
        m_table.removeTasks(row, row);
    makeInPlace();
    place(text, offset);
    noteFileWritten();
    emit changed();
}

QByteArray TaskList::addTask(const TaskRow &task)
{
    requireWritable();
    TaskRow written = task;
    UndoStep undo;
    undo.kind = UndoKind::Add;
    const QByteArray text = dataFile().appendRow(written);
    const qint64 offset = TaskDataFile::orderOffset(written[Col::Order]);
    undo.toBlank.append({false, offset, text});
    record(std::move(undo));
    show(0, text, offset);
    return text;
}

QByteArray TaskList::replaceRecord(qint64 offset, const TaskRow &task)
{
    requireWritable();
    const QByteArray old = recordText(offset);
    TaskRow written = task;
    UndoStep undo;
    // Only the done mark changed: undone as a tick is, by its name.
    TaskRow before = TaskRecord::split(old);
    const bool tickOnly = before[Col::Done] != task[Col::Done] && [&] {
        before[Col::Done] = task[Col::Done];
        before[Col::Order] = task[Col::Order];
        return before == task;
    }();
    undo.kind = !tickOnly                     ? UndoKind::Edit
                : task[Col::Done] == DoneMark ? UndoKind::Tick
                                              : UndoKind::Untick;
    undo.toAppend.append({false, offset, old});
    const int row = tableRowAt(offset);
    const QByteArray text = dataFile().replaceRow(written, offset);
    const qint64 at = TaskDataFile::orderOffset(written[Col::Order]);
    undo.toBlank.append({false, at, text});
    record(std::move(undo));
    show(row, text, at);
    return text;
}

void TaskList::removeRecords(const QList<qint64> &offsets)
{
    const TaskDataFile file = dataFile();
    UndoStep undo;
    undo.kind = UndoKind::Delete;
    QSet<qint64> blanked;
    const auto finish = [&] {
        if (!undo.toAppend.isEmpty())
            record(std::move(undo));
        if (!m_loaded || !m_asInFile) {
            refresh();
            return;
        }
        std::vector<bool> gone(size_t(m_table.rowCount()), false);
        for (int r = 1; r <= m_table.taskCount(); ++r)
            gone[size_t(r)] = blanked.contains(m_table.recordOffset(r));
        m_table.removeTasks(gone);
        makeInPlace();
        noteFileWritten();
        emit changed();
    };
    try {
        for (const qint64 offset : offsets) {
            const QByteArray text = recordText(offset);
            file.BlankTask(offset);
            undo.toAppend.append({false, offset, text});
            blanked.insert(offset);
        }
    } catch (...) {
        finish(); // what was blanked leaves the table and can come back by undo
        throw;
    }
    finish();
}
