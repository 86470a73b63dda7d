// The task editor's arrangement: nothing clips or overlaps in either language,
// the resize rules, the size limits and the stored note height.
#include "EditorFixture.h"

#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace {

class EditorLayoutTest : public TaskWindowTest
{
protected:
    // The rows of the dialog, left to right, as the design places them.
    static QList<QList<QWidget *>> rows(TFormAddEdit &e)
    {
        return {{ui<QLabel>(&e, "Label1"), taskField(e)},
                {ui<QLabel>(&e, "Label2"), dateField(e), ui<QLabel>(&e, "Label8"),
                 ui<ColourComboBox>(&e, "ComboBox3"), ui<QLabel>(&e, "Label3"),
                 ui<QComboBox>(&e, "ComboBox1")},
                {ui<QLabel>(&e, "Label7"), hourField(e), minuteField(e), ui<QLabel>(&e, "Label9"),
                 ui<QComboBox>(&e, "ComboBox2"), ui<QToolButton>(&e, "SpeedButton5")},
                {ui<QLabel>(&e, "Label5"), noteField(e)},
                {okButton(e), cancelButton(e)}};
    }

    static void expectNothingClipsOrOverlaps(TFormAddEdit &e, const char *language)
    {
        const QRect client = e.rect();
        for (const QList<QWidget *> &row : rows(e)) {
            for (int i = 0; i < row.size(); ++i) {
                QWidget *x = row[i];
                const std::string name = x->objectName().toStdString() + " in " + language;
                EXPECT_TRUE(client.contains(x->geometry())) << name;
                if (auto *label = qobject_cast<QLabel *>(x)) {
                    EXPECT_GE(label->width(), label->sizeHint().width()) << name;
                }
                if (auto *button = qobject_cast<QPushButton *>(x)) {
                    EXPECT_GE(button->width(), button->sizeHint().width()) << name;
                }
                if (auto *button = qobject_cast<QToolButton *>(x)) {
                    EXPECT_GE(button->width(),
                              button->fontMetrics().horizontalAdvance(button->text()) + 4)
                        << name;
                }
                if (!qobject_cast<QPlainTextEdit *>(x)) {
                    EXPECT_GE(x->height(), x->minimumSizeHint().height()) << name;
                }
                if (i > 0) {
                    EXPECT_LE(row[i - 1]->geometry().right(), x->geometry().left()) << name;
                }
            }
        }
        // Each repeat choice is read whole, or its list takes all the room the row
        // leaves it before the count or the buttons.
        auto *list = ui<QComboBox>(&e, "ComboBox_repeat");
        auto *count = ui<QSpinBox>(&e, "SpinEdit_repeat");
        for (int i = 0; i < list->count(); ++i) {
            list->setCurrentIndex(i);
            QStyleOptionComboBox option;
            option.initFrom(list);
            const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                              QStyle::SC_ComboBoxEditField, list);
            const std::string name = list->currentText().toStdString() + " in " + language;
            const int next =
                count->isVisible() ? count->geometry().left() : okButton(e)->geometry().left();
            EXPECT_LT(list->geometry().right(), next) << name;
            const bool whole =
                field.width() >= list->fontMetrics().horizontalAdvance(list->currentText());
            EXPECT_TRUE(whole || next - list->geometry().right() <= 8) << name;
            if (count->isVisible())
                EXPECT_LT(count->geometry().right(), okButton(e)->geometry().left()) << name;
        }
        list->setCurrentIndex(0);
        // The spinners sit inside their fields' right ends.
        EXPECT_TRUE(
            hourField(e)->geometry().contains(ui<QScrollBar>(&e, "ScrollBar2")->geometry()));
        EXPECT_TRUE(
            minuteField(e)->geometry().contains(ui<QScrollBar>(&e, "ScrollBar3")->geometry()));
        // Each field shows its whole value.
        const QFontMetrics fm = dateField(e)->fontMetrics();
        EXPECT_GT(dateField(e)->width(), fm.horizontalAdvance("28/12/2000") + 8);
        EXPECT_GT(hourField(e)->width() - ui<QScrollBar>(&e, "ScrollBar2")->width(),
                  fm.horizontalAdvance("00") + 4);
    }
};

TEST_F(EditorLayoutTest, shouldLeaveEveryTextRoomInEnglishAndInPortuguese)
{
    start();
    withEditor([&](TFormAddEdit &e) { expectNothingClipsOrOverlaps(e, "English"); },
               [&] { click(toolButton("SpeedButton4")); });
    t.settings.setText(SettingKey::Language, "Portuguese");
    withEditor(
        [&](TFormAddEdit &e) {
            EXPECT_EQ(ui<QLabel>(&e, "Label3")->text(), "Prioridade:");
            expectNothingClipsOrOverlaps(e, "Portuguese");
        },
        [&] { click(toolButton("SpeedButton4")); });
}

TEST_F(EditorLayoutTest, shouldFollowTheDialogsSizeWithTheNoteFieldAndTheButtons)
{
    start();
    withEditor(
        [&](TFormAddEdit &e) {
            e.resize(e.minimumSize());
            const int h = e.height();
            // The buttons stand 4 pixels above the bottom; Cancel ends where the task field ends.
            EXPECT_EQ(okButton(e)->geometry().bottom() + 1, h - 4);
            EXPECT_EQ(cancelButton(e)->y(), okButton(e)->y());
            EXPECT_EQ(cancelButton(e)->geometry().right(), taskField(e)->geometry().right());
            EXPECT_LT(okButton(e)->geometry().right(), cancelButton(e)->x());
            EXPECT_LT(noteField(e)->geometry().bottom(), okButton(e)->y());

            const QRect memo = noteField(e)->geometry();
            const QRect task = taskField(e)->geometry();
            const QRect ok = okButton(e)->geometry();
            const QRect cancel = cancelButton(e)->geometry();
            const int dx = qMin(40, e.maximumWidth() - e.width());
            ASSERT_GT(dx, 0);
            e.resize(e.width() + dx, e.height() + 30);
            EXPECT_EQ(noteField(e)->geometry(), memo.adjusted(0, 0, dx, 30));
            EXPECT_EQ(taskField(e)->geometry(), task.adjusted(0, 0, dx, 0));
            EXPECT_EQ(okButton(e)->geometry(), ok.translated(dx, 30));
            EXPECT_EQ(cancelButton(e)->geometry(), cancel.translated(dx, 30));
        },
        [&] { click(toolButton("SpeedButton4")); });
}

TEST_F(EditorLayoutTest, shouldKeepWithinItsSizeLimits)
{
    start();
    const QRect screen = editor->screen()->geometry();
    EXPECT_GE(editor->minimumWidth(),
              ui<QToolButton>(editor, "SpeedButton5")->geometry().right() + 1 + 33);
    EXPECT_EQ(editor->maximumWidth(), screen.width() / 2);
    EXPECT_LE(editor->maximumHeight(), screen.height() - 20);
    withEditor(
        [&](TFormAddEdit &e) {
            e.resize(10, 10);
            EXPECT_EQ(e.size(), e.minimumSize());
            expectNothingClipsOrOverlaps(e, "the least size");
            // The open calendar panel fits below the caption.
            click(ui<QToolButton>(&e, "Image1"));
            EXPECT_TRUE(e.rect().contains(ui<CalendarPanel>(&e, "Panel1")->geometry()));
            e.resize(5000, 5000);
            EXPECT_EQ(e.size(), e.maximumSize());
        },
        [&] { click(toolButton("SpeedButton4")); });
}

TEST_F(EditorLayoutTest, shouldTakeItsHeightFromTheStoredNoteHeightWhenSizesAreKept)
{
    writeSettings("WindowSize=1\r\nNoteHeight=260\r\n");
    start();
    EXPECT_EQ(editor->height(), 260);
    EXPECT_EQ(editor->clientHeight(), 260);
}

TEST_F(EditorLayoutTest, shouldStartAtItsDesignedHeightWhenSizesAreNotKept)
{
    writeSettings("NoteHeight=260\r\n");
    start();
    // The bottom of Cancel + 3, or the least height the dialog may have.
    const int designed = cancelButton(*editor)->geometry().bottom() + 1 + 3;
    EXPECT_EQ(editor->height(), qMax(designed, editor->minimumHeight()));
}

} // namespace
