#pragma once

#include "common/TestContext.h"
#include "common/TestFiles.h"
#include "common/Ui.h"
#include "editor/CalendarPanel.h"
#include "editor/ColourComboBox.h"
#include "editor/TFormAddEdit.h"
#include "mainwindow/TForm1.h"
#include "store/TaskTable.h"
#include "widgets/TaskGrid.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// The main window started on a program folder whose files a test writes by
// hand, with the task editor created after it as the program does. Today is
// Wednesday 9 December 2026, 10:00; no task falls on it, so no agenda is shown.
class TaskWindowTest : public ::testing::Test
{
protected:
    // A record as the task data file holds it (the order field is the stored one,
    // which a load replaces).
    static QByteArray task(const QByteArray &text, const QByteArray &date = "15/01/2027",
                           const QByteArray &hour = "09:30", const QByteArray &category = {},
                           const QByteArray &done = {}, const QByteArray &note = {})
    {
        const QByteArray sortKey =
            date.mid(6, 4) + '-' + date.mid(3, 2) + '-' + date.left(2) + ' ' + hour;
        return TestFiles::record(
            TestFiles::fields({done, text, date, hour, "", "0", sortKey, category, "18", note}));
    }
    static QByteArray blanked(const QByteArray &record)
    {
        return record.left(4) + QByteArray(record.size() - 4, ' ');
    }

    void writeTasks(const QList<QByteArray> &records)
    {
        QByteArray bytes;
        for (const QByteArray &r : records)
            bytes += r;
        TestFiles::writeAll(t.file(FileNames::Data), bytes);
    }
    // Sorted by task, ascending, unless a test says otherwise.
    void writeSettings(const QByteArray &extra = {})
    {
        TestFiles::writeAll(t.file(FileNames::Settings),
                            "[Preferences]\r\nSorted=Task\r\nSortedOrdr=0\r\n" + extra);
    }
    QByteArray dataBytes() const { return TestFiles::readAll(t.file(FileNames::Data)); }

    void start()
    {
        if (!QFile::exists(t.file(FileNames::Settings)))
            writeSettings();
        if (!QFile::exists(t.file(FileNames::Data)))
            writeTasks({});
        w = std::make_unique<TForm1>(t.ctx, t.tasks, t.alarm);
        ASSERT_TRUE(w->FormCreate());
        w->createDialogs();
        editor = w->findChild<TFormAddEdit *>();
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == w.get(); }));
        t.messages.shown.clear();
    }

    QStringList tasks() const
    {
        QStringList out;
        for (int r = 1; r < t.tasks.table().rowCount(); ++r)
            out << t.tasks.table().cell(Col::Task, r);
        return out;
    }
    int rowOf(const QString &text) const { return int(tasks().indexOf(text)) + 1; }
    QString cell(int col, int row) const { return t.tasks.table().cell(col, row); }

    // Runs `answer` on the editor once `action` has shown it modally. Whatever the
    // answer leaves open is cancelled, so the test goes on.
    void withEditor(const std::function<void(TFormAddEdit &)> &answer,
                    const std::function<void()> &action)
    {
        bool answered = false;
        QTimer::singleShot(0, w.get(), [&] {
            auto *dialog = qobject_cast<TFormAddEdit *>(QApplication::activeModalWidget());
            answered = dialog != nullptr;
            if (!dialog)
                return;
            dialog->activateWindow();
            EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == dialog; }));
            answer(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        action();
        QCoreApplication::processEvents(); // a dialog that never came still gets its timer run
        EXPECT_TRUE(answered) << "the editor was not shown";
    }

    // Keys as the user types them into the control that has the focus.
    static void type(const QString &text) { QTest::keyClicks(QApplication::focusWidget(), text); }
    static void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
    }
    static void click(QAbstractButton *button) { QTest::mouseClick(button, Qt::LeftButton); }

    // The components the tests reach most, found by name as the user finds them.
    QToolButton *toolButton(const char *name) const { return ui<QToolButton>(w.get(), name); }
    static QLineEdit *taskField(TFormAddEdit &e) { return ui<QLineEdit>(&e, "Edit1"); }
    static QLineEdit *dateField(TFormAddEdit &e) { return ui<QLineEdit>(&e, "Edit3"); }
    static QLineEdit *hourField(TFormAddEdit &e) { return ui<QLineEdit>(&e, "Edit2"); }
    static QLineEdit *minuteField(TFormAddEdit &e) { return ui<QLineEdit>(&e, "Edit4"); }
    static QPlainTextEdit *noteField(TFormAddEdit &e) { return ui<QPlainTextEdit>(&e, "Memo1"); }
    static QPushButton *okButton(TFormAddEdit &e) { return ui<QPushButton>(&e, "Button_ok"); }
    static QPushButton *cancelButton(TFormAddEdit &e)
    {
        return ui<QPushButton>(&e, "Button_cancel");
    }

    TaskGrid *grid() const { return ui<TaskGrid>(w.get(), "StringGrid1"); }

    TestContext t;
    std::unique_ptr<TForm1> w;
    TFormAddEdit *editor = nullptr;
};
