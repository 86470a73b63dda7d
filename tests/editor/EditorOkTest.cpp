// The task editor's Ok: validation, the row it writes, the record it stores, the
// refresh and selection that follow; and Cancel.
#include "EditorFixture.h"

#include "store/TaskRecord.h"
#include "tasks/TaskList.h"

#include <csignal>
#include <sys/resource.h>

using TestFiles::fields;
using TestFiles::record;

namespace {

// While it lives, no file of this process can grow past `bytes` (writing in place
// still works): a write that would is refused, as on a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = rlim_t(bytes);
        m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool isSet() const { return m_set; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_set = false;
};

class EditorOkTest : public TaskWindowTest
{
protected:
    // Adds a task through the toolbar's Add button with the fields a test fills.
    void add(const std::function<void(TFormAddEdit &)> &fill)
    {
        withEditor(
            [&](TFormAddEdit &e) {
                fill(e);
                click(okButton(e));
            },
            [&] { click(toolButton("SpeedButton4")); });
    }
};

TEST_F(EditorOkTest, shouldFillThePlaceholderRowOfAnEmptyTableAndAppendTheRecord)
{
    start();
    ASSERT_TRUE(t.tasks.table().isEmpty());
    EXPECT_EQ(t.alarm.interval(), 5000);

    add([&](TFormAddEdit &e) {
        EXPECT_EQ(e.windowTitle(), " Add New Task");
        EXPECT_EQ(QApplication::focusWidget(), taskField(e));
        type("Call Bob");
        ui<QComboBox>(&e, "ComboBox1")->setCurrentIndex(3);
        ui<ColourComboBox>(&e, "ComboBox3")->setCurrentIndex(4);
        noteField(e)->setPlainText("ring twice\nthen wait");
    });

    EXPECT_EQ(dataBytes(),
              record(fields({"", "Call Bob", "09/12/2026", "09:30", "3", "0", "2026-12-09 09:30",
                             "", "4", "ring twice\r\nthen wait"})));
    EXPECT_EQ(t.tasks.table().rowCount(), 2);
    EXPECT_EQ(cell(Col::Task, 1), "Call Bob");
    EXPECT_EQ(cell(Col::Order, 1), "0");
    EXPECT_EQ(grid()->currentRow(), 1);
    EXPECT_EQ(t.alarm.interval(), 60000);
    EXPECT_TRUE(t.messages.shown.isEmpty());
    // Closing emptied the task and the note for the next use.
    EXPECT_TRUE(taskField(*editor)->text().isEmpty());
    EXPECT_TRUE(noteField(*editor)->toPlainText().isEmpty());
}

TEST_F(EditorOkTest, shouldAppendANewRowAfterExistingTasksAndSelectTheTargetRowNumber)
{
    const QByteArray first = task("Alpha");
    const QByteArray second = task("Charlie");
    writeTasks({first, second});
    start();

    add([&](TFormAddEdit &) { type("Bravo"); });

    const QByteArray added = record(fields({"", "Bravo", "09/12/2026", "09:30", "",
                                            QByteArray::number(first.size() + second.size()),
                                            "2026-12-09 09:30", "", "18", ""}));
    EXPECT_EQ(dataBytes(), first + second + added);
    EXPECT_EQ(tasks(), QStringList({"Alpha", "Bravo", "Charlie"}));
    // The row number the task went into (the new last row), in the re-sorted table.
    EXPECT_EQ(grid()->currentRow(), 3);
    EXPECT_EQ(cell(Col::Order, rowOf("Bravo")), QString::number(first.size() + second.size()));
}

// A new task that ties with others on the sort column goes where a fresh load
// and sort of the file puts it, in either direction.
TEST_F(EditorOkTest, shouldPutANewTaskWhereAFreshLoadAndSortPutsItAmongTheTasksItTiesWith)
{
    for (const char *direction : {"0", "1"}) {
        SCOPED_TRACE(direction);
        TestFiles::writeAll(t.file(FileNames::Settings),
                            QByteArray("[Preferences]\r\nSorted=Pr\r\nSortedOrdr=") + direction +
                                "\r\n");
        QList<QByteArray> records;
        for (const char *name : {"Echo", "Alpha", "Delta", "Bravo", "Charlie"}) {
            records << task(name);
            records << TestFiles::record(
                fields({"", QByteArray(name) + " first", "15/01/2027", "09:30", "1", "0",
                        "2027-01-15 09:30", "", "18", ""}));
        }
        writeTasks(records);
        w.reset();
        start();

        add([&](TFormAddEdit &) { type("Foxtrot"); }); // no priority, as five others

        TaskList fresh(t.file(FileNames::Data), t.file(FileNames::Archive), t.damagedFiles);
        fresh.load(AllItems);
        fresh.setSortState(t.tasks.sortColumn(), t.tasks.sortTag());
        fresh.applySort();
        QStringList expected;
        for (int r = 1; r < fresh.table().rowCount(); ++r)
            expected << fresh.table().cell(Col::Task, r);
        EXPECT_EQ(tasks(), expected);
    }
}

TEST_F(EditorOkTest, shouldBlankTheOldRecordAndAppendTheEditedTaskWithItsNewOrder)
{
    const QByteArray a = task("Alpha", "02/01/2027", "08:00", "Home");
    const QByteArray b =
        task("Bravo", "03/01/2027", "17:45", "Work", "\xD7", "line 1\r\nline 2\r\n");
    writeTasks({a, b});
    writeSettings("[Category]\r\nCats=2\r\n1=Home\r\n2=Work\r\n");
    start();
    grid()->setCurrentRow(rowOf("Bravo"));

    withEditor(
        [&](TFormAddEdit &e) {
            EXPECT_EQ(e.windowTitle(), " Edit Task");
            EXPECT_EQ(taskField(e)->text(), "Bravo");
            EXPECT_EQ(dateField(e)->text(), "03/01/2027");
            EXPECT_EQ(hourField(e)->text(), "17");
            EXPECT_EQ(minuteField(e)->text(), "45");
            EXPECT_EQ(ui<QLabel>(&e, "Label4")->text(), QString(QChar(0xD7)));
            EXPECT_EQ(ui<QComboBox>(&e, "ComboBox2")->currentText(), "Work");
            EXPECT_EQ(ui<ColourComboBox>(&e, "ComboBox3")->currentIndex(), 18);
            EXPECT_EQ(noteField(e)->toPlainText(), "line 1\nline 2\n");
            taskField(e)->selectAll();
            type("Bravo two");
            ui<QComboBox>(&e, "ComboBox2")->setCurrentIndex(0);
            click(okButton(e));
        },
        [&] { click(toolButton("SpeedButton6")); });

    const QByteArray edited = record(fields(
        {"\xD7", "Bravo two", "03/01/2027", "17:45", "", QByteArray::number(a.size() + b.size()),
         "2027-01-03 17:45", "Home", "18", "line 1\r\nline 2\r\n"}));
    EXPECT_EQ(dataBytes(), a + blanked(b) + edited);
    EXPECT_EQ(tasks(), QStringList({"Alpha", "Bravo two"}));
    EXPECT_EQ(cell(Col::Order, rowOf("Bravo two")), QString::number(a.size() + b.size()));
    EXPECT_EQ(grid()->currentRow(), 2);
}

TEST_F(EditorOkTest,
       shouldAppendTheEditedTaskBeforeBlankingTheOldRecordSoARefusedAppendLosesNothing)
{
    // GIVEN a task data file that cannot grow
    const QByteArray a = task("Alpha");
    const QByteArray b = task("Bravo", "03/01/2027", "17:45", {}, "\xD7", "keep me");
    writeTasks({a, b});
    start();
    grid()->setCurrentRow(rowOf("Bravo"));

    // WHEN an edit of Bravo is saved
    withEditor(
        [&](TFormAddEdit &e) {
            taskField(e)->selectAll();
            type("Bravo two");
            {
                FileSizeLimit limit(a.size() + b.size());
                ASSERT_TRUE(limit.isSet());
                click(okButton(e));
            }
            // THEN the refusal is reported and the dialog stays open
            ASSERT_EQ(t.messages.shown.size(), 1);
            EXPECT_EQ(t.messages.shown[0].icon, MsgIcon::Error);
            EXPECT_EQ(t.messages.shown[0].text, "Unable to write to " + t.file(FileNames::Data));
            EXPECT_TRUE(e.isVisible());
        },
        [&] { click(toolButton("SpeedButton6")); });

    // AND the old version is still in the file, not blanked: the new one had to
    // arrive first.
    EXPECT_EQ(dataBytes(), a + b);
    EXPECT_EQ(tasks(), QStringList({"Alpha", "Bravo"}));
    EXPECT_EQ(cell(Col::Order, rowOf("Bravo")), QString::number(a.size()));
    EXPECT_EQ(cell(Col::Note, rowOf("Bravo")), "keep me");

    // AND with room again the same edit goes through as usual.
    withEditor(
        [&](TFormAddEdit &e) {
            taskField(e)->selectAll();
            type("Bravo two");
            click(okButton(e));
            EXPECT_FALSE(e.isVisible());
        },
        [&] { click(toolButton("SpeedButton6")); });
    const QByteArray edited = record(
        fields({"\xD7", "Bravo two", "03/01/2027", "17:45", "",
                QByteArray::number(a.size() + b.size()), "2027-01-03 17:45", "", "18", "keep me"}));
    EXPECT_EQ(dataBytes(), a + blanked(b) + edited);
}

TEST_F(EditorOkTest, shouldOpenATaskThatCameWithoutAnHourDuringTheRunAtMidnight)
{
    // A task another client gave a due date without an hour, received while the
    // window runs: the start-up that shows such a task at midnight is past.
    writeTasks({task("Alpha")});
    start();
    TaskRow dateOnly{};
    dateOnly[Col::Task] = QStringLiteral("Water plants");
    dateOnly[Col::Date] = QStringLiteral("01/06/2030");
    dateOnly[Col::SortKey] = QStringLiteral("2030-06-01 00:00");
    dateOnly[Col::TextColor] = QStringLiteral("18");
    t.tasks.addTask(dateOnly);
    grid()->setCurrentRow(rowOf("Water plants"));
    withEditor(
        [&](TFormAddEdit &e) {
            EXPECT_EQ(hourField(e)->text(), "00");
            EXPECT_EQ(minuteField(e)->text(), "00");
            taskField(e)->selectAll();
            type("Water the plants");
            click(okButton(e));
        },
        [&] { click(toolButton("SpeedButton6")); });
    EXPECT_TRUE(t.messages.shown.isEmpty());
    EXPECT_EQ(cell(Col::Hour, rowOf("Water the plants")), "00:00");
}

TEST_F(EditorOkTest, shouldWriteNothingWhenTheEditedTasksRecordIsNoLongerInTheFile)
{
    const QByteArray a = task("Alpha");
    const QByteArray b = task("Bravo");
    writeTasks({a, b});
    start();
    grid()->setCurrentRow(rowOf("Bravo"));

    // Another copy of the program rewrote the file without Bravo: the row's offset
    // is now the end of the file, where the edited version would be appended.
    writeTasks({a});
    withEditor(
        [&](TFormAddEdit &e) {
            taskField(e)->selectAll();
            type("Bravo two");
            click(okButton(e));
            ASSERT_EQ(t.messages.shown.size(), 1);
            EXPECT_EQ(t.messages.shown[0].text,
                      QStringLiteral("There is no task record at position %1 of \"%2\".")
                          .arg(a.size())
                          .arg(t.file(FileNames::Data)));
            EXPECT_TRUE(e.isVisible());
        },
        [&] { click(toolButton("SpeedButton6")); });
    EXPECT_EQ(dataBytes(), a);
    EXPECT_EQ(tasks(), QStringList({"Alpha", "Bravo"}));
}

TEST_F(EditorOkTest, shouldTakeTheTaskFromTheNotesFirstLineTrimmedAndNotCutIt)
{
    start();
    const QString longLine = QString(70, QLatin1Char('x'));
    add([&](TFormAddEdit &e) { noteField(e)->setPlainText("   " + longLine + "  \nsecond line"); });

    EXPECT_EQ(dataBytes(), record(fields({"", longLine.toLatin1(), "09/12/2026", "09:30", "", "0",
                                          "2026-12-09 09:30", "", "18",
                                          "   " + longLine.toLatin1() + "  \r\nsecond line"})));
}

TEST_F(EditorOkTest, shouldRefuseAnEmptyTaskAndKeepTheDialogOpenWithNothingWritten)
{
    start();
    withEditor(
        [&](TFormAddEdit &e) {
            type("   ");
            noteField(e)->setPlainText("  \nnot the first line");
            noteField(e)->setFocus();
            click(okButton(e));
            ASSERT_EQ(t.messages.shown.size(), 1);
            EXPECT_EQ(t.messages.shown[0].caption, AppTitle);
            EXPECT_EQ(t.messages.shown[0].text,
                      "No Task to add ... please correct and try again :)");
            EXPECT_TRUE(e.isVisible());
            EXPECT_EQ(QApplication::focusWidget(), taskField(e));
        },
        [&] { click(toolButton("SpeedButton4")); });
    EXPECT_TRUE(dataBytes().isEmpty());
    EXPECT_TRUE(t.tasks.table().isEmpty());
}

TEST_F(EditorOkTest, shouldNameAnInvalidDateAndWriteBackAValidOneInTheShortFormat)
{
    start();
    withEditor(
        [&](TFormAddEdit &e) {
            type("Dentist");
            dateField(e)->clear();
            dateField(e)->setFocus();
            dateField(e)->home(false);
            type("31/02/2026");
            click(okButton(e));
            ASSERT_EQ(t.messages.shown.size(), 1);
            EXPECT_EQ(t.messages.shown[0].text,
                      "31/02/2026 is not a valid Date ..!  Please correct.");
            EXPECT_TRUE(e.isVisible());
            EXPECT_EQ(QApplication::focusWidget(), dateField(e));
            EXPECT_TRUE(dataBytes().isEmpty());

            // Typed the short way into the emptied field: day, month, two-digit year.
            dateField(e)->clear();
            dateField(e)->home(false);
            type("1/5/26");
            click(okButton(e));
        },
        [&] { click(toolButton("SpeedButton4")); });
    EXPECT_EQ(dataBytes(), record(fields({"", "Dentist", "01/05/2026", "09:30", "", "0",
                                          "2026-05-01 09:30", "", "18", ""})));
    EXPECT_EQ(dateField(*editor)->text(), "01/05/2026");
}

TEST_F(EditorOkTest, shouldRefuseTextTheFileCannotHoldNamingTheCharacter)
{
    start();
    withEditor(
        [&](TFormAddEdit &e) {
            taskField(e)->setText(QString::fromUtf8("Price \xC2\xA6 list"));
            click(okButton(e));
            ASSERT_EQ(t.messages.shown.size(), 1);
            EXPECT_TRUE(
                t.messages.shown[0].text.contains(QString::fromUtf8("\"\xC2\xA6\" (U+00A6)")))
                << t.messages.shown[0].text.toStdString();
            EXPECT_EQ(QApplication::focusWidget(), taskField(e));

            // Euro and pound are in the code page; an arrow is not.
            taskField(e)->setText(QString::fromUtf8("Price \xE2\x82\xAC / \xC2\xA3 list"));
            noteField(e)->setPlainText(QString::fromUtf8("go \xE2\x86\x92 there"));
            click(okButton(e));
            ASSERT_EQ(t.messages.shown.size(), 2);
            EXPECT_TRUE(t.messages.shown[1].text.contains("note"));
            EXPECT_TRUE(
                t.messages.shown[1].text.contains(QString::fromUtf8("\"\xE2\x86\x92\" (U+2192)")));
            EXPECT_EQ(QApplication::focusWidget(), noteField(e));
            EXPECT_TRUE(e.isVisible());
            EXPECT_TRUE(dataBytes().isEmpty());

            noteField(e)->setPlainText("go there");
            click(okButton(e));
        },
        [&] { click(toolButton("SpeedButton4")); });
    EXPECT_EQ(dataBytes(), record(fields({"", "Price \x80 / \xA3 list", "09/12/2026", "09:30", "",
                                          "0", "2026-12-09 09:30", "", "18", "go there"})));
}

TEST_F(EditorOkTest, shouldPutTheRowBackWhenTheTaskCannotBeStored)
{
    const QByteArray a = task("Alpha");
    writeTasks({a});
    start();

    // The data file vanishes behind the program's back: neither an add nor an edit
    // can reach it, and the table must not claim otherwise.
    QFile::remove(t.file(FileNames::Data));
    withEditor(
        [&](TFormAddEdit &e) {
            type("Bravo");
            click(okButton(e));
            ASSERT_EQ(t.messages.shown.size(), 1);
            EXPECT_EQ(t.messages.shown[0].icon, MsgIcon::Error);
            EXPECT_TRUE(t.messages.shown[0].text.startsWith("Cannot open file \"" +
                                                            t.file(FileNames::Data) + "\"."));
            EXPECT_TRUE(e.isVisible());
            EXPECT_EQ(tasks(), QStringList({"Alpha"}));
        },
        [&] { click(toolButton("SpeedButton4")); });

    withEditor(
        [&](TFormAddEdit &e) {
            taskField(e)->setText("Alpha changed");
            ui<QComboBox>(&e, "ComboBox1")->setCurrentIndex(5);
            click(okButton(e));
            EXPECT_TRUE(e.isVisible());
        },
        [&] { click(toolButton("SpeedButton6")); });
    EXPECT_EQ(t.tasks.table().row(1), TaskRecord::split(a.mid(4)));
    EXPECT_FALSE(QFile::exists(t.file(FileNames::Data)));
}

TEST_F(EditorOkTest, shouldSelectTheSavedRowUnderAFilterOnlyWhenTheTaskIsInIt)
{
    writeTasks({task("Alpha", "15/01/2027", "09:30", "Work"),
                task("Bravo", "15/01/2027", "09:30", "Home"),
                task("Charlie", "15/01/2027", "09:30", "Work")});
    writeSettings("[Category]\r\nCats=2\r\n1=Home\r\n2=Work\r\n");
    start();
    choose(ui<QComboBox>(w.get(), "ComboBox1"), "Work");
    ASSERT_EQ(tasks(), QStringList({"Alpha", "Charlie"}));

    // Saved under Home: the filter hides it and no row is chosen (the sort's row 1 stays).
    grid()->setCurrentRow(2);
    add([&](TFormAddEdit &e) {
        QComboBox *categories = ui<QComboBox>(&e, "ComboBox2");
        EXPECT_EQ(categories->currentText(), "Work"); // preselected from the filter
        type("Delta");
        categories->setCurrentIndex(categories->findText("Home"));
    });
    EXPECT_EQ(tasks(), QStringList({"Alpha", "Charlie"}));
    EXPECT_EQ(grid()->currentRow(), 1);

    // Saved under the filter's category: the target row (the new last one) is chosen.
    add([&](TFormAddEdit &) { type("Echo"); });
    EXPECT_EQ(tasks(), QStringList({"Alpha", "Charlie", "Echo"}));
    EXPECT_EQ(grid()->currentRow(), 3);
}

TEST_F(EditorOkTest, shouldCancelWithTheButtonEscapeOrAltCWritingNothing)
{
    writeTasks({task("Alpha")});
    start();
    const QByteArray before = dataBytes();
    const std::function<void(TFormAddEdit &)> cancels[] = {
        [&](TFormAddEdit &e) { click(cancelButton(e)); },
        [&](TFormAddEdit &) { press(Qt::Key_Escape); },
        // The accelerator clicks the button the way a click looks: a moment later.
        [&](TFormAddEdit &e) {
            press(Qt::Key_C, Qt::AltModifier);
            EXPECT_TRUE(QTest::qWaitFor([&] { return !e.isVisible(); }));
        },
    };
    for (const auto &cancel : cancels) {
        bool closed = false;
        withEditor(
            [&](TFormAddEdit &e) {
                type("Never stored");
                noteField(e)->setPlainText("nor this");
                cancel(e);
                closed = !e.isVisible();
            },
            [&] { click(toolButton("SpeedButton4")); });
        EXPECT_TRUE(closed);
        EXPECT_EQ(dataBytes(), before);
        EXPECT_TRUE(taskField(*editor)->text().isEmpty());
        EXPECT_TRUE(noteField(*editor)->toPlainText().isEmpty());
    }
    EXPECT_EQ(tasks(), QStringList({"Alpha"}));
}

TEST_F(EditorOkTest, shouldTakeEnterAsOkExceptInTheNoteWhereItStartsALine)
{
    start();
    withEditor(
        [&](TFormAddEdit &e) {
            type("Shopping");
            noteField(e)->setFocus();
            type("bread");
            press(Qt::Key_Return);
            type("eggs");
            EXPECT_TRUE(e.isVisible());
            EXPECT_EQ(noteField(e)->toPlainText(), "bread\neggs");
            ui<QComboBox>(&e, "ComboBox1")->setFocus();
            press(Qt::Key_Enter);
            EXPECT_FALSE(e.isVisible());
        },
        [&] { click(toolButton("SpeedButton4")); });
    EXPECT_EQ(dataBytes(), record(fields({"", "Shopping", "09/12/2026", "09:30", "", "0",
                                          "2026-12-09 09:30", "", "18", "bread\r\neggs"})));

    withEditor(
        [&](TFormAddEdit &e) {
            type("By Alt+O");
            press(Qt::Key_O, Qt::AltModifier);
            EXPECT_TRUE(QTest::qWaitFor([&] { return !e.isVisible(); }));
        },
        [&] { click(toolButton("SpeedButton4")); });
    EXPECT_EQ(tasks(), QStringList({"By Alt+O", "Shopping"}));
}

} // namespace
