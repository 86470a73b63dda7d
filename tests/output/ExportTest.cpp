#include "MainWindowFixture.h"

#include "mainwindow/VisibleColumnsMenu.h"

#include <QDir>
#include <QFile>

namespace {

// Lines as Windows-1252 bytes, each ended by CR LF.
QByteArray crlf(std::initializer_list<const char *> lines)
{
    QByteArray out;
    for (const char *line : lines)
        out.append(line).append("\r\n");
    return out;
}

const char *const Rule104 = "----------------------------------------------------------------------"
                            "----------------------------------";
const char *const Header104 = "    Task                                               Date         "
                              "  Hour   Pr   | Type                ";

class ExportTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        // The export goes to the user's runtime folder: one of this test's own.
        savedTmp = qgetenv("XDG_RUNTIME_DIR");
        ASSERT_TRUE(QDir().mkpath(t.folder() + "tmp"));
        QFile::setPermissions(t.folder() + "tmp",
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", (t.folder() + "tmp").toLocal8Bit());
        MainWindowTest::SetUp();
    }
    void TearDown() override
    {
        window.reset();
        if (savedTmp.isNull())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", savedTmp);
    }

    QString exportPath() const { return t.folder() + "tmp/tasklyn.txt"; }

    // The bytes the text viewer found when it was asked to show the export.
    QByteArray exported()
    {
        command("Menu_SavetoFile")->trigger();
        if (!t.messages.shown.isEmpty())
            ADD_FAILURE() << t.messages.shown.last().text.toStdString();
        if (t.textViewer.opened.isEmpty())
            return {};
        EXPECT_EQ(t.textViewer.opened.last().path, exportPath());
        return t.textViewer.opened.last().content;
    }

    void hideColumn(const char *item)
    {
        auto *columns = ui<VisibleColumnsMenu>(window.get(), "PopupMenu4");
        auto *visibleCols = columns->findChild<QMenu *>("pop4_VisibleCols");
        emit columns->aboutToShow();
        visibleCols->findChild<QAction *>(item)->trigger();
    }

    QByteArray savedTmp;
};

TEST_F(ExportTest, shouldWriteEveryColumnAtAQuarterOfItsPixelWidth)
{
    setExampleWidths();
    EXPECT_EQ(exported(), crlf({"", Rule104, Header104, Rule104,
                                "    Answer Mr Smith's letter                           10/12/2026 "
                                "    08:00  1    | Work                ",
                                "    Book the dentist                                   20/12/2026 "
                                "    11:15  5    |                     ",
                                " \xD7"
                                "  Call the garage about the winter tyres             15/12/2026   "
                                "  14:00       | Work                ",
                                "    Pay the electricity bill before the end of this mon09/12/2026 "
                                "    09:30  2    | Home                ",
                                Rule104}));
}

TEST_F(ExportTest, shouldLeaveOutAColumnHiddenThroughTheVisibleColumnsMenu)
{
    setExampleWidths();
    hideColumn("pop4_HourCol");
    ASSERT_EQ(grid()->colWidth(Col::Hour), 0);
    grid()->setColWidth(Col::Task, 206); // the layout step widened it

    EXPECT_EQ(exported(), crlf({"",
                                "------------------------------------------------------------------"
                                "-------------------------------",
                                "    Task                                               Date       "
                                "    Pr   | Type                ",
                                "------------------------------------------------------------------"
                                "-------------------------------",
                                "    Answer Mr Smith's letter                           10/12/2026 "
                                "    1    | Work                ",
                                "    Book the dentist                                   20/12/2026 "
                                "    5    |                     ",
                                " \xD7"
                                "  Call the garage about the winter tyres             15/12/2026   "
                                "       | Work                ",
                                "    Pay the electricity bill before the end of this mon09/12/2026 "
                                "    2    | Home                ",
                                "------------------------------------------------------------------"
                                "-------------------------------"}));
}

TEST_F(ExportTest, shouldLeaveOutTheColumnCutOffAtTheRightEdgeAndAllAfterIt)
{
    setExampleWidths();
    grid()->setColWidth(Col::Task, grid()->viewport()->width());

    EXPECT_EQ(exported(), crlf({"", "----------------------------", "      | Type                ",
                                "----------------------------", "      | Work                ",
                                "      |                     ",
                                " \xD7"
                                "    | Work                ",
                                "      | Home                ", "----------------------------"}));
}

TEST_F(ExportTest, shouldFollowTheCategoryFilterAndTheSortOrder)
{
    categoryItem("Work")->trigger();
    command("Menu_SortByDate")->trigger(); // newest first
    setExampleWidths();

    EXPECT_EQ(exported(), crlf({"", Rule104, Header104, Rule104,
                                " \xD7"
                                "  Call the garage about the winter tyres             15/12/2026   "
                                "  14:00       | Work                ",
                                "    Answer Mr Smith's letter                           10/12/2026 "
                                "    08:00  1    | Work                ",
                                Rule104}));
}

TEST_F(ExportTest, shouldExportTheEmptyTableAsOneLineOfBlanksWithTheBar)
{
    categoryItem("Garden")->trigger();
    setExampleWidths();
    const QByteArray blanks = QByteArray(80, ' ') + "  | " + QByteArray(20, ' ');
    EXPECT_EQ(exported(), crlf({"", Rule104, Header104, Rule104, blanks.constData(), Rule104}));
}

TEST_F(ExportTest, shouldKeepTheFileForTheViewerUntilTheProgramEnds)
{
    setExampleWidths();
    const QByteArray first = exported();
    ASSERT_FALSE(first.isEmpty());
    EXPECT_EQ(TestFiles::readAll(exportPath()), first); // still there for the viewer

    categoryItem("Home")->trigger();
    setExampleWidths();
    const QByteArray second = exported();
    EXPECT_EQ(TestFiles::readAll(exportPath()), second);
    EXPECT_EQ(second.count("\r\n"), 6);

    window.reset(); // the program ends
    EXPECT_FALSE(QFile::exists(exportPath()));
}

TEST_F(ExportTest, shouldReplaceAStaleFileOfTheSameName)
{
    TestFiles::writeAll(exportPath(), QByteArray(5000, 'x'));
    setExampleWidths();
    const QByteArray bytes = exported();
    EXPECT_TRUE(bytes.startsWith("\r\n-"));
    EXPECT_FALSE(bytes.contains('x'));
}

TEST_F(ExportTest, shouldReportAFileThatCannotBeCreatedAndStartNoViewer)
{
    // A folder of that name: neither removable as a file nor creatable.
    ASSERT_TRUE(QDir().mkpath(exportPath()));

    command("Menu_SavetoFile")->trigger();

    ASSERT_EQ(t.messages.shown.size(), 1);
    const QString expectedStart = "Cannot create file \"" + exportPath() + "\". ";
    EXPECT_TRUE(t.messages.shown[0].text.startsWith(expectedStart))
        << t.messages.shown[0].text.toStdString();
    EXPECT_GT(t.messages.shown[0].text.size(), expectedStart.size()); // the system's reason
    EXPECT_TRUE(t.textViewer.opened.isEmpty());
}

} // namespace
