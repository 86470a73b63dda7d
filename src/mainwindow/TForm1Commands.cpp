// Task commands: add, edit, check/uncheck, delete, archive, undo.
#include "TForm1.h"
#include "TaskPane.h"

#include "editor/TFormAddEdit.h"
#include "platform/MessageService.h"
#include "store/Settings.h"
#include "store/TaskTable.h"
#include "tasks/TaskList.h"
#include "widgets/SharedTexts.h"

#include <QAction>
#include <QToolButton>

namespace {

void showEditor(TFormAddEdit &editor)
{
    editor.raise();
    editor.activateWindow();
    editor.exec();
}

} // namespace

void TForm1::SpeedButton4Click()
{
    // 1: out of the topmost band while the editor is up, so it shows above us.
    const bool onTop = windowFlags() & Qt::WindowStaysOnTopHint;
    if (onTop)
        setStayOnTop(false);
    FormAddEdit->presetForAdd(); // 2-5
    showEditor(*FormAddEdit);    // 6
    m_pane->repaintGrid();       // 7
    if (onTop)
        setStayOnTop(true);
}

void TForm1::SpeedButton6Click()
{
    if (m_tasks.table().isEmpty())
        return;
    FormAddEdit->presetForEdit(m_pane->currentRow());
    showEditor(*FormAddEdit);
}

void TForm1::SpeedButton3Click()
{
    // An empty table has no task to tick.
    if (m_tasks.table().isEmpty())
        return;
    const bool nowDone = m_tasks.toggleDone(m_pane->currentRow());
    if (nowDone && m_ctx.settings->flag(SettingKey::AutoArchiv))
        Menu_ArchiveTaskClick(SpeedButton3);
    m_pane->repaintGrid();
}

void TForm1::SpeedButton5Click()
{
    if (m_tasks.table().isEmpty())
        return;
    if (m_ctx.messages->confirm(isVisible() ? this : nullptr, SharedTexts::DeleteTaskQuestion))
        DeleteTask();
}

void TForm1::DeleteTask()
{
    const int top = m_pane->selectionTop();
    m_tasks.remove(top, m_pane->selectionBottom());
    if (top >= 2)
        m_pane->selectRow(top - 1);
}

void TForm1::Menu_ArchiveTaskClick(QObject *trigger)
{
    if (m_tasks.table().isEmpty())
        return;
    const Settings &s = *m_ctx.settings;
    const bool ask = trigger == Menu_ArchiveTask || (s.flag(SettingKey::AutoArchiv, false) &&
                                                     !s.flag(SettingKey::AutoArchivAsk, false));
    if (ask && !m_ctx.messages->confirm(isVisible() ? this : nullptr,
                                        QStringLiteral("Sure to archive this Task ?")))
        return;
    m_tasks.archive(m_pane->selectionTop(), m_pane->selectionBottom());
}
