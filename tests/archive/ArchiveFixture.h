#pragma once

#include "archive/ArchiveGrid.h"
#include "archive/TFormArchOptions.h"
#include "archive/TFormArchive.h"
#include "common/TestContext.h"
#include "common/TestFiles.h"
#include "common/Ui.h"
#include "mainwindow/TForm1.h"
#include "store/ProfileData.h"
#include "store/TaskTable.h"
#include "widgets/TaskGrid.h"

#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// The main window and the archive windows, created as the program creates them,
// on a program folder whose task data file, archive and settings a test writes by
// hand. The fake clock's day is 09/12/2026; task dates lie elsewhere, so no
// agenda comes up.
class ArchiveTest : public ::testing::Test
{
protected:
    // A record's text as the files hold it.
    static QByteArray text(const QByteArray &task, const QByteArray &sortKey = "2027-03-01 09:00",
                           const QByteArray &category = {}, const QByteArray &done = {},
                           const QByteArray &priority = "1", const QByteArray &order = "0")
    {
        const QByteArray date = sortKey.mid(8, 2) + '/' + sortKey.mid(5, 2) + '/' + sortKey.left(4);
        return TestFiles::fields(
            {done, task, date, sortKey.mid(11), priority, order, sortKey, category, "18", ""});
    }
    static QByteArray rec(const QByteArray &recordText) { return TestFiles::record(recordText); }
    static QByteArray blank(int length) { return TestFiles::record(QByteArray(length, ' ')); }

    void writeData(const QByteArray &bytes) { TestFiles::writeAll(t.file(FileNames::Data), bytes); }
    void writeArchive(const QByteArray &bytes)
    {
        TestFiles::writeAll(t.file(FileNames::Archive), bytes);
    }
    // Settings common to every test come first: the main list sorted by task text.
    void writeSettings(const QByteArray &more = {})
    {
        TestFiles::writeAll(t.file(FileNames::Settings),
                            "[Preferences]\r\nSorted=Task\r\nSortedOrdr=0\r\n" + more);
    }
    QByteArray dataBytes() const { return TestFiles::readAll(t.file(FileNames::Data)); }
    QByteArray archiveBytes() const { return TestFiles::readAll(t.file(FileNames::Archive)); }
    QString stored(const QString &section, const char *key) const
    {
        return ProfileData::load(t.file(FileNames::Settings))
            .value(section, QString::fromLatin1(key))
            .value_or(QStringLiteral("<missing>"));
    }

    void start()
    {
        if (!QFile::exists(t.file(FileNames::Settings)))
            writeSettings();
        w = std::make_unique<TForm1>(t.ctx, t.tasks, t.alarm);
        ASSERT_TRUE(w->FormCreate());
        w->createDialogs();
        viewer = w->findChild<TFormArchive *>();
        options = w->findChild<TFormArchOptions *>();
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        t.messages.shown.clear();
    }
    void showViewer()
    {
        viewer->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(viewer));
    }

    static QStringList tasksOf(const TaskTable &table)
    {
        QStringList out;
        for (int r = 1; r < table.rowCount(); ++r)
            out << table.cell(Col::Task, r);
        return out;
    }
    // The viewer's components the tests reach, found by name as the user finds them.
    ArchiveGrid *archiveGrid() const { return ui<ArchiveGrid>(viewer, "StringGrid1"); }
    QPushButton *viewerButton(const char *name) const { return ui<QPushButton>(viewer, name); }
    QToolButton *menuButton() const { return ui<QToolButton>(viewer, "Button_Menu"); }
    QMenu *viewerMenu() const { return ui<QMenu>(viewer, "PopupMenu1"); }

    QStringList mainTasks() const { return tasksOf(t.tasks.table()); }
    QStringList archivedTasks() const { return tasksOf(viewer->table()); }

    // Click on the first row, shift-click on the last, as a user selects a range.
    void selectRange(int first, int last)
    {
        TaskGrid *g = grid();
        auto at = [g](int row) {
            return g->cellRect(Col::Task, row).center() - g->viewport()->pos();
        };
        QTest::mouseClick(g->viewport(), Qt::LeftButton, Qt::NoModifier, at(first));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, Qt::ShiftModifier, at(last));
        ASSERT_EQ(g->selectionTop(), first);
        ASSERT_EQ(g->selectionBottom(), last);
    }

    // Runs `answer` on the window that `action` shows modally.
    void withModal(const std::function<void(QWidget *)> &answer,
                   const std::function<void()> &action)
    {
        bool answered = false;
        QTimer::singleShot(0, w.get(), [&] {
            QWidget *modal = QApplication::activeModalWidget();
            answered = true;
            answer(modal);
            if (modal && modal->isVisible())
                modal->close();
        });
        action();
        EXPECT_TRUE(answered);
    }

    TaskGrid *grid() const { return ui<TaskGrid>(w.get(), "StringGrid1"); }

    TestContext t;
    std::unique_ptr<TForm1> w;
    TFormArchive *viewer = nullptr;
    TFormArchOptions *options = nullptr;
};
