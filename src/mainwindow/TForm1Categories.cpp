// Adding and deleting categories; the search through the input dialog.
#include "TForm1.h"

#include "widgets/TaskGrid.h"
#include "categories/TFormCategory.h"
#include "editor/TFormAddEdit.h"
#include "platform/MessageService.h"
#include "store/TaskDataFile.h"
#include "store/TaskTable.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>

namespace {

const QString DeleteCategoryQuestion =
    QStringLiteral("Sure to delete a category type ?\rAll items using deleted category will revert to 'no category'.");

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
    const bool fromEditor = FormAddEdit && trigger == static_cast<QObject *>(FormAddEdit->SpeedButton5);
    dialog.hideInputs();
    if (trigger == Menu_DeleteCategory) {
        const MsgResult answer = m_ctx.messages->show(
            this, {QStringLiteral("Information"), DeleteCategoryQuestion, MsgIcon::Information, MsgButtons::YesCancel});
        if (answer != MsgResult::Yes)
            return;
        dialog.showInput(dialog.ComboBox1);
        dialog.ComboBox1->clear();
        for (int i = 0; i < ComboBox1->count(); ++i)
            dialog.ComboBox1->addItem(ComboBox1->itemText(i));
        dialog.ComboBox1->setCurrentIndex(ComboBox1->currentIndex());
        dialog.setWindowTitle(TFormCategory::DeleteCaption);
    } else {
        dialog.showInput(dialog.Edit1);
        dialog.Edit1->clear();
        dialog.setWindowTitle(TFormCategory::NewCaption);
    }

    const bool ok = dialog.exec() == QDialog::Accepted;
    if (ok && dialog.windowTitle() == TFormCategory::DeleteCaption) {
        dataFile().ClearCategory(dialog.ComboBox1->currentText());
        LoadTasks(ComboBox1->currentText());
        ApplySort();
    }
    if (fromEditor) {
        QComboBox *list = FormAddEdit->ComboBox2;
        list->setCurrentIndex(list->findText(dialog.Edit1->text(), Qt::MatchFixedString));
    }
}

void TForm1::categoryAdded(const QString &name)
{
    if (FormAddEdit)
        FormAddEdit->ComboBox2->addItem(name);
    ComboBox1->addItem(name);
    addCategoryMenuItem(name);
    emit categoriesChanged();
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
    if (FormAddEdit) {
        const int editorIndex = exactIndex(FormAddEdit->ComboBox2, name, 0);
        if (editorIndex >= 0)
            FormAddEdit->ComboBox2->removeItem(editorIndex);
    }
    ComboBox1->setCurrentIndex(0);
    ComboBox1Change();
    emit categoriesChanged();
}

void TForm1::Menu_SearchClick()
{
    TFormCategory &dialog = *FormCategory;
    dialog.hideInputs();
    dialog.showInput(dialog.Edit2);
    dialog.Edit2->clear();
    dialog.setWindowTitle(TFormCategory::SearchCaption);
    const QString text = dialog.exec() == QDialog::Accepted ? dialog.Edit2->text() : QString();
    if (text.trimmed().isEmpty())
        return;
    for (int r = 1; r < m_table->rowCount(); ++r) {
        const QString task = m_table->cell(Col::Task, r);
        if (task.contains(text, Qt::CaseSensitive)) {
            StringGrid1->setCurrentRow(r);
            m_ctx.messages->notice(this, task);
        }
    }
}
