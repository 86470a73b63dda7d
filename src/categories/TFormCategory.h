#pragma once

#include "platform/AppContext.h"

#include <QDialog>
#include <QList>
#include <functional>

class QComboBox;
class QLineEdit;
class QToolButton;
class TaskList;

// The one-line input dialog: a new category name, the category to delete, or a
// search text. Its mode is its caption; the caller puts the mode's input in view
// at left 4 and the other two out of view.
class TFormCategory : public QDialog
{
    Q_OBJECT
public:
    TFormCategory(AppContext &ctx, TaskList &tasks, QWidget *parent);

    static inline const QString NewCaption = QStringLiteral(" New Category :");
    static inline const QString DeleteCaption = QStringLiteral(" Delete Category ...");
    static inline const QString SearchCaption = QStringLiteral(" Search for :");

    // Places every input out of view (at twice the dialog's width).
    void hideInputs();
    // Places one input in view at left 4.
    void showInput(QWidget *input);

    // The three modes, each shown modally. A new name: whether one was added
    // (newName() is the text typed, Ok or not).
    bool askNewCategory();
    QString newName() const;
    // The category to delete, chosen from `names` ("All Items" first): whether one
    // was deleted.
    bool askDeleteCategory(const QStringList &names, int current);
    QString chosenCategory() const;
    // The search text; empty when cancelled.
    QString askSearch();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void SpeedButton1Click(); // Ok
    void SpeedButton2Click(); // Cancel

    void FormCreate();
    QList<QWidget *> inputs() const;
    void FormShow();
    bool FormKeyDown(int key);
    void FormKeyUp(int key);
    void addCategory();
    void deleteCategory();
    bool guarded(const std::function<void()> &handler);

    // Components, named as in the dialog's design.
    QLineEdit *Edit1 = nullptr;     // new category name
    QComboBox *ComboBox1 = nullptr; // category to delete
    QLineEdit *Edit2 = nullptr;     // search text
    QToolButton *SpeedButton1 = nullptr;
    QToolButton *SpeedButton2 = nullptr;

    AppContext &m_ctx;
    TaskList &m_tasks;
};
