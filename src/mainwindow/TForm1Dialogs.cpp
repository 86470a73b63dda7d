// The dialogs the main window opens, created once in their fixed order, and the
// commands that open them or hand the list to an output.
#include "TForm1.h"
#include "TaskPane.h"

#include "about/TFormAbout.h"
#include "archive/TFormArchive.h"
#include "categories/TFormCategory.h"
#include "editor/TFormAddEdit.h"
#include "output/PlainTextExport.h"
#include "preferences/TFormOptions.h"
#include "store/Settings.h"
#include "tasks/TaskList.h"

void TForm1::createDialogs(const WebLinks &links)
{
    // The input dialog is made before the editor, which opens it; the editor
    // still comes first among the windows a user sees: it settles the
    // program-wide date format.
    FormCategory = new TFormCategory(m_ctx, m_tasks, this);
    FormAddEdit = new TFormAddEdit(m_ctx, m_tasks, m_alarm, *FormCategory, this);
    FormOptions = new TFormOptions(m_ctx, *this, this);
    FormAbout = new TFormAbout(m_ctx, this, links);
    // The archive viewer makes its own preferences dialog.
    FormArchive = new TFormArchive(m_ctx, m_tasks, this);
}

int TForm1::editorClientHeight() const
{
    if (FormAddEdit)
        return FormAddEdit->clientHeight();
    return m_ctx.settings->integer(SettingKey::NoteHeight);
}

void TForm1::SpeedButton7Click()
{
    if (!FormOptions)
        return; // not created yet
    // A topmost main window would cover the dialog.
    if (FormOptions->stayOnTopChecked())
        setStayOnTop(false);
    if (FormOptions->exec() != QDialog::Accepted) {
        // The box as it stands now, changed or not: Cancel undoes nothing.
        if (FormOptions->stayOnTopChecked())
            setStayOnTop(true);
        return;
    }
    FormOptions->storePreferences(m_alarm);
}

void TForm1::Menu_AboutClick()
{
    if (FormAbout)
        FormAbout->exec();
}

void TForm1::Menu_OpenArchiveClick()
{
    if (FormArchive)
        FormArchive->exec();
}

void TForm1::Menu_SavetoFileClick()
{
    // One export object for the window's life: it removes the file it left behind.
    auto *exporter = findChild<PlainTextExport *>(QString(), Qt::FindDirectChildrenOnly);
    if (!exporter)
        exporter = new PlainTextExport(this);
    exporter->run(m_tasks.table(), m_pane->columnWidths(), m_pane->rowsWidth(), m_ctx.textViewer);
}
