#pragma once

class QWidget;
class TaskList;
struct AppContext;

// The File menu's iCalendar commands, with their file dialogs and messages.
namespace IcsCommands {

// Export to iCalendar...: the task data file written to a file the user names;
// throws StoreError when it cannot be written.
void exportTasks(QWidget *parent, const AppContext &ctx, const TaskList &tasks);
// Import from iCalendar...: a file the user picks read behind a progress dialog,
// then the summary told.
void importTasks(QWidget *parent, const AppContext &ctx, TaskList &tasks);

} // namespace IcsCommands
