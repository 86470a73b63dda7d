// Adding and deleting categories; the search through the input dialog.
#include "TForm1.h"

#include "categories/TFormCategory.h"
#include "platform/MessageService.h"
#include "store/TaskTable.h"
#include "store/Win1252.h"
#include "tasks/CategoryList.h"
#include "tasks/TaskList.h"
#include "widgets/TaskGrid.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>

#include <algorithm>

namespace {

const QString DeleteCategoryQuestion =
    QStringLiteral("Sure to delete a category type ?\rAll items using deleted category will revert "
                   "to 'no category'.");

// The first item of a list from `from` on whose text equals name, case included.
int exactIndex(const QComboBox *list, const QString &name, int from)
{
    for (int i = from; i < list->count(); ++i)
        if (list->itemText(i) == name)
            return i;
    return -1;
}

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
    QStringList names;
    for (int i = 0; i < ComboBox1->count(); ++i)
        names << ComboBox1->itemText(i);
    const QStringList stored = CategoryList(*m_ctx.settings).names(); // for undo
    if (dialog.askDeleteCategory(names, ComboBox1->currentIndex())) {
        const QString chosen = dialog.chosenCategory();
        m_tasks.clearCategory(chosen, int(stored.indexOf(chosen)) + 1);
    }
}

void TForm1::categoryAdded(const QString &name)
{
    ComboBox1->addItem(name);
    addCategoryMenuItem(name);
}

void TForm1::categoriesRestored()
{
    // The selector and the menu list the stored names again, in their stored
    // order; the filter shown stays.
    const QString filter = ComboBox1->currentText();
    const QList<QAction *> items = Menu_Category->actions();
    for (qsizetype i = 4; i < items.size(); ++i) {
        Menu_Category->removeAction(items[i]);
        delete items[i];
    }
    fillCategories();
    const int index = exactIndex(ComboBox1, filter, 0);
    ComboBox1->setCurrentIndex(std::max(index, 0));
    ComboBox1Change();
}

void TForm1::categoryDeleted(const QString &name)
{
    // The menu item named so, the first one where a name was added twice. Found by
    // its caption, so that names which differed only in case, and were shown once
    // in the selector since the start, do not shift it.
    const QList<QAction *> items = Menu_Category->actions();
    for (int i = 4; i < items.size(); ++i) {
        if (items[i]->text() == name) {
            Menu_Category->removeAction(items[i]);
            delete items[i];
            break;
        }
    }
    const int selectorIndex = exactIndex(ComboBox1, name, 1);
    if (selectorIndex >= 0)
        ComboBox1->removeItem(selectorIndex);
    ComboBox1->setCurrentIndex(0);
    ComboBox1Change();
}

void TForm1::Menu_SearchClick()
{
    const QString text = FormCategory->askSearch();
    if (text.trimmed().isEmpty())
        return;
    // A task that holds the text holds its bytes in its record, unless the text
    // has a character the file cannot store, or a '|' (which an older release's
    // extra separators read as).
    const QByteArray bytes = Win1252::firstUnencodable(text) < 0 && !text.contains(QLatin1Char('|'))
                                 ? Win1252::encode(text)
                                 : QByteArray();
    for (int r = 1; r < m_table->rowCount(); ++r) {
        if (!bytes.isEmpty() && !m_table->mayContain(r, bytes))
            continue;
        const QString task = m_table->cell(Col::Task, r);
        if (task.contains(text, Qt::CaseSensitive)) {
            StringGrid1->setCurrentRow(r);
            m_ctx.messages->notice(this, task);
        }
    }
}
