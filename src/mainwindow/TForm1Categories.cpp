// Adding and deleting categories; the search through the input dialog.
#include "CategoryFilter.h"
#include "TForm1.h"
#include "TaskPane.h"

#include "categories/TFormCategory.h"
#include "platform/MessageService.h"
#include "store/TaskTable.h"
#include "store/Win1252.h"
#include "tasks/CategoryList.h"
#include "tasks/TaskList.h"

#include <algorithm>

namespace {

const QString DeleteCategoryQuestion =
    QStringLiteral("Sure to delete a category type ?\rAll items using deleted category will revert "
                   "to 'no category'.");

} // namespace

void TForm1::Menu_AddCategoryClick(QObject *trigger)
{
    TFormCategory &dialog = *FormCategory;
    if (trigger != Menu_DeleteCategory) {
        dialog.askNewCategory();
        return;
    }
    const MsgResult answer =
        m_ctx.messages->show(this, {QStringLiteral("Information"), DeleteCategoryQuestion,
                                    MsgIcon::Information, MsgButtons::YesCancel});
    if (answer != MsgResult::Yes)
        return;
    const QStringList stored = CategoryList(*m_ctx.settings).names(); // for undo
    if (dialog.askDeleteCategory(m_filter->names(), m_filter->chosenIndex())) {
        const QString chosen = dialog.chosenCategory();
        m_tasks.clearCategory(chosen, int(stored.indexOf(chosen)) + 1);
    }
}

void TForm1::Menu_SearchClick()
{
    const QString text = FormCategory->askSearch();
    if (text.trimmed().isEmpty())
        return;
    // A task that holds the text holds its bytes in its record, unless the text
    // has a character the file cannot store, or a '|' (which an older release's
    // extra separators read as).
    const QByteArray bytes =
        Win1252::firstUnencodable(text) < 0 && !text.contains(QLatin1Char(SeparatorStandIn))
            ? Win1252::encode(text)
            : QByteArray();
    const TaskTable &table = m_tasks.table();
    for (int r = 1; r < table.rowCount(); ++r) {
        if (!bytes.isEmpty() && !table.mayContain(r, bytes))
            continue;
        const QString task = table.cell(Col::Task, r);
        if (task.contains(text, Qt::CaseSensitive)) {
            m_pane->selectRow(r);
            m_ctx.messages->notice(this, task);
        }
    }
}
