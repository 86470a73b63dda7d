#include "CategoryFilter.h"

#include "i18n/LanguageTables.h"
#include "platform/AppContext.h"
#include "platform/HandlerGuard.h"
#include "store/Settings.h"
#include "store/TaskTable.h"
#include "tasks/CategoryList.h"
#include "tasks/TaskList.h"
#include "widgets/DesignCaptions.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>

#include <algorithm>

namespace {

// Items of the Category menu before the first category's: Add, Delete, a
// separator and "All Items".
constexpr int AllItemsIndex = 3;

// The first item of a list from `from` on whose text equals name, case included.
int exactIndex(const QComboBox *list, const QString &name, int from)
{
    for (int i = from; i < list->count(); ++i)
        if (list->itemText(i) == name)
            return i;
    return -1;
}

} // namespace

CategoryFilter::CategoryFilter(AppContext &ctx, TaskList &tasks, QComboBox *selector, QMenu *menu,
                               QWidget *window)
    : QObject(window), m_ctx(ctx), m_tasks(tasks), ComboBox1(selector), Menu_Category(menu),
      m_window(window)
{
    const DesignCaptions designCaption(LanguageTables::mainWindow());
    QAction *Menu_AllItems = designCaption.item(Menu_Category, "Menu_AllItems");
    Menu_AllItems->setCheckable(true);
    connect(Menu_AllItems, &QAction::triggered, this, [this] { guarded([this] { showAll(); }); });
    connect(ComboBox1, qOverload<int>(&QComboBox::activated), this,
            [this](int) { guarded([this] { ComboBox1Change(); }); });
    connect(&m_tasks, &TaskList::categoryAdded, this, &CategoryFilter::categoryAdded);
    connect(&m_tasks, &TaskList::categoryDeleted, this, &CategoryFilter::categoryDeleted);
    connect(&m_tasks, &TaskList::categoriesRestored, this, &CategoryFilter::categoriesRestored);
}

bool CategoryFilter::guarded(const std::function<void()> &handler)
{
    return runGuardedIn(*m_ctx.messages, m_window, handler);
}

void CategoryFilter::fill()
{
    const QList<QAction *> listed = Menu_Category->actions();
    for (qsizetype i = AllItemsIndex + 1; i < listed.size(); ++i) {
        Menu_Category->removeAction(listed[i]);
        delete listed[i];
    }
    Settings &s = *m_ctx.settings;
    ComboBox1->clear();
    ComboBox1->addItem(AllItems);
    for (const QString &name : CategoryList(s).names()) {
        if (ComboBox1->findText(name, Qt::MatchFixedString) < 0)
            ComboBox1->addItem(name);
        addMenuItem(name);
    }
    ComboBox1->setCurrentIndex(0);
    const QList<QAction *> items = Menu_Category->actions();
    for (int i = AllItemsIndex; i < items.size(); ++i)
        items[i]->setChecked(i == AllItemsIndex);
}

void CategoryFilter::addMenuItem(const QString &name)
{
    QAction *a = Menu_Category->addAction(name);
    a->setCheckable(true);
    connect(a, &QAction::triggered, this,
            [this, a] { guarded([this, a] { categoryMenuItemClick(a); }); });
}

QStringList CategoryFilter::names() const
{
    QStringList names;
    for (int i = 0; i < ComboBox1->count(); ++i)
        names << ComboBox1->itemText(i);
    return names;
}

int CategoryFilter::chosenIndex() const
{
    return ComboBox1->currentIndex();
}

void CategoryFilter::ComboBox1Change()
{
    m_tasks.show(ComboBox1->currentText());
    // The item of the same name, found by its caption: names that differ only in
    // case have one selector entry but a menu item each.
    const QList<QAction *> items = Menu_Category->actions();
    const QString current = ComboBox1->currentText();
    int checked = ComboBox1->currentIndex() == 0 ? AllItemsIndex : -1;
    for (int i = AllItemsIndex + 1; i < items.size() && checked < 0; ++i)
        if (items[i]->text() == current)
            checked = i;
    for (int i = AllItemsIndex; i < items.size(); ++i)
        items[i]->setChecked(i == checked);
    emit shown();
}

void CategoryFilter::showAll()
{
    ComboBox1->setCurrentIndex(0);
    ComboBox1Change();
}

void CategoryFilter::categoryMenuItemClick(QAction *item)
{
    const int index = ComboBox1->findText(item->text(), Qt::MatchFixedString);
    if (index >= 0)
        ComboBox1->setCurrentIndex(index);
    ComboBox1Change();
}

void CategoryFilter::categoryAdded(const QString &name)
{
    ComboBox1->addItem(name);
    addMenuItem(name);
}

void CategoryFilter::categoriesRestored()
{
    // The stored names again, in their stored order; the filter shown stays.
    const QString filter = ComboBox1->currentText();
    fill();
    const int index = exactIndex(ComboBox1, filter, 0);
    ComboBox1->setCurrentIndex(std::max(index, 0));
    ComboBox1Change();
}

void CategoryFilter::categoryDeleted(const QString &name)
{
    // The menu item named so, the first one where a name was added twice. Found by
    // its caption, so that names which differed only in case, and were shown once
    // in the selector since the start, do not shift it.
    const QList<QAction *> items = Menu_Category->actions();
    for (int i = AllItemsIndex + 1; i < items.size(); ++i) {
        if (items[i]->text() == name) {
            Menu_Category->removeAction(items[i]);
            delete items[i];
            break;
        }
    }
    const int selectorIndex = exactIndex(ComboBox1, name, 1);
    if (selectorIndex >= 0)
        ComboBox1->removeItem(selectorIndex);
    showAll();
}
