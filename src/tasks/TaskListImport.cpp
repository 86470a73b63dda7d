// The import's command on the task list, beside the single-task commands.
#include "TaskList.h"

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
