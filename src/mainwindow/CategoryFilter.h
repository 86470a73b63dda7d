#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class QAction;
class QComboBox;
class QMenu;
class QWidget;
class TaskList;
struct AppContext;

// The category filter: the toolbar's category selector (ComboBox1) and the
// Category menu's "All Items" and category items, kept in step with the stored
// categories. Choosing one shows only the tasks of that category; the menu's
// check mark follows the choice.
class CategoryFilter : public QObject
{
    Q_OBJECT
public:
    // menu: the Category menu, whose items from the fourth on are the filter's;
    // window: the main window, which error boxes belong to.
    CategoryFilter(AppContext &ctx, TaskList &tasks, QComboBox *selector, QMenu *menu,
                   QWidget *window);

    // The stored categories, "All Items" chosen; what was listed before goes.
    void fill();
    // "All Items" chosen and shown.
    void showAll();
    // The selector's items and the chosen one (the delete dialog's list).
    QStringList names() const;
    int chosenIndex() const;

signals:
    // A filter was chosen and the table holds its tasks.
    void shown();

private:
    void ComboBox1Change();
    void categoryMenuItemClick(QAction *item);
    void addMenuItem(const QString &name);
    void categoryAdded(const QString &name);
    void categoryDeleted(const QString &name);
    void categoriesRestored();
    bool guarded(const std::function<void()> &handler);

    AppContext &m_ctx;
    TaskList &m_tasks;
    QComboBox *ComboBox1;
    QMenu *Menu_Category;
    QWidget *m_window;
};
