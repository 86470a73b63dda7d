// The archive viewer: loading, counting, moving back, deleting, sorting, closing.
#include "ArchiveFixture.h"

#include "archive/ArchiveGrid.h"
#include "common/PermissionsBind.h"

#include <QAction>
#include <QDir>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

namespace {

class ArchiveViewer : public ArchiveTest
{
protected:
    // Mouse presses as a user makes them, at the centre of a cell.
    void clickHeader(int col)
    {
        QWidget *header = archiveGrid()->horizontalHeader()->viewport();
        const QPoint at = header->mapFrom(archiveGrid(), archiveGrid()->cellRect(col, 0).center());
        QTest::mouseClick(header, Qt::LeftButton, Qt::NoModifier, at);
    }
    QPoint inRow(int row) const
    {
        return archiveGrid()->cellRect(Col::Task, row).center() - archiveGrid()->viewport()->pos();
    }
    static QByteArray withOrder(const QByteArray &recordText, qint64 order)
    {
        QList<QByteArray> parts = recordText.split(char(0xA6));
        parts[Col::Order] = QByteArray::number(order);
        return parts.join(char(0xA6));
    }
};

TEST_F(ArchiveViewer, AnArchiveOfBlankRecordsShowsCountZeroAndIsEmptiedAtClose)
{
    writeData({});
    writeArchive(blank(30) + blank(5));
    start();
    showViewer();
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral(" Nudgery - Archived Events - [ 0 ]"));
    EXPECT_TRUE(viewer->table().isEmpty());
    EXPECT_EQ(archiveGrid()->model()->rowCount(), 1);

    QTest::mouseClick(viewerButton("Button_Unarchive"), Qt::LeftButton);
    QTest::mouseClick(viewerButton("Button_Del"), Qt::LeftButton);
    EXPECT_TRUE(t.messages.shown.isEmpty());

    QTest::mouseClick(viewerButton("Button_close"), Qt::LeftButton);
    EXPECT_FALSE(viewer->isVisible());
    EXPECT_TRUE(QFile::exists(t.file(FileNames::Archive)));
    EXPECT_EQ(archiveBytes(), QByteArray());
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral(" Nudgery - Archived Events"));
    EXPECT_EQ(stored("Archive", "WindowHeight"), QStringLiteral("139"));
    EXPECT_EQ(stored("Archive", "WindowWidth"), QStringLiteral("309"));
}

TEST_F(ArchiveViewer, AMissingArchiveIsCreatedEmptyWhenShown)
{
    writeData({});
    start();
    QFile::remove(t.file(FileNames::Archive));
    showViewer();
    EXPECT_TRUE(QFile::exists(t.file(FileNames::Archive)));
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral(" Nudgery - Archived Events - [ 0 ]"));
    EXPECT_EQ(viewer->archiveFileName(), t.file(FileNames::Archive));
}

TEST_F(ArchiveViewer, AnArchiveThatCannotBeRewrittenIsReportedAndTheViewerStillCloses)
{
    writeData({});
    writeArchive(rec(text("Kept")));
    start();
    showViewer();
    ASSERT_TRUE(QFile::remove(t.file(FileNames::Archive)));
    ASSERT_TRUE(QDir().mkdir(t.file(FileNames::Archive)));
    QTest::mouseClick(viewerButton("Button_close"), Qt::LeftButton);
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown.first().caption, QStringLiteral("Nudgery"));
    EXPECT_TRUE(t.messages.shown.first().text.startsWith(
        QStringLiteral("Cannot create file \"%1\". ").arg(t.file(FileNames::Archive))))
        << t.messages.shown.first().text.toStdString();
    EXPECT_FALSE(viewer->isVisible());
}

TEST_F(ArchiveViewer, UnarchivingTheLastTaskAppendsItsRecordAndTheMainListGainsIt)
{
    const QByteArray bravo = text("Bravo", "2027-03-01 09:00", "Work", "\xD7", "3", "77");
    writeData(rec(text("Alpha")) + rec(text("Charlie")));
    writeArchive(rec(bravo));
    start();
    const QByteArray dataBefore = dataBytes();
    showViewer();
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral(" Nudgery - Archived Events - [ 1 ]"));
    // While loaded, the order cell holds the record's position in the archive.
    EXPECT_EQ(viewer->table().cell(Col::Order, 1), QStringLiteral("0"));

    QTest::mouseClick(viewerButton("Button_Unarchive"), Qt::LeftButton);
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown.first().caption, QStringLiteral("Information"));
    EXPECT_EQ(t.messages.shown.first().text, QStringLiteral("Sure to UN-archive this Task ?"));
    EXPECT_EQ(t.messages.shown.first().icon, MsgIcon::Information);
    EXPECT_EQ(t.messages.shown.first().buttons, MsgButtons::YesNo);

    // Copied unchanged, done mark and stored order included.
    EXPECT_EQ(dataBytes(), dataBefore + rec(bravo));
    EXPECT_EQ(archiveBytes(), blank(bravo.size()));
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral(" Nudgery - Archived Events - [ 0 ]"));
    EXPECT_TRUE(viewer->table().isEmpty());
    EXPECT_EQ(mainTasks(), QStringList({"Alpha", "Bravo", "Charlie"}));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Nudgery   [ tasks: 3 ]"));
    EXPECT_EQ(t.tasks.table().cell(Col::Done, 2), QString(QChar(0xD7)));

    viewer->close();
    EXPECT_EQ(archiveBytes(), QByteArray());
}

TEST_F(ArchiveViewer, AnUnarchiveThatCannotBlankTheArchivedCopyTakesItsOtherCopyBack)
{
    const QByteArray bravo = text("Bravo");
    writeData(rec(text("Alpha")));
    writeArchive(rec(bravo));
    start();
    const QByteArray dataBefore = dataBytes();
    showViewer();
    QFile::setPermissions(t.file(FileNames::Archive), QFile::ReadOwner | QFile::ReadGroup);
    {
        PermissionsBind asAUser;
        // Every click fails the same way and adds nothing.
        for (int click = 0; click < 3; ++click)
            QTest::mouseClick(viewerButton("Button_Unarchive"), Qt::LeftButton);
    }
    QFile::setPermissions(t.file(FileNames::Archive), QFile::ReadOwner | QFile::WriteOwner);
    ASSERT_EQ(t.messages.shown.size(), 6); // the question and the failure, three times
    EXPECT_TRUE(t.messages.shown[1].text.startsWith("Cannot open file"))
        << t.messages.shown[1].text.toStdString();
    EXPECT_EQ(dataBytes(), dataBefore);
    EXPECT_EQ(archiveBytes(), rec(bravo));
    EXPECT_EQ(mainTasks(), QStringList({"Alpha"}));
    EXPECT_EQ(archivedTasks(), QStringList({"Bravo"}));
    EXPECT_FALSE(t.tasks.canUndo());
}

TEST_F(ArchiveViewer, ADeleteIsUndoneLikeEveryOtherChangeInTheViewerAndAfterItCloses)
{
    writeSettings("[Archive]\r\nUnArchivAsk=0\r\n");
    const QByteArray one = text("One", "2027-01-01 09:00"), two = text("Two", "2027-02-01 09:00");
    writeData({});
    writeArchive(rec(one) + rec(two));
    start();
    showViewer();
    QAction *undo = ui<QAction>(w.get(), "Menu_Undo");

    ui<QAction>(viewer, "pop1_Delete")->trigger();
    EXPECT_EQ(archivedTasks(), QStringList({"Two"}));
    QTest::keyClick(viewer, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(archivedTasks(), QStringList({"One", "Two"}));
    EXPECT_EQ(archiveBytes(), blank(one.size()) + rec(two) + rec(one));

    // Deleted again, then the viewer compacts the file as it closes.
    ui<QAction>(viewer, "pop1_Delete")->trigger();
    viewer->close();
    ASSERT_EQ(archiveBytes(), rec(withOrder(two, 4 + one.size())));
    EXPECT_EQ(undo->text(), "&Undo delete in archive\tCtrl+Z");
    t.messages.shown.clear(); // the questions before each delete
    undo->trigger();
    EXPECT_TRUE(t.messages.shown.isEmpty());
    EXPECT_EQ(archiveBytes(), rec(withOrder(two, 4 + one.size())) + rec(one));
    // The delete undone earlier is not taken back again.
    EXPECT_FALSE(undo->isEnabled());
}

// Two identical tasks archived together, their records moved when the viewer
// compacts the archive: undoing the archive takes each one back once.
TEST_F(ArchiveViewer, UndoTakesBackEachOfTwoIdenticalRecordsOnceAfterTheyMoved)
{
    const QByteArray same = text("Same", "2027-01-01 09:00");
    const QByteArray zulu = text("Zulu", "2027-05-01 09:00");
    writeData(rec(same) + rec(same));
    // A blank before them, which the compaction drops: every record moves.
    writeArchive(blank(40) + rec(zulu));
    start();
    ASSERT_EQ(mainTasks(), QStringList({"Same", "Same"}));
    selectRange(1, 2);
    QTest::mouseClick(ui<QToolButton>(w.get(), "SpeedButton14"), Qt::LeftButton);
    ASSERT_TRUE(t.tasks.table().isEmpty());
    showViewer();
    ASSERT_EQ(archivedTasks(), QStringList({"Same", "Same", "Zulu"}));
    viewer->close();

    ui<QAction>(w.get(), "Menu_Undo")->trigger();
    EXPECT_TRUE(t.messages.shown.isEmpty());
    EXPECT_EQ(mainTasks(), QStringList({"Same", "Same"}));
    showViewer();
    EXPECT_EQ(archivedTasks(), QStringList({"Zulu"}));
}

TEST_F(ArchiveViewer, DoubleClickMovesTheRowBackWithoutAQuestionWhenToldNotToAsk)
{
    writeSettings("[Archive]\r\nUnArchivAsk=0\r\n");
    const QByteArray first = text("First", "2027-01-01 09:00");
    const QByteArray second = text("Second", "2027-02-01 09:00");
    const QByteArray third = text("Third", "2027-03-01 09:00");
    writeData({});
    writeArchive(rec(third) + rec(first) + rec(second));
    start();
    showViewer();
    ASSERT_EQ(archivedTasks(), QStringList({"First", "Second", "Third"}));

    // A double click's first press selects the row, its second one moves it back.
    QTest::mouseClick(archiveGrid()->viewport(), Qt::LeftButton, Qt::NoModifier, inRow(2));
    QTest::mouseDClick(archiveGrid()->viewport(), Qt::LeftButton, Qt::NoModifier, inRow(2));
    EXPECT_TRUE(t.messages.shown.isEmpty());
    EXPECT_EQ(dataBytes(), rec(second));
    EXPECT_EQ(archiveBytes(), rec(third) + rec(first) + blank(second.size()));
    EXPECT_EQ(archivedTasks(), QStringList({"First", "Third"}));
    EXPECT_EQ(mainTasks(), QStringList({"Second"}));
}

TEST_F(ArchiveViewer, NoToEitherQuestionChangesNothing)
{
    writeData(rec(text("Kept")));
    writeArchive(rec(text("One")) + rec(text("Two")));
    start();
    const QByteArray dataBefore = dataBytes();
    const QByteArray archiveBefore = archiveBytes();
    showViewer();
    t.messages.answers = {MsgResult::No, MsgResult::No};
    ui<QAction>(viewer, "pop1_Unarchive")->trigger();
    ui<QAction>(viewer, "pop1_Delete")->trigger();
    EXPECT_EQ(t.messages.shown.size(), 2);
    EXPECT_EQ(t.messages.shown[1].text, QStringLiteral("Sure to delete this Task ?"));
    EXPECT_EQ(dataBytes(), dataBefore);
    EXPECT_EQ(archiveBytes(), archiveBefore);
    EXPECT_EQ(archivedTasks().size(), 2);
}

TEST_F(ArchiveViewer, DeleteBlanksTheRowChosenWithTheRightButton)
{
    const QByteArray a = text("A", "2027-01-01 09:00");
    const QByteArray b = text("B", "2027-02-01 09:00");
    const QByteArray c = text("C", "2027-03-01 09:00");
    writeData({});
    writeArchive(rec(a) + rec(b) + rec(c));
    start();
    showViewer();
    QTest::mouseClick(archiveGrid()->viewport(), Qt::RightButton, Qt::NoModifier, inRow(3));
    EXPECT_EQ(archiveGrid()->currentRow(), 3);
    EXPECT_TRUE(viewerMenu()->isVisible());
    viewerMenu()->hide();

    ui<QAction>(viewer, "pop1_Delete")->trigger();
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown.first().caption, QStringLiteral("Information"));
    EXPECT_EQ(archiveBytes(), rec(a) + rec(b) + blank(c.size()));
    EXPECT_EQ(archivedTasks(), QStringList({"A", "B"}));
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral(" Nudgery - Archived Events - [ 2 ]"));
    EXPECT_EQ(dataBytes(), QByteArray());
}

TEST_F(ArchiveViewer, HeaderClicksSortAscendingAndRememberTheColumn)
{
    // Task texts, date texts, sort keys and priorities each give another order.
    writeData({});
    writeArchive(rec(text("Apple", "2027-02-01 09:00", {}, {}, "2")) +
                 rec(text("banana", "2026-12-20 09:00", {}, {}, "3")) +
                 rec(text("cherry", "2027-01-15 09:00", {}, {}, "1")));
    start();
    showViewer();
    // Sorted by the stored column at showing: 6, the sort key, when none was stored.
    EXPECT_EQ(archivedTasks(), QStringList({"banana", "cherry", "Apple"}));

    clickHeader(Col::Priority);
    EXPECT_EQ(archivedTasks(), QStringList({"cherry", "Apple", "banana"}));
    EXPECT_EQ(stored("Preferences", "SortedArch"), QStringLiteral("4"));

    clickHeader(Col::Date); // by the sort key, not by the date text shown
    EXPECT_EQ(archivedTasks(), QStringList({"banana", "cherry", "Apple"}));
    EXPECT_EQ(stored("Preferences", "SortedArch"), QStringLiteral("6"));

    clickHeader(Col::Task);
    clickHeader(Col::Task); // never reversed
    EXPECT_EQ(archivedTasks(), QStringList({"Apple", "banana", "cherry"}));
    EXPECT_EQ(stored("Preferences", "SortedArch"), QStringLiteral("1"));

    // The next showing sorts by the stored column.
    viewer->close();
    t.settings.setInteger(SettingKey::SortedArch, 4);
    showViewer();
    EXPECT_EQ(archivedTasks(), QStringList({"cherry", "Apple", "banana"}));
}

TEST_F(ArchiveViewer, SortMenuItemsSortAsTheHeaderClicksDo)
{
    writeData({});
    writeArchive(rec(text("b", "2027-01-15 09:00", "Zeta")) +
                 rec(text("a", "2027-02-01 09:00", "Alpha")) +
                 rec(text("c", "2026-12-20 09:00", "Mu")));
    start();
    showViewer();
    ui<QAction>(viewer, "pop1_sortBycategory")->trigger();
    EXPECT_EQ(archivedTasks(), QStringList({"a", "c", "b"}));
    EXPECT_EQ(stored("Preferences", "SortedArch"), QStringLiteral("7"));
    ui<QAction>(viewer, "pop1_sortByname")->trigger();
    EXPECT_EQ(archivedTasks(), QStringList({"a", "b", "c"}));
    EXPECT_EQ(stored("Preferences", "SortedArch"), QStringLiteral("1"));
    ui<QAction>(viewer, "pop1_sortBydate")->trigger();
    EXPECT_EQ(archivedTasks(), QStringList({"c", "b", "a"}));
    EXPECT_EQ(stored("Preferences", "SortedArch"), QStringLiteral("6"));
}

TEST_F(ArchiveViewer, ClosingRewritesTheArchiveInTheOrderShownWithoutBlankRecords)
{
    const QByteArray later = text("Later", "2027-05-01 09:00", "Home", "\xD7", "5", "900");
    const QByteArray sooner = text("Sooner", "2027-01-01 09:00", "Work", {}, "", "12");
    writeData({});
    writeArchive(rec(later) + blank(12) + rec(sooner));
    start();
    showViewer();
    ASSERT_EQ(archivedTasks(), QStringList({"Sooner", "Later"}));
    viewer->close();
    // Each row is written as shown: its order cell is its position before the rewrite.
    const qint64 soonerAt = 4 + later.size() + 4 + 12;
    EXPECT_EQ(archiveBytes(), rec(withOrder(sooner, soonerAt)) + rec(withOrder(later, 0)));

    showViewer();
    EXPECT_EQ(viewer->table().cell(Col::Order, 1), QStringLiteral("0"));
    EXPECT_EQ(viewer->table().cell(Col::Task, 1), QStringLiteral("Sooner"));
}

TEST_F(ArchiveViewer, OpensModallyFromTheMainMenuAndItsPreferencesFromItsOwn)
{
    writeData({});
    writeArchive(rec(text("Archived")));
    start();
    bool viewerWasModal = false;
    bool preferencesWereModal = false;
    withModal(
        [&](QWidget *modal) {
            viewerWasModal = modal == viewer && viewer->isModal();
            EXPECT_EQ(viewer->windowTitle(), QStringLiteral(" Nudgery - Archived Events - [ 1 ]"));
            QTimer::singleShot(0, viewer, [&] {
                preferencesWereModal = QApplication::activeModalWidget() == options;
                QTest::mouseClick(ui<QPushButton>(options, "Button_pp_ok"), Qt::LeftButton);
            });
            ui<QAction>(viewer, "Preferences1")->trigger();
            EXPECT_FALSE(options->isVisible());
            QTest::mouseClick(viewerButton("Button_close"), Qt::LeftButton);
        },
        [&] { ui<QAction>(w.get(), "Menu_OpenArchive")->trigger(); });
    EXPECT_TRUE(viewerWasModal);
    EXPECT_TRUE(preferencesWereModal);
    EXPECT_FALSE(viewer->isVisible());
}

TEST_F(ArchiveViewer, TheMenuButtonOpensTheMenuBesideItsCentre)
{
    writeData({});
    start();
    showViewer();
    QTest::mouseClick(menuButton(), Qt::LeftButton);
    ASSERT_TRUE(viewerMenu()->isVisible());
    const QPoint centre(menuButton()->width() / 2, menuButton()->height() / 2);
    EXPECT_EQ(viewerMenu()->pos(), menuButton()->mapToGlobal(centre) + QPoint(5, 4));
    viewerMenu()->hide();
    QStringList items;
    for (QAction *a : viewerMenu()->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(items, QStringList({"&Unarchive", "&Delete", "-", "&Sort", "-", "Pre&ferences...",
                                  "&Print..."}));
    EXPECT_EQ(menuButton()->toolTip(), QStringLiteral(" menu "));
}

TEST_F(ArchiveViewer, TheStoredLanguageIsAppliedAtEveryShowing)
{
    writeSettings("[Options]\r\nLanguage=Portuguese\r\n");
    writeData({});
    writeArchive(rec(text("Guardada")));
    start();
    showViewer();
    EXPECT_EQ(viewer->windowTitle(), QString::fromUtf8(" Nudgery - Eventos Arquivados - [ 1 ]"));
    EXPECT_EQ(viewerButton("Button_close")->text(), QStringLiteral("Fechar"));
    EXPECT_EQ(ui<QAction>(viewer, "pop1_Print")->text(), QStringLiteral("&Imprimir..."));
    const QPushButton *unarchive = viewerButton("Button_Unarchive");
    EXPECT_EQ(unarchive->text(), QStringLiteral("Des-arquivar ..."));
    EXPECT_GT(unarchive->width(), unarchive->fontMetrics().horizontalAdvance(unarchive->text()));
    // The headers are the language's too.
    EXPECT_EQ(archiveGrid()->model()->headerData(Col::Task, Qt::Horizontal).toString(),
              QStringLiteral("Eventos"));
    EXPECT_EQ(archiveGrid()->model()->headerData(Col::Date, Qt::Horizontal).toString(),
              QStringLiteral("Data"));
    viewer->close();
    EXPECT_EQ(viewer->windowTitle(), QString::fromUtf8(" Nudgery - Eventos Arquivados"));

    options->show();
    EXPECT_EQ(options->windowTitle(), QString::fromUtf8(" Op\u00e7\u00f5es ..."));
    options->close();

    t.settings.setText(SettingKey::Language, QStringLiteral("English"));
    showViewer();
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral(" Nudgery - Archived Events - [ 1 ]"));
    EXPECT_EQ(viewerButton("Button_close")->text(), QStringLiteral("Close"));
}

} // namespace
