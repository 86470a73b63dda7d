#pragma once

#include "PdfPrinter.h"
#include "common/TestContext.h"
#include "common/TestFiles.h"
#include "common/Ui.h"
#include "mainwindow/TForm1.h"
#include "store/TaskTable.h"
#include "widgets/TaskGrid.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

// The main window over four tasks, sorted by task, with the categories Home and
// Work (and Garden, which no task has); the default printer writes a PDF into
// the program folder.
class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        using TestFiles::fields;
        using TestFiles::record;
        TestFiles::writeAll(t.file("Tasklyn.INI"),
                            "[Preferences]\r\nSorted=Task\r\nSortedOrdr=0\r\nAlert_s=0\r\n"
                            "[Category]\r\nCats=3\r\n1=Home\r\n2=Work\r\n3=Garden\r\n");
        TestFiles::writeAll(
            t.file("Tasklyn.DAT"),
            record(
                fields({"", "Pay the electricity bill before the end of this month, please",
                        "09/12/2026", "09:30", "2", "0", "2026-12-09 09:30", "Home", "18", ""})) +
                record(
                    fields({"\xD7", "Call the garage about the winter tyres", "15/12/2026", "14:00",
                            "", "0", "2026-12-15 14:00", "Work", "18", "ask for Ann"})) +
                record(fields({" ", "Answer Mr Smith's letter", "10/12/2026", "08:00", "1", "0",
                               "2026-12-10 08:00", "Work", "3", ""})) +
                record(fields({"", "Book the dentist", "20/12/2026", "11:15", "5", "0",
                               "2026-12-20 11:15", "", "18", ""})));
        t.ctx.printers = &printers;
        window = std::make_unique<TForm1>(t.ctx, t.tasks, t.alarm);
        ASSERT_TRUE(window->FormCreate());
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        t.messages.shown.clear();
    }

    // A menu command of the window, found by name as the user finds it.
    QAction *command(const char *name) const { return ui<QAction>(window.get(), name); }

    QAction *categoryItem(const QString &name) const
    {
        for (QAction *a : ui<QMenu>(window.get(), "Menu_Category")->actions())
            if (a->text() == name)
                return a;
        return nullptr;
    }

    // The widths of the document's example, on a window wide enough to show them.
    void setExampleWidths()
    {
        window->setClientSize(600, 300);
        QApplication::processEvents();
        const int widths[] = {12, 206, 61, 31, 12};
        for (int c = 0; c < 5; ++c)
            grid()->setColWidth(c, widths[c]);
    }

    TaskGrid *grid() const { return ui<TaskGrid>(window.get(), "StringGrid1"); }

    TestContext t;
    PdfPrinterService printers{t.file("out.pdf")};
    std::unique_ptr<TForm1> window;
};
