// The preferences dialog on its own: its controls, their loading and their
// reactions to the user. Nothing here is confirmed with Ok.
#include "PreferencesFixture.h"

#include <QFrame>
#include <QLabel>

namespace {

class TFormOptionsTest : public PreferencesTest
{
protected:
    // The dialog shown without the command, as far as its own reactions go.
    void startShown()
    {
        start();
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    }
    MessageRequest lastBox() const
    {
        return t.messages.shown.isEmpty() ? MessageRequest{} : t.messages.shown.last();
    }
};

const QString DateFormatQuestion =
    "Are you sure?\rThis could corrupt all your data, if date format\ris different than the one "
    "you are already using !!";
const QString SharedFolderQuestion =
    "You really shouldn't need to change from default file's\rlocation, if your folder has read & "
    "write permissions.\r\rIf you want to network this, please use a shared folder too..\r\rNow.. "
    "be careful - you can always revert to default later.\rWant to continue..?";

TEST_F(TFormOptionsTest, shouldOfferEveryControlWithItsCaptionTooltipAndDefaultState)
{
    start();
    struct Expected
    {
        const char *name;
        const char *caption;
        bool checked;
        bool enabled;
    };
    const Expected boxes[] = {
        {"CheckBox1", "Stay on Top", false, true},
        {"CheckBox3", "Save Window Position", false, true},
        {"CheckBox12", "Hide top menus", false, true},
        {"CheckBox7", "Save Window Size", false, true},
        {"CheckBox13", "Hide toolbar", false, true},
        {"CheckBox2", "Start Minimized", false, true},
        {"CheckBox19", "Flat toolbar buttons", true, true},
        {"CheckBox22", "Choose your language :", false, true},
        {"CheckBox18", "Semi-transparent Window", false, true},
        {"CheckBox21", "Save your custom col widths", true, true},
        {"CheckBox6", "Auto Run [on Windows start]", false, true},
        {"CheckBox15", "Don't start on weekends if auto-run", false, false},
        {"CheckBox9", "Alert me of today's events [on start] ", true, true},
        {"CheckBox8", "Alert me at task finish time", false, true},
        {"CheckBox11", "Email me for tomorrow's events", false, false},
        {"CheckBox16", "Default time for new items:", true, true},
        {"CheckBox5", "Show Notes as Hints for rows", true, true},
        {"CheckBox17", "Color code rows by priority", false, false},
        {"CheckBox10", "Auto-archive finished items", false, true},
        {"CheckBox14", "but don't ask everytime", true, false},
        {"CheckBox20", "Save INI and Data to different/shared folder :", false, true},
        {"CheckBox4", "Date Format to use between PC's :", false, true},
    };
    for (const Expected &e : boxes) {
        auto *box = dialog->findChild<QCheckBox *>(e.name);
        ASSERT_NE(box, nullptr) << e.name;
        EXPECT_EQ(box->text(), e.caption) << e.name;
        EXPECT_EQ(box->isChecked(), e.checked) << e.name;
        EXPECT_EQ(box->isEnabled(), e.enabled) << e.name;
    }
    EXPECT_EQ(dialog->windowTitle(), "  Preferences ...");
    EXPECT_EQ(dialog->findChild<QCheckBox *>("CheckBox4")->toolTip(),
              "( if you use this soft between computers )");

    auto *reset = dialog->findChild<QPushButton *>("Button_resetCols");
    EXPECT_EQ(reset->text(), "< reset to default");
    // The English caption table, applied at creation, sets the hint with its blanks.
    EXPECT_EQ(reset->toolTip(), " reset column widths to default ");
    auto *browse = dialog->findChild<QPushButton *>("Button_option_dir");
    EXPECT_EQ(browse->text(), "...");
    EXPECT_EQ(browse->toolTip(), " choose default save path ... ");
    EXPECT_EQ(dialog->findChild<QPushButton *>("Button_pp_ok")->text(), "Ok");
    EXPECT_EQ(dialog->findChild<QPushButton *>("Button_pp_cancel")->text(), "Cancel");

    auto *times = dialog->findChild<QComboBox *>("ComboBox1");
    ASSERT_EQ(times->count(), 3);
    EXPECT_EQ(QStringList({times->itemText(0), times->itemText(1), times->itemText(2)}),
              QStringList({"00h:00", "09h:30", "current"}));
    EXPECT_EQ(times->currentText(), "09h:30");
    auto *languages = dialog->findChild<QComboBox *>("ComboBox2");
    ASSERT_EQ(languages->count(), 2);
    EXPECT_EQ(languages->itemText(0), "English");
    EXPECT_EQ(languages->itemText(1), "Portuguese");
    EXPECT_EQ(languages->currentText(), "English");

    auto *path = dialog->findChild<QLineEdit *>("Edit_option_savepath");
    EXPECT_EQ(path->text(), folder());
    EXPECT_FALSE(path->isEnabled());
    EXPECT_EQ(dialog->findChild<QLabel *>("Label1")->text(), "dd/MM/yyyy");

    const char *groups[][2] = {{"Label2", "Interface *"},
                               {"Label3", "Running & Tasks *"},
                               {"Label4", "Archive *"},
                               {"Label5", "Network use *"}};
    for (const auto &g : groups) {
        auto *label = dialog->findChild<QLabel *>(g[0]);
        ASSERT_NE(label, nullptr) << g[0];
        // "&&" in a caption shows one ampersand.
        QString shown = label->text();
        shown.replace("&&", "&");
        EXPECT_EQ(shown.trimmed(), g[1]) << g[0];
    }
    // Loading wrote nothing: the dialog only reads the settings file.
    EXPECT_EQ(pref("FormStyle"), "<missing>");
}

TEST_F(TFormOptionsTest, shouldLoadEveryStoredValueOnceWhenCreated)
{
    writeSettings("[Preferences]\r\nFormStyle=fsStayOnTop\r\nWindowState=wsMinimized\r\n"
                  "MyDateFormat=yyyy-MM-dd\r\nShowHints=false\r\nAutoRun=1\r\nWindowPosition=1\r\n"
                  "WindowSize=1\r\nAlert=1\r\nAlert_s=0\r\nAutoArchiv=1\r\nEmailMe=1\r\n"
                  "HideMainMenu=1\r\nHideToolbar=1\r\nAutoArchivAsk=0\r\nWeekendStop=1\r\n"
                  "DefNewTime=CURRENT\r\nColorCoded=1\r\nTransparency=1\r\nFlatToolbar=0\r\n"
                  "INIsavePath=/srv/shared/"
                  "\r\nCustomCols=0\r\nDesktopNotify=0\r\n[Options]\r\nLanguage=portuguese\r\n");
    start();

    for (const char *on : {"CheckBox1", "CheckBox2", "CheckBox4", "CheckBox6", "CheckBox3",
                           "CheckBox7", "CheckBox8", "CheckBox10", "CheckBox11", "CheckBox12",
                           "CheckBox13", "CheckBox15", "CheckBox18", "CheckBox20", "CheckBox22"})
        EXPECT_TRUE(dialog->findChild<QCheckBox *>(on)->isChecked()) << on;
    // ColorCoded is never loaded; "CURRENT" selects the item but only "09h:30" ticks the box.
    for (const char *off : {"CheckBox5", "CheckBox9", "CheckBox14", "CheckBox16", "CheckBox17",
                            "CheckBox19", "CheckBox21", "CheckBox23"})
        EXPECT_FALSE(dialog->findChild<QCheckBox *>(off)->isChecked()) << off;
    EXPECT_TRUE(checkBox(14)->isEnabled());
    EXPECT_TRUE(checkBox(15)->isEnabled());
    EXPECT_EQ(timeList()->currentText(), "current");
    EXPECT_EQ(languageList()->currentText(), "Portuguese");
    EXPECT_EQ(savePathField()->text(), "/srv/shared/");
    EXPECT_EQ(ui<QLabel>(dialog, "Label1")->text(), "yyyy-MM-dd");

    // A later change of the file is not seen by the next opening.
    writeSettings("[Preferences]\r\nFormStyle=fsNormal\r\nAlert=0\r\n");
    cancel([&] {
        EXPECT_TRUE(checkBox(1)->isChecked());
        EXPECT_TRUE(checkBox(8)->isChecked());
    });
}

TEST_F(TFormOptionsTest,
       shouldShowNoItemForAStoredValueOutsideItsListAndTickTheTimeBoxOnlyForHalfPastNine)
{
    writeSettings("[Preferences]\r\nDefNewTime=07h:15\r\n[Options]\r\nLanguage=Klingon\r\n");
    start();
    EXPECT_EQ(timeList()->currentIndex(), -1);
    EXPECT_FALSE(checkBox(16)->isChecked());
    EXPECT_EQ(languageList()->currentIndex(), -1);
    EXPECT_TRUE(checkBox(22)->isChecked());

    writeSettings("[Preferences]\r\nDefNewTime=00h:00\r\n");
    start();
    EXPECT_EQ(timeList()->currentText(), "00h:00");
    EXPECT_FALSE(checkBox(16)->isChecked());
}

TEST_F(TFormOptionsTest, shouldEnableDependentBoxesOnlyWhileTheirMasterIsTicked)
{
    startShown();
    click(checkBox(6));
    EXPECT_TRUE(checkBox(15)->isEnabled());
    click(checkBox(15));
    EXPECT_TRUE(checkBox(15)->isChecked());
    click(checkBox(6));
    EXPECT_FALSE(checkBox(15)->isChecked());
    EXPECT_FALSE(checkBox(15)->isEnabled());

    // The archive box only enables its companion; the companion keeps its tick.
    EXPECT_TRUE(checkBox(14)->isChecked());
    click(checkBox(10));
    EXPECT_TRUE(checkBox(14)->isEnabled());
    click(checkBox(14));
    click(checkBox(10));
    EXPECT_FALSE(checkBox(14)->isEnabled());
    EXPECT_FALSE(checkBox(14)->isChecked());
    click(checkBox(10));
    EXPECT_FALSE(checkBox(14)->isChecked());
}

TEST_F(TFormOptionsTest, shouldTieTheDefaultTimeBoxToItsList)
{
    startShown();
    click(checkBox(16));
    EXPECT_EQ(timeList()->currentText(), "current");
    pick(timeList(), "00h:00");
    EXPECT_TRUE(checkBox(16)->isChecked());
    EXPECT_EQ(timeList()->currentText(), "00h:00");
    click(checkBox(16));
    EXPECT_EQ(timeList()->currentText(), "current");
    click(checkBox(16));
    EXPECT_EQ(timeList()->currentText(), "09h:30");
}

TEST_F(TFormOptionsTest, shouldTieTheLanguageBoxToItsList)
{
    startShown();
    pick(languageList(), "Portuguese");
    EXPECT_TRUE(checkBox(22)->isChecked());
    click(checkBox(22));
    EXPECT_FALSE(checkBox(22)->isChecked());
    EXPECT_EQ(languageList()->currentText(), "English");
    // Ticking again leaves the list where it is.
    click(checkBox(22));
    EXPECT_EQ(languageList()->currentText(), "English");
}

TEST_F(TFormOptionsTest, shouldAskBeforeTheDateFormatChangesAndFlipBackSilentlyOnCancel)
{
    startShown();
    // GIVEN no stored format WHEN the box is ticked and the question cancelled
    t.messages.answers = {MsgResult::Cancel};
    click(checkBox(4));
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(lastBox().text, DateFormatQuestion);
    EXPECT_EQ(lastBox().caption, "Information");
    EXPECT_EQ(lastBox().icon, MsgIcon::Information);
    EXPECT_EQ(lastBox().buttons, MsgButtons::YesCancel);
    // THEN the box is unticked again, and the flip-back asked nothing
    EXPECT_FALSE(checkBox(4)->isChecked());

    // A new tick asks again; Yes keeps it.
    click(checkBox(4));
    EXPECT_EQ(t.messages.shown.size(), 2);
    EXPECT_TRUE(checkBox(4)->isChecked());
    // Unticking while nothing is stored is no risk: no question.
    click(checkBox(4));
    EXPECT_EQ(t.messages.shown.size(), 2);
    EXPECT_FALSE(checkBox(4)->isChecked());
}

TEST_F(TFormOptionsTest, shouldAskBeforeAStoredDateFormatIsDropped)
{
    writeSettings("[Preferences]\r\nMyDateFormat=dd/MM/yyyy\r\n");
    startShown();
    ASSERT_TRUE(checkBox(4)->isChecked());
    t.messages.answers = {MsgResult::Cancel};
    click(checkBox(4));
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(lastBox().text, DateFormatQuestion);
    EXPECT_TRUE(checkBox(4)->isChecked());
    click(checkBox(4));
    EXPECT_EQ(t.messages.shown.size(), 2);
    EXPECT_FALSE(checkBox(4)->isChecked());
}

TEST_F(TFormOptionsTest, shouldAskBeforeLeavingTheProgramFolderAndResetTheFieldOnEveryUntick)
{
    t.folders.answer = QStringLiteral("/srv/elsewhere");
    startShown();
    // Cancel: unticked, the field back at the program folder.
    t.messages.answers = {MsgResult::Cancel};
    click(checkBox(20));
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(lastBox().text, SharedFolderQuestion);
    EXPECT_EQ(lastBox().caption, "Information");
    EXPECT_EQ(lastBox().icon, MsgIcon::Information);
    EXPECT_EQ(lastBox().buttons, MsgButtons::YesCancel);
    EXPECT_FALSE(checkBox(20)->isChecked());
    EXPECT_EQ(savePathField()->text(), folder());

    // Yes keeps the tick and leaves the field as it was.
    QTest::mouseClick(dialogButton("Button_option_dir"), Qt::LeftButton);
    ASSERT_EQ(savePathField()->text(), "/srv/elsewhere");
    click(checkBox(20));
    EXPECT_EQ(t.messages.shown.size(), 2);
    EXPECT_TRUE(checkBox(20)->isChecked());
    EXPECT_EQ(savePathField()->text(), "/srv/elsewhere");

    // Unticking asks nothing and resets the field.
    click(checkBox(20));
    EXPECT_EQ(t.messages.shown.size(), 2);
    EXPECT_EQ(savePathField()->text(), folder());
}

TEST_F(TFormOptionsTest, shouldNotAskWhenASharedFolderIsAlreadyStored)
{
    writeSettings("[Preferences]\r\nINIsavePath=/srv/shared/\r\n");
    startShown();
    ASSERT_TRUE(checkBox(20)->isChecked());
    ASSERT_EQ(savePathField()->text(), "/srv/shared/");
    click(checkBox(20));
    EXPECT_EQ(savePathField()->text(), folder());
    click(checkBox(20));
    EXPECT_TRUE(checkBox(20)->isChecked());
    EXPECT_EQ(savePathField()->text(), folder());
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(TFormOptionsTest, shouldCloseOnlyThroughItsButtons)
{
    start();
    cancel([&] {
        QTest::keyClick(dialog, Qt::Key_Escape);
        EXPECT_TRUE(dialog->isVisible());
        QPushButton *ok = dialogButton("Button_pp_ok");
        ok->setFocus();
        QTest::keyClick(ok, Qt::Key_Return);
        QTest::keyClick(ok, Qt::Key_Enter);
        EXPECT_TRUE(dialog->isVisible());
    });
    // Cancel stored nothing.
    EXPECT_EQ(pref("FormStyle"), "<missing>");
}

// Every caption fits its control, no two controls share a spot, and the
// arrangement is the designed one whatever the font.
TEST_F(TFormOptionsTest, shouldFitEveryCaptionWithoutOverlapInTheDesignedArrangement)
{
    start();
    EXPECT_EQ(dialog->pos(), main->pos() + QPoint(-80, 50));
    EXPECT_GE(dialog->width(), 290);
    EXPECT_GE(dialog->height(), 487);

    QLabel *dateFormat = ui<QLabel>(dialog, "Label1");
    QList<QWidget *> controls;
    for (QWidget *w : dialog->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<QLabel *>(w) && w != dateFormat)
            continue; // group captions lie over their rules
        if (qobject_cast<QFrame *>(w) && !qobject_cast<QLabel *>(w) &&
            !qobject_cast<QLineEdit *>(w) && !qobject_cast<QComboBox *>(w))
            continue;
        controls.append(w);
        EXPECT_TRUE(dialog->rect().contains(w->geometry())) << w->objectName().toStdString();
    }
    for (QCheckBox *box : dialog->findChildren<QCheckBox *>())
        EXPECT_GE(box->width(), box->sizeHint().width()) << box->objectName().toStdString();
    for (QLabel *label : dialog->findChildren<QLabel *>())
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->objectName().toStdString();
    for (QPushButton *b : dialog->findChildren<QPushButton *>())
        EXPECT_GE(b->width(), b->fontMetrics().horizontalAdvance(b->text()))
            << b->objectName().toStdString();

    // The combo boxes stand a little into the next row by design; text controls never overlap.
    for (QWidget *a : controls) {
        for (QWidget *b : controls) {
            if (a < b && !qobject_cast<QComboBox *>(a) && !qobject_cast<QComboBox *>(b)) {
                EXPECT_FALSE(a->geometry().intersects(b->geometry()))
                    << a->objectName().toStdString() << " / " << b->objectName().toStdString();
            }
        }
    }

    // Pairs on one row, left then right.
    const std::pair<QWidget *, QWidget *> rows[] = {
        {checkBox(1), checkBox(3)},
        {checkBox(12), checkBox(7)},
        {checkBox(13), checkBox(2)},
        {checkBox(22), languageList()},
        {checkBox(21), dialogButton("Button_resetCols")},
        {checkBox(16), timeList()},
        {checkBox(4), dateFormat},
        {dialogButton("Button_pp_ok"), dialogButton("Button_pp_cancel")},
        {savePathField(), dialogButton("Button_option_dir")}};
    for (const auto &[left, right] : rows) {
        EXPECT_LT(left->geometry().right(), right->x()) << left->objectName().toStdString();
        EXPECT_TRUE(right->geometry().contains(right->x(), left->geometry().center().y()))
            << left->objectName().toStdString();
    }
    // The left column, top to bottom.
    const QList<QWidget *> column = {checkBox(1),  checkBox(12),
                                     checkBox(13), checkBox(19),
                                     checkBox(22), checkBox(18),
                                     checkBox(21), checkBox(6),
                                     checkBox(15), checkBox(9),
                                     checkBox(8),  checkBox(11),
                                     checkBox(16), checkBox(5),
                                     checkBox(17), checkBox(23),
                                     checkBox(10), checkBox(14),
                                     checkBox(20), savePathField(),
                                     checkBox(4),  dialogButton("Button_pp_ok")};
    for (int i = 1; i < column.size(); ++i)
        EXPECT_LT(column[i - 1]->y(), column[i]->y()) << column[i]->objectName().toStdString();
    EXPECT_GT(checkBox(14)->x(), checkBox(10)->x()); // indented
}

} // namespace
