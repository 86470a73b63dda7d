#pragma once

#include <QAction>

class Settings;
class TaskList;

// Edit > Undo (Ctrl+Z): takes the run's last change back. Its caption names that
// change in the chosen language; it is greyed while there is none.
class UndoAction : public QAction
{
    Q_OBJECT
public:
    UndoAction(TaskList &tasks, const Settings &settings, QObject *parent);

    // The caption again, in the language chosen now.
    void showState();
    // Throws StoreError when a write of the undo fails.
    void Menu_UndoClick();

private:
    TaskList &m_tasks;
    const Settings &m_settings;
};
