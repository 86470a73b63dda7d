#include "MainWindowFixture.h"

#include "output/PrintCommands.h"
#include "store/StoreError.h"
#include "store/TaskTable.h"

#include <QFile>

namespace {

const QString Rule105(105, QLatin1Char('-'));
const QString MainHeader =
    "       Stat    Task                                             Date            Prior.";
const QString CaptionLine =
    "           Task                                              Date            Pr      | Type";

using PrintListTest = MainWindowTest;

TEST_F(PrintListTest, shouldPrintTheListInTheTableOrderWithItsCaptionRow)
{
    command("Menu_Print")->trigger();

    ASSERT_TRUE(t.messages.shown.isEmpty()) << t.messages.shown.first().text.toStdString();
    const PdfDocument doc = PdfDocument::read(printers.path);
    EXPECT_EQ(doc.title, "Nudgery");
    ASSERT_EQ(doc.pages.size(), 1);
    EXPECT_EQ(doc.pageText(0), QStringList({
                                   MainHeader,
                                   Rule105,
                                   CaptionLine,
                                   "           Answer Mr Smith's letter                          "
                                   "10/12/2026      1       | Work",
                                   "           Book the dentist                                  "
                                   "20/12/2026      5       |",
                                   "       ×   Call the garage about the winter tyres            "
                                   "15/12/2026              | Work",
                                   "           Pay the electricity bill before the end of this "
                                   "mo09/12/2026      2       | Home",
                                   Rule105,
                               }));
}

TEST_F(PrintListTest, shouldPrintOnlyTheFilteredCategoryInTheCurrentSortOrder)
{
    categoryItem("Work")->trigger();
    command("Menu_SortByDate")->trigger(); // newest first: the second date sort reverses

    command("Menu_Print")->trigger();

    EXPECT_EQ(PdfDocument::read(printers.path).pageText(0),
              QStringList({
                  MainHeader,
                  Rule105,
                  CaptionLine,
                  "       ×   Call the garage about the winter tyres            15/12/2026         "
                  "     | Work",
                  "           Answer Mr Smith's letter                          10/12/2026      1  "
                  "     | Work",
                  Rule105,
              }));
}

TEST_F(PrintListTest, shouldPrintTheEmptyTableAsOneLineOfBlanksWithTheBar)
{
    categoryItem("Garden")->trigger();
    ASSERT_TRUE(t.tasks.table().isEmpty());

    command("Menu_Print")->trigger();

    const QStringList lines = PdfDocument::read(printers.path).pageText(0);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[3], QString(83, ' ') + "  |");
    EXPECT_EQ(lines[4], Rule105);
}

TEST_F(PrintListTest, shouldReportAMissingDefaultPrinterAndPrintNothing)
{
    printers.present = false;

    command("Menu_Print")->trigger();

    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown[0].text, "There is no default printer currently selected");
    EXPECT_EQ(t.messages.shown[0].caption, "Nudgery");
    EXPECT_EQ(t.messages.shown[0].buttons, MsgButtons::Ok);
    EXPECT_FALSE(QFile::exists(printers.path));
}

TEST_F(PrintListTest, shouldContinueALongListOnTheNextPageWithoutRepeatingTheHeader)
{
    printers.pageSize =
        QPageSize(QSizeF(240, 70), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    QByteArray records;
    for (int i = 30; i >= 1; --i)
        records += TestFiles::record(
            TestFiles::fields({"", "Task number " + QByteArray::number(i).rightJustified(2, '0'),
                               "", "", "", "0", "", "", "18", ""}));
    TestFiles::writeAll(t.file("Tasklyn.DAT"), records);
    command("Menu_AllItems")->trigger();

    command("Menu_Print")->trigger();

    const PdfDocument doc = PdfDocument::read(printers.path);
    ASSERT_GE(doc.pages.size(), 2);
    const QStringList all = doc.allText();
    ASSERT_EQ(all.size(), 2 + 1 + 30 + 1);
    EXPECT_EQ(all.count(MainHeader), 1);
    EXPECT_EQ(doc.pageText(0).first(), MainHeader);
    for (int p = 1; p < doc.pages.size(); ++p) {
        EXPECT_TRUE(doc.pageText(p).first().startsWith("           Task number ")) << p;
        EXPECT_NEAR(doc.pages[p][0].top, 0, 0.5);
    }
    for (int i = 1; i <= 30; ++i)
        EXPECT_EQ(all[2 + i],
                  QStringLiteral("           Task number %1").arg(i, 2, 10, QLatin1Char('0')) +
                      QString(36, ' ') + QString(22, ' ') + "  |");
}

TEST(ArchivePrintTest, shouldPrintTheArchiveListWithoutDoneMarksUnderItsOwnTitle)
{
    TestContext t;
    PdfPrinterService printers(t.file("archive.pdf"));
    TaskTable archive;
    archive.setHeader(Col::Task, "Task");
    archive.setHeader(Col::Date, "Date");
    archive.setHeader(Col::Priority, "Pr");
    TaskRow done;
    done[Col::Done] = DoneMark;
    done[Col::Task] = "Renew the passport";
    done[Col::Date] = "02/03/2026";
    done[Col::Priority] = "4";
    done[Col::Category] = "Home";
    TaskRow open;
    open[Col::Task] = "A task text that is longer than fifty characters in all";
    open[Col::Date] = "01/02/2026";
    archive.setTasks({done, open});

    printArchiveList(archive, printers);

    const PdfDocument doc = PdfDocument::read(printers.path);
    EXPECT_EQ(doc.title, "Nudgery archive");
    EXPECT_EQ(
        doc.pageText(0),
        QStringList({
            "          Task                                             Date            Prior.     "
            "Category",
            Rule105,
            "       Task                                              Date            Pr      |",
            "       Renew the passport                                02/03/2026      4       | "
            "Home",
            "       A task text that is longer than fifty characters i01/02/2026              |",
            Rule105,
        }));
}

TEST(ArchivePrintTest, shouldRefuseWithoutADefaultPrinter)
{
    PdfPrinterService printers(QStringLiteral("/nonexistent/never.pdf"));
    printers.present = false;
    TaskTable archive;
    try {
        printArchiveList(archive, printers);
        FAIL() << "printed without a printer";
    } catch (const StoreError &e) {
        EXPECT_EQ(e.message(), "There is no default printer currently selected");
    }
}

} // namespace
