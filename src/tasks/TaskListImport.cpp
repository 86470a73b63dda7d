// The import's command on the task list, beside the single-task commands.
#include "TaskList.h"

#include "store/TaskRecord.h"
#include "store/WholeFile.h"

#include <QFile>

void TaskList::addAll(std::vector<TaskRow> tasks, const std::function<void()> &alongside)
{
    requireWritable();
    if (tasks.empty())
        return;
    const QList<QByteArray> texts = dataFile().appendRowsAtOnce(tasks, alongside);
    UndoStep undo;
    undo.kind = UndoKind::Import;
    for (size_t k = 0; k < tasks.size(); ++k)
        undo.toBlank.append(
            {false, TaskDataFile::orderOffset(tasks[k][Col::Order]), texts[qsizetype(k)]});
    record(std::move(undo));
    // One load and sort for any number of tasks: placing them one by one costs a
    // shift of the table each.
    refresh();
}

bool TaskList::undoImport()
{
    // Thousands of records: the file is read once, not once a record.
    QFile f(m_dataPath);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = readWholeFile(f);
    f.close();
    const UndoStep &step = m_undo.back();
    QList<qint64> offsets;
    offsets.reserve(step.toBlank.size());
    for (const UndoStep::Record &r : step.toBlank) {
        const std::optional<QByteArray> text = TaskRecord::textAt(bytes, r.offset);
        if (r.inArchive || !text || *text != r.text)
            return false; // the general undo looks further, or refuses
        offsets.append(r.offset);
    }
    try {
        dataFile().blankRecords(offsets);
    } catch (...) {
        // Some may be blanked already: the step can no longer be taken back whole.
        m_undo.pop_back();
        emit undoChanged();
        refresh();
        throw;
    }
    m_undo.pop_back();
    emit undoChanged();
    refresh();
    return true;
}
