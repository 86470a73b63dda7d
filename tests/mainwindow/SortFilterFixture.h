#pragma once

#include "categories/TFormCategory.h"
#include "common/TestContext.h"
#include "common/TestFiles.h"
#include "common/Ui.h"
#include "mainwindow/TForm1.h"
#include "store/TaskTable.h"
#include "widgets/TaskGrid.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// The main window started on a program folder whose task data file and settings
// file a test writes by hand, with the input dialog created as the program does.
class SortFilterWindowTest : public ::testing::Test
{
protected:
    // One record as the file holds it; dates far from the fake clock's day, so
    // no agenda is shown at start.
    static QByteArray task(const QByteArray &text, const QByteArray &category = {},
                           const QByteArray &sortKey = "2027-03-01 09:00",
                           const QByteArray &done = {})
    {
        const QByteArray date = sortKey.mid(8, 2) + '/' + sortKey.mid(5, 2) + '/' + sortKey.left(4);
        return TestFiles::record(TestFiles::fields(
            {done, text, date, sortKey.mid(11), "1", "0", sortKey, category, "18", ""}));
    }

    void writeTasks(const QList<QByteArray> &records)
    {
        QByteArray bytes;
        for (const QByteArray &r : records)
            bytes += r;
        TestFiles::writeAll(t.file(FileNames::Data), bytes);
    }

    void writeSettings(const QByteArray &text)
    {
        TestFiles::writeAll(t.file(FileNames::Settings), text);
    }
    QByteArray settingsBytes() const { return TestFiles::readAll(t.file(FileNames::Settings)); }
    QByteArray dataBytes() const { return TestFiles::readAll(t.file(FileNames::Data)); }

    void start()
    {
        w = std::make_unique<TForm1>(t.ctx, t.tasks, t.alarm);
        ASSERT_TRUE(w->FormCreate());
        w->createDialogs();
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        t.messages.shown.clear();
    }

    // The task texts in table order.
    QStringList tasks() const
    {
        QStringList out;
        for (int r = 1; r < t.tasks.table().rowCount(); ++r)
            out << t.tasks.table().cell(Col::Task, r);
        return out;
    }
    TaskGrid *grid() const { return ui<TaskGrid>(w.get(), "StringGrid1"); }
    QString currentTask() const { return t.tasks.table().cell(Col::Task, grid()->currentRow()); }
    void select(const QString &text)
    {
        const int row = int(tasks().indexOf(text)) + 1;
        ASSERT_GE(row, 1) << text.toStdString();
        grid()->setCurrentRow(row);
    }

    // The main window's components the tests reach, found by name as the user
    // finds them.
    QAction *command(const char *name) const { return ui<QAction>(w.get(), name); }
    QComboBox *selector() const { return ui<QComboBox>(w.get(), "ComboBox1"); }
    QList<QAction *> categoryItems() const
    {
        return ui<QMenu>(w.get(), "Menu_Category")->actions();
    }
    // The input dialog's.
    static QLineEdit *nameField(TFormCategory &d) { return ui<QLineEdit>(&d, "Edit1"); }
    static QComboBox *deleteList(TFormCategory &d) { return ui<QComboBox>(&d, "ComboBox1"); }
    static QLineEdit *searchField(TFormCategory &d) { return ui<QLineEdit>(&d, "Edit2"); }
    static QToolButton *okButton(TFormCategory &d) { return ui<QToolButton>(&d, "SpeedButton1"); }
    static QToolButton *cancelButton(TFormCategory &d)
    {
        return ui<QToolButton>(&d, "SpeedButton2");
    }

    // The captions of the "&Category" menu, separators as "-".
    QStringList categoryMenu() const
    {
        QStringList out;
        for (QAction *a : categoryItems())
            out << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return out;
    }
    QStringList selectorItems() const
    {
        QStringList out;
        const QComboBox *list = selector();
        for (int i = 0; i < list->count(); ++i)
            out << list->itemText(i);
        return out;
    }
    int checkedMenuItem() const
    {
        const QList<QAction *> items = categoryItems();
        int checked = -1;
        for (int i = 0; i < items.size(); ++i)
            if (items[i]->isChecked())
                checked = checked == -1 ? i : -2;
        return checked;
    }

    // Runs `answer` on the input dialog once it is shown modally by `action`.
    void withDialog(const std::function<void(TFormCategory &)> &answer,
                    const std::function<void()> &action)
    {
        bool answered = false;
        QTimer::singleShot(0, w.get(), [&] {
            auto *dialog = qobject_cast<TFormCategory *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            // The user types once the dialog is the active window, as a window
            // manager makes it; the offscreen platform leaves that to the test.
            dialog->activateWindow();
            for (int i = 0; i < 500 && QApplication::activeWindow() != dialog; ++i)
                QTest::qWait(10);
            EXPECT_EQ(QApplication::activeWindow(), dialog);
            answered = true;
            answer(*dialog);
            // Whatever the answer left open is closed, so the test goes on.
            if (dialog->isVisible())
                dialog->reject();
        });
        action();
        QCoreApplication::processEvents(); // a dialog that never came still gets its answer run
        EXPECT_TRUE(answered);
    }

    TestContext t;
    std::unique_ptr<TForm1> w;
};
