// Adding and deleting categories through the input dialog, on the real main window.
#include "editor/TFormAddEdit.h"
#include "mainwindow/SortFilterFixture.h"

#include <QClipboard>
#include <QLineEdit>
#include <QToolButton>

namespace {

class CategoryDialogTest : public SortFilterWindowTest
{
protected:
    // The lines of the settings file's [Category] section, in file order.
    QStringList categorySection() const
    {
        QStringList out;
        bool inside = false;
        for (QByteArray line : settingsBytes().split('\n')) {
            line = line.trimmed();
            if (line.startsWith('['))
                inside = line == "[Category]";
            else if (inside && !line.isEmpty())
                out << QString::fromLatin1(line);
        }
        return out;
    }

    void addCategory(const QString &typed)
    {
        withDialog(
            [&](TFormCategory &d) {
                QTest::keyClicks(nameField(d), typed);
                QTest::keyClick(nameField(d), Qt::Key_Return);
            },
            [&] { command("Menu_AddCategory")->trigger(); });
    }

    // Deletes the item `downs` steps below the preselected one of the delete list.
    void deleteCategory(int downs)
    {
        withDialog(
            [&](TFormCategory &d) {
                for (int i = 0; i < downs; ++i)
                    QTest::keyClick(deleteList(d), Qt::Key_Down);
                okButton(d)->click();
            },
            [&] { command("Menu_DeleteCategory")->trigger(); });
    }

    // Runs an action that must not show the dialog; one shown anyway is closed.
    bool showsNoDialog(const std::function<void()> &action)
    {
        bool shown = false;
        QTimer::singleShot(0, w.get(), [&] {
            if (auto *d = QApplication::activeModalWidget()) {
                shown = true;
                d->close();
            }
        });
        action();
        QTest::qWait(0);
        return !shown;
    }

    // Characters a keyboard layout may not have arrive by the clipboard.
    static void paste(QLineEdit *edit, const QString &text)
    {
        QApplication::clipboard()->setText(text);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    }

    QStringList lists() const { return selectorItems() + QStringList{"|"} + categoryMenu(); }
};

const QStringList FixedMenu = {"&Add Category", "&Delete Category", "-", "All &Items"};

TEST_F(CategoryDialogTest, shouldStoreANewNameAndShowItInTheSelectorAndTheMenu)
{
    writeTasks({task("Water plants", "Home"), task("Report", "Work")});
    start();
    withDialog(
        [](TFormCategory &d) {
            EXPECT_EQ(d.windowTitle(), " New Category :");
            EXPECT_EQ(nameField(d)->x(), 4);
            EXPECT_EQ(nameField(d)->y(), 4);
            EXPECT_GE(nameField(d)->width(), 165);
            EXPECT_EQ(nameField(d)->x() + nameField(d)->width() + 4, d.width());
            EXPECT_TRUE(nameField(d)->text().isEmpty());
            EXPECT_TRUE(nameField(d)->hasFocus());
            EXPECT_EQ(deleteList(d)->x(), 2 * d.width());
            EXPECT_EQ(searchField(d)->x(), 2 * d.width());
            EXPECT_EQ(okButton(d)->text(), "Ok");
            EXPECT_EQ(cancelButton(d)->text(), "Cancel");
            // The client area ends 4 pixels beyond the Cancel button.
            const QRect cancel = cancelButton(d)->geometry();
            EXPECT_EQ(d.width(), cancel.x() + cancel.width() + 4);
            EXPECT_EQ(d.height(), cancel.y() + cancel.height() + 4);
            QTest::keyClicks(nameField(d), "Home");
            QTest::keyClick(nameField(d), Qt::Key_Return);
            EXPECT_FALSE(d.isVisible());
        },
        [&] { command("Menu_AddCategory")->trigger(); });

    EXPECT_EQ(categorySection(), QStringList({"Cats=1", "1=Home"}));
    EXPECT_EQ(selectorItems(), QStringList({"All Items", "Home"}));
    EXPECT_EQ(categoryMenu(), FixedMenu + QStringList{"Home"});

    // The fifth menu item filters by its name.
    categoryItems().at(4)->trigger();
    EXPECT_EQ(selector()->currentText(), "Home");
    EXPECT_EQ(tasks(), QStringList({"Water plants"}));
    EXPECT_EQ(checkedMenuItem(), 4);
}

TEST_F(CategoryDialogTest, shouldTakeFifteenCharactersAndNoSixteenth)
{
    writeTasks({});
    start();
    withDialog(
        [](TFormCategory &d) {
            QTest::keyClicks(nameField(d), "Fifteen letters!");
            EXPECT_EQ(nameField(d)->text(), "Fifteen letters");
            okButton(d)->click();
        },
        [&] { command("Menu_AddCategory")->trigger(); });
    EXPECT_EQ(categorySection(), QStringList({"Cats=1", "1=Fifteen letters"}));
}

TEST_F(CategoryDialogTest, shouldRefuseABlankNameOrACharacterTheFilesCannotHoldAndStayOpen)
{
    writeTasks({});
    writeSettings("[Category]\r\nCats=1\r\n1=Work\r\n");
    start();
    const QByteArray before = settingsBytes();
    const QStringList listsBefore = lists();
    withDialog(
        [&](TFormCategory &d) {
            QTest::keyClicks(nameField(d), "   ");
            okButton(d)->click();
            EXPECT_TRUE(d.isVisible());
            EXPECT_TRUE(t.messages.shown.isEmpty());

            nameField(d)->clear();
            paste(nameField(d), QString::fromUtf8("Rock¦Pop"));
            QTest::keyClick(nameField(d), Qt::Key_Return);
            EXPECT_TRUE(d.isVisible());
            EXPECT_EQ(nameField(d)->text(), QString::fromUtf8("Rock¦Pop"));

            nameField(d)->clear();
            paste(nameField(d), QString::fromUtf8("Ωmega"));
            okButton(d)->click();
            EXPECT_TRUE(d.isVisible());
            cancelButton(d)->click();
        },
        [&] { command("Menu_AddCategory")->trigger(); });

    ASSERT_EQ(t.messages.shown.size(), 2);
    EXPECT_EQ(t.messages.shown[0].text,
              QString::fromUtf8(
                  "A category name cannot contain \"¦\": the task file uses it to separate the "
                  "fields of a task."));
    EXPECT_EQ(t.messages.shown[0].caption, "Nudgery");
    EXPECT_EQ(t.messages.shown[1].text,
              QString::fromUtf8(
                  "A category name cannot contain \"Ω\" (U+03A9): the task file cannot store this "
                  "character."));
    EXPECT_EQ(settingsBytes(), before);
    EXPECT_EQ(lists(), listsBefore);
}

TEST_F(CategoryDialogTest, shouldAskFirstAndMoveLaterNamesDownWhenDeletingTheSecondOfThree)
{
    writeTasks({task("Report", "Beta")});
    writeSettings("[Category]\r\nCats=3\r\n1=Alpha\r\n2=Beta\r\n3=Gamma\r\n");
    start();
    categoryItems().at(6)->trigger(); // Gamma chosen as the filter
    withDialog(
        [](TFormCategory &d) {
            EXPECT_EQ(d.windowTitle(), " Delete Category ...");
            EXPECT_EQ(deleteList(d)->x(), 4);
            EXPECT_TRUE(deleteList(d)->hasFocus());
            EXPECT_EQ(nameField(d)->x(), 2 * d.width());
            QStringList items;
            const QComboBox *list = deleteList(d);
            for (int i = 0; i < list->count(); ++i)
                items << list->itemText(i);
            EXPECT_EQ(items, QStringList({"All Items", "Alpha", "Beta", "Gamma"}));
            EXPECT_EQ(deleteList(d)->currentText(), "Gamma"); // the selector's choice
            QTest::keyClick(deleteList(d), Qt::Key_Up);
            QTest::keyClick(deleteList(d), Qt::Key_Return);
        },
        [&] { command("Menu_DeleteCategory")->trigger(); });

    ASSERT_EQ(t.messages.shown.size(), 1);
    const MessageRequest &question = t.messages.shown[0];
    EXPECT_EQ(question.text,
              "Sure to delete a category type ?\rAll items using deleted category will revert to "
              "'no category'.");
    EXPECT_EQ(question.icon, MsgIcon::Information);
    EXPECT_EQ(question.buttons, MsgButtons::YesCancel);

    EXPECT_EQ(categorySection(), QStringList({"Cats=2", "1=Alpha", "2=Gamma"}));
    EXPECT_EQ(selectorItems(), QStringList({"All Items", "Alpha", "Gamma"}));
    EXPECT_EQ(categoryMenu(), FixedMenu + QStringList({"Alpha", "Gamma"}));
    EXPECT_EQ(selector()->currentIndex(), 0);
    EXPECT_EQ(checkedMenuItem(), 3);
    EXPECT_EQ(t.tasks.table().cell(Col::Category, 1), "    ");
}

TEST_F(CategoryDialogTest, shouldKeepDuplicatesAndDeleteTheFirstOfThem)
{
    writeTasks({});
    writeSettings("[Category]\r\nCats=2\r\n1=Home\r\n2=Work\r\n");
    start();
    addCategory("Home");
    EXPECT_EQ(categorySection(), QStringList({"Cats=3", "1=Home", "2=Work", "3=Home"}));
    EXPECT_EQ(selectorItems(), QStringList({"All Items", "Home", "Work", "Home"}));
    EXPECT_EQ(categoryMenu(), FixedMenu + QStringList({"Home", "Work", "Home"}));

    deleteCategory(1); // All Items preselected; the first Home below it
    EXPECT_EQ(categorySection(), QStringList({"Cats=2", "1=Work", "2=Home"}));
    EXPECT_EQ(selectorItems(), QStringList({"All Items", "Work", "Home"}));
    EXPECT_EQ(categoryMenu(), FixedMenu + QStringList({"Work", "Home"}));
}

TEST_F(CategoryDialogTest, shouldBlankTheDeletedNameInEveryTaskWithoutMovingARecord)
{
    using TestFiles::fields;
    using TestFiles::record;
    const QByteArray blankRecord = record(QByteArray(23, ' '));
    writeTasks({task("Plan trip", "Work"), task("Read", "Home"), blankRecord,
                task("Pay rent", "work"), task("Fix bike", "Work", "2027-02-01 10:00", "\xD7")});
    writeSettings("[Category]\r\nCats=2\r\n1=Work\r\n2=Home\r\n");
    start();
    categoryItems().at(4)->trigger(); // showing Work only

    deleteCategory(0);

    const QByteArray expected = task("Plan trip", "    ") + task("Read", "Home") + blankRecord +
                                task("Pay rent", "work") +
                                task("Fix bike", "    ", "2027-02-01 10:00", "\xD7");
    EXPECT_EQ(dataBytes(), expected);
    EXPECT_EQ(selector()->currentText(), "All Items");
    QStringList shown = tasks();
    shown.sort();
    EXPECT_EQ(shown, QStringList({"Fix bike", "Pay rent", "Plan trip", "Read"}));
    EXPECT_EQ(w->windowTitle(), "Nudgery   [ tasks: 4 ]");
    // Every task keeps its record's offset as its order.
    const int plan = 0, read = plan + task("Plan trip", "Work").size();
    const int pay = read + task("Read", "Home").size() + blankRecord.size();
    const int fix = pay + task("Pay rent", "work").size();
    QStringList orders;
    for (int r = 1; r < t.tasks.table().rowCount(); ++r)
        orders << t.tasks.table().cell(Col::Order, r);
    orders.sort();
    QStringList expectedOrders = {QString::number(plan), QString::number(read),
                                  QString::number(pay), QString::number(fix)};
    expectedOrders.sort();
    EXPECT_EQ(orders, expectedOrders);
}

TEST_F(CategoryDialogTest, shouldChangeNothingOnAllItemsCancelEscapeOrADeclinedQuestion)
{
    writeTasks({task("Report", "Work")});
    writeSettings("[Category]\r\nCats=2\r\n1=Work\r\n2=Home\r\n");
    start();
    const QByteArray settingsBefore = settingsBytes();
    const QByteArray dataBefore = dataBytes();
    const QStringList listsBefore = lists();

    deleteCategory(0); // "All Items" names no category
    withDialog(
        [](TFormCategory &d) {
            QTest::keyClick(deleteList(d), Qt::Key_Down);
            cancelButton(d)->click();
        },
        [&] { command("Menu_DeleteCategory")->trigger(); });
    withDialog(
        [](TFormCategory &d) {
            QTest::keyClick(deleteList(d), Qt::Key_Down);
            QTest::keyClick(deleteList(d), Qt::Key_Escape);
        },
        [&] { command("Menu_DeleteCategory")->trigger(); });
    withDialog(
        [](TFormCategory &d) {
            QTest::keyClicks(nameField(d), "Garden");
            QTest::keyClick(nameField(d), Qt::Key_Escape);
        },
        [&] { command("Menu_AddCategory")->trigger(); });
    t.messages.answers = {MsgResult::Cancel};
    EXPECT_TRUE(showsNoDialog([&] { command("Menu_DeleteCategory")->trigger(); }));

    EXPECT_EQ(settingsBytes(), settingsBefore);
    EXPECT_EQ(dataBytes(), dataBefore);
    EXPECT_EQ(lists(), listsBefore);
    EXPECT_EQ(tasks(), QStringList({"Report"}));
}

TEST_F(CategoryDialogTest, shouldDeleteFromTheListsAloneWhenTheTaskFileIsEmpty)
{
    writeTasks({});
    writeSettings("[Category]\r\nCats=1\r\n1=Home\r\n");
    start();
    deleteCategory(1);
    EXPECT_EQ(categorySection(), QStringList({"Cats=0"}));
    EXPECT_EQ(selectorItems(), QStringList({"All Items"}));
    EXPECT_EQ(categoryMenu(), FixedMenu);
    EXPECT_TRUE(dataBytes().isEmpty());
    EXPECT_TRUE(QFile::exists(t.file(FileNames::Data)));
}

TEST_F(CategoryDialogTest, shouldKeepTheEditorsListInStepAndPreselectTheNameAddedThere)
{
    writeTasks({});
    writeSettings("[Category]\r\nCats=2\r\n1=Work\r\n2=work\r\n");
    start();
    auto *editor = w->findChild<TFormAddEdit *>();
    QComboBox *list = ui<QComboBox>(editor, "ComboBox2");
    const auto items = [list] {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->itemText(i);
        return out;
    };
    editor->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(editor));
    EXPECT_EQ(items(), QStringList({"Work"}));

    withDialog(
        [](TFormCategory &d) {
            EXPECT_EQ(d.windowTitle(), " New Category :");
            QTest::keyClicks(nameField(d), "Garden");
            QTest::keyClick(nameField(d), Qt::Key_Return);
        },
        [&] { QTest::mouseClick(ui<QToolButton>(editor, "SpeedButton5"), Qt::LeftButton); });
    EXPECT_EQ(items(), QStringList({"Work", "Garden"}));
    EXPECT_EQ(list->currentText(), "Garden");
    EXPECT_EQ(categorySection(), QStringList({"Cats=3", "1=Work", "2=work", "3=Garden"}));

    // Cancel keeps the category already chosen, whatever was typed.
    withDialog(
        [](TFormCategory &d) {
            QTest::keyClicks(nameField(d), "Work");
            ui<QToolButton>(&d, "SpeedButton2")->click();
        },
        [&] { QTest::mouseClick(ui<QToolButton>(editor, "SpeedButton5"), Qt::LeftButton); });
    EXPECT_EQ(list->currentText(), "Garden");

    // A name from the main menu reaches the editor too, without being chosen there.
    addCategory("Shop");
    EXPECT_EQ(items(), QStringList({"Work", "Garden", "Shop"}));
    EXPECT_EQ(list->currentText(), "Garden");

    deleteCategory(3); // All Items, Work, Garden, Shop: Shop
    EXPECT_EQ(items(), QStringList({"Work", "Garden"}));
    deleteCategory(1); // Work
    EXPECT_EQ(items(), QStringList({"Garden"}));
    EXPECT_EQ(categorySection(), QStringList({"Cats=2", "1=work", "2=Garden"}));
}

// Undo of a category delete, seen in the window at once: the name is back in
// its old place in the selector, the menu, the editor's list and the file.
TEST_F(CategoryDialogTest, shouldShowAnUndoneCategoryDeleteInItsOldPlaceEverywhereAtOnce)
{
    writeTasks({task("Plan trip", "Work"), task("Read", "Home")});
    writeSettings("[Category]\r\nCats=3\r\n1=Work\r\n2=Home\r\n3=Garden\r\n");
    start();
    const QByteArray before = dataBytes();
    deleteCategory(1); // All Items preselected; Work below it
    ASSERT_EQ(selectorItems(), QStringList({"All Items", "Home", "Garden"}));
    categoryItems().at(4)->trigger(); // showing Home

    command("Menu_Undo")->trigger();
    EXPECT_EQ(dataBytes(), before);
    EXPECT_EQ(selectorItems(), QStringList({"All Items", "Work", "Home", "Garden"}));
    EXPECT_EQ(categoryMenu(), FixedMenu + QStringList({"Work", "Home", "Garden"}));
    EXPECT_EQ(categorySection(), QStringList({"Cats=3", "1=Work", "2=Home", "3=Garden"}));
    QComboBox *editorList = ui<QComboBox>(w->findChild<TFormAddEdit *>(), "ComboBox2");
    QStringList editorItems;
    for (int i = 0; i < editorList->count(); ++i)
        editorItems << editorList->itemText(i);
    EXPECT_EQ(editorItems, QStringList({"Work", "Home", "Garden"}));
    // The filter shown stays, and the name restored filters again.
    EXPECT_EQ(selector()->currentText(), "Home");
    EXPECT_EQ(tasks(), QStringList({"Read"}));
    categoryItems().at(4)->trigger();
    EXPECT_EQ(tasks(), QStringList({"Plan trip"}));
}

// "Cats" is input from a file: a count far above the names it holds lists the
// names there are, at once, and the next name added follows them.
TEST_F(CategoryDialogTest, shouldListTheNamesTheFileHoldsWhateverCountItGives)
{
    writeTasks({});
    writeSettings("[Category]\r\nCats=2147483647\r\n1=Work\r\n2=Home\r\n");
    start();
    EXPECT_EQ(selectorItems(), QStringList({"All Items", "Work", "Home"}));
    EXPECT_EQ(categoryMenu(), FixedMenu + QStringList({"Work", "Home"}));
    addCategory("Shop");
    EXPECT_EQ(categorySection(), QStringList({"Cats=3", "1=Work", "2=Home", "3=Shop"}));
    deleteCategory(1);
    EXPECT_EQ(categorySection(), QStringList({"Cats=2", "1=Home", "2=Shop"}));
}

} // namespace
