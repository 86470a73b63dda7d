// Task commands: add, edit, check/uncheck, delete, double click, the grid menu.

#include "TForm1.h"

#include "editor/TFormAddEdit.h"
#include "i18n/LanguageTables.h"
#include "platform/MessageService.h"
#include "store/Settings.h"
#include "store/TaskTable.h"
#include "tasks/TaskList.h"
#include "widgets/SharedTexts.h"
#include "widgets/TaskGrid.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QWidget>

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
    FormAddEdit->presetForAdd();       // 2-5
    showEditor(*FormAddEdit);          // 6
    StringGrid1->viewport()->update(); // 7
    if (onTop)
        setStayOnTop(true);
}

void TForm1::SpeedButton6Click()
{
    if (m_table->isEmpty())
        return;
    FormAddEdit->presetForEdit(StringGrid1->currentRow());
    showEditor(*FormAddEdit);
}

void TForm1::SpeedButton3Click()
{
    // An empty table has no task to tick.
    if (m_table->isEmpty())
        return;
    const bool nowDone = m_tasks.toggleDone(StringGrid1->currentRow());
    if (nowDone && m_ctx.settings->flag(SettingKey::AutoArchiv))
        Menu_ArchiveTaskClick(SpeedButton3);
    StringGrid1->viewport()->update();
}

void TForm1::SpeedButton5Click()
{
    if (m_table->isEmpty())
        return;
    if (m_ctx.messages->confirm(isVisible() ? this : nullptr, SharedTexts::DeleteTaskQuestion))
        DeleteTask();
}

void TForm1::DeleteTask()
{
    const int top = StringGrid1->selectionTop();
    m_tasks.remove(top, StringGrid1->selectionBottom());
    if (top >= 2)
        StringGrid1->setCurrentRow(top - 1);
}

void TForm1::StringGrid1DblClick()
{
    if (StringGrid1->hoverRow() == 0)
        return;
    if (m_table->isEmpty())
        return;
    if (StringGrid1->hoverCol() == Col::Done)
        SpeedButton3Click();
    else
        SpeedButton6Click();
}

void TForm1::ConfigureGridPopup(bool toolbarForm)
{
    // The about item (with its separator) in the toolbar's form, and in both forms
    // when it is the only way left to the box.
    const bool about = toolbarForm || gridPopupNeedsExtras();
    pop2_N1->setVisible(about);
    pop2_About->setVisible(about);
    for (QAction *taskItem : {pop2_EditTask, pop2_Deletetask, pop2_Archivetask, pop2_N9})
        taskItem->setVisible(!toolbarForm);
}

int TForm1::editorClientHeight() const
{
    if (FormAddEdit)
        return FormAddEdit->clientHeight();
    return m_ctx.settings->integer(SettingKey::NoteHeight);
}

Language TForm1::language() const
{
    Language language = Language::English;
    languageFromName(m_ctx.settings->text(SettingKey::Language), language);
    return language;
}

void TForm1::Menu_UndoClick()
{
    if (m_tasks.canUndo())
        m_tasks.undo();
}

namespace {

// The undo item's caption key in the language table.
const char *undoCaptionKey(UndoKind kind)
{
    switch (kind) {
    case UndoKind::Add:
        return "UndoAdd";
    case UndoKind::Edit:
        return "UndoEdit";
    case UndoKind::Tick:
        return "UndoTick";
    case UndoKind::Untick:
        return "UndoUntick";
    case UndoKind::Delete:
        return "UndoDelete";
    case UndoKind::Archive:
        return "UndoArchive";
    case UndoKind::Unarchive:
        return "UndoUnarchive";
    case UndoKind::CategoryDelete:
        return "UndoCategoryDelete";
    case UndoKind::ArchiveDelete:
        return "UndoArchiveDelete";
    case UndoKind::Import:
        return "UndoImport";
    }
    return "Undo";
}

} // namespace

void TForm1::showUndoState()
{
    const bool can = m_tasks.canUndo();
    const char *key = can ? undoCaptionKey(m_tasks.nextUndo()) : "Undo";
    Menu_Undo->setText(LanguageTables::text(LanguageTables::undoCaptions(), key, language()) +
                       QStringLiteral("\tCtrl+Z"));
    Menu_Undo->setEnabled(can);
}
