// The archive viewer's commands: unarchive, delete, sort, the menu, print, preferences.
#include "TFormArchive.h"

#include "ArchiveGrid.h"
#include "TFormArchOptions.h"
#include "output/PrintCommands.h"
#include "platform/MessageService.h"
#include "store/Settings.h"
#include "store/TaskDataFile.h"
#include "store/TaskTable.h"
#include "tasks/SortRows.h"
#include "tasks/TaskList.h"
#include "widgets/SharedTexts.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>

void TFormArchive::reload()
{
    // The caption gets its count again from the caption without it, whatever the
    // language routine left in place.
    setWindowTitle(m_archiveBaseCaption);
    FormShow();
}

void TFormArchive::Button_UnarchiveClick()
{
    if (m_table->isEmpty())
        return;
    if (m_ctx.settings->flag(SettingKey::UnArchivAsk) &&
        !m_ctx.messages->confirm(this, QStringLiteral("Sure to UN-archive this Task ?")))
        return;
    // The record goes back unchanged, so a done task comes back done.
    m_tasks.unarchive(
        TaskDataFile::orderOffset(m_table->cell(Col::Order, StringGrid1->currentRow())));
    reload();
}

void TFormArchive::Button_DelClick()
{
    if (m_table->isEmpty() || !m_ctx.messages->confirm(this, SharedTexts::DeleteTaskQuestion))
        return;
    BlankArchivedTask(
        TaskDataFile::orderOffset(m_table->cell(Col::Order, StringGrid1->currentRow())));
    reload();
}

void TFormArchive::undoClick()
{
    if (!m_tasks.canUndo())
        return;
    m_tasks.undo();
    reload();
}

void TFormArchive::Button_closeClick()
{
    close();
}

void TFormArchive::Button_MenuClick()
{
    const QPoint centre(Button_Menu->width() / 2, Button_Menu->height() / 2);
    PopupMenu1->popup(Button_Menu->mapToGlobal(centre) + QPoint(5, 4));
}

void TFormArchive::sortBy(int column)
{
    SortRows(*m_table, column, true);
    m_ctx.settings->setInteger(SettingKey::SortedArch, column);
}

void TFormArchive::StringGrid1MouseDown(Qt::MouseButton button, int col, int row,
                                        const QPoint &globalPos)
{
    if (button == Qt::RightButton && row > 0 && row < m_table->rowCount()) {
        StringGrid1->setCurrentRow(row);
        PopupMenu1->popup(globalPos);
    } else if (button == Qt::LeftButton && row == 0 && col >= 0) {
        // The Date header sorts by the hidden sort key, always ascending.
        sortBy(col == Col::Date ? Col::SortKey : col);
    }
}

void TFormArchive::pop1_SortClick(QAction *sender)
{
    if (sender == pop1_sortByname)
        sortBy(Col::Task);
    else if (sender == pop1_sortBydate)
        sortBy(Col::SortKey);
    else if (sender == pop1_sortBycategory)
        sortBy(Col::Category);
}

void TFormArchive::pop1_PrintClick()
{
    if (m_ctx.printers)
        printArchiveList(*m_table, *m_ctx.printers);
}

void TFormArchive::Preferences1Click()
{
    FormArchOptions->exec();
}
