// Repeating tasks: a tick moves the task to its next date and archives the
// occurrence just done, as one change.
#include "TaskList.h"

#include "store/Clock.h"
#include "store/DateFormat.h"
#include "store/TaskFields.h"
#include "store/TaskIdentities.h"
#include "store/TaskRecord.h"

#include <QFileInfo>

void TaskList::setRepeats(const Clock *clock, const DateFormat *dates,
                          RepeatRule::ElsewhereNext elsewhere)
{
    m_clock = clock;
    m_dates = dates;
    m_elsewhere = std::move(elsewhere);
}

std::optional<QDate> TaskList::taskDate(const TaskRow &task) const
{
    if (!m_dates || !m_clock) {
        if (const std::optional<QDateTime> key = DateFormat::parseSortKey(task[Col::SortKey]))
            return key->date();
        return std::nullopt;
    }
    const QDate date = TaskFields::dateOf(task, *m_dates, m_clock->today());
    return date.isValid() ? std::optional(date) : std::nullopt;
}

RepeatRule TaskList::repeatRule(int row, QString *refused) const
{
    if (!m_identities || !m_clock || !m_dates || m_table.isEmpty())
        return {};
    const QByteArray stored =
        m_identities->ruleOf(TaskIdentities::Place::Data, m_table.recordText(row));
    if (stored.isEmpty())
        return {};
    return RepeatRule::parse(stored, taskDate(m_table.row(row)).value_or(QDate()), refused);
}

void TaskList::tickRepeating(int row, const QDate &next)
{
    requireWritable();
    openArchiveForAppend();
    const TaskRow task = m_table.row(row);
    const qint64 old = m_table.recordOffset(row);
    const QByteArray oldText = recordText(old);

    // The occurrence done goes first: should the move fail, the task is there twice
    // for a moment, never lost.
    TaskRow done = task;
    done[Col::Done] = DoneMark;
    const qint64 archivedAt = QFileInfo(m_archivePath).size();
    const QByteArray doneText = fileOf(true).appendRow(done);

    // The hour is read from the key's text and written beside the new date, never
    // through a local date and time: 01:30 on the day clocks go forward is no local
    // time, and would come back as 02:30.
    TaskRow moved = task;
    const QString &key = task[Col::SortKey];
    const QTime hour = DateFormat::parseSortKey(key)
                           ? QTime(key.mid(11, 2).toInt(), key.mid(14, 2).toInt())
                           : QTime(0, 0);
    moved[Col::Date] = m_dates->shortDate(next);
    moved[Col::SortKey] = m_dates->formatDate(next, QStringLiteral("yyyy-MM-dd")) +
                          QLatin1Char(' ') + m_dates->formatTime(hour, QStringLiteral("hh:nn"));
    QByteArray movedText;
    try {
        movedText = dataFile().replaceRow(moved, old);
    } catch (...) {
        try {
            fileOf(true).takeBackAppend(archivedAt, doneText.size());
        } catch (...) {
        }
        noteArchiveWritten();
        throw;
    }
    noteArchiveWritten();
    const qint64 offset = TaskDataFile::orderOffset(moved[Col::Order]);
    TaskRow shown = TaskRecord::split(movedText);
    shown[Col::Order] = QString::number(offset);
    m_table.setRow(row, shown);
    UndoStep undo;
    undo.kind = UndoKind::Tick;
    undo.toAppend.append({false, old, oldText});
    undo.toBlank.append({false, offset, movedText});
    undo.toBlank.append({true, archivedAt, doneText});
    record(std::move(undo));
    // The row keeps its place until the next refresh, as a tick's does; the table is
    // no longer in the order of a sort by date.
    m_sorted = false;
    noteFileWritten();
    emit changed();
}
