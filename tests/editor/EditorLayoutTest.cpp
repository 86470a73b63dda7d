// The task editor's arrangement: nothing clips or overlaps in either language,
// the resize rules, the size limits and the stored note height.
#include "EditorFixture.h"

#include <QScreen>
#include <QScrollBar>

namespace {

class EditorLayoutTest : public TaskWindowTest
{
protected:
    // The rows of the dialog, left to right, as the design places them.
    static QList<QList<QWidget *>> rows(TFormAddEdit &e)
    {
        return {{e.Label1, e.Edit1},
                {e.Label2, e.Edit3, e.Label8, e.ComboBox3, e.Label3, e.ComboBox1},
                {e.Label7, e.Edit2, e.Edit4, e.Label9, e.ComboBox2, e.SpeedButton5},
                {e.Label5, e.Memo1},
                {e.Button_ok, e.Button_cancel}};
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
                    EXPECT_GE(button->width(), button->fontMetrics().horizontalAdvance(button->text()) + 4) << name;
                }
                if (!qobject_cast<QPlainTextEdit *>(x)) {
                    EXPECT_GE(x->height(), x->minimumSizeHint().height()) << name;
                }
                if (i > 0) {
                    EXPECT_LE(row[i - 1]->geometry().right(), x->geometry().left()) << name;
                }
            }
        }
        // The spinners sit inside their fields' right ends.
        EXPECT_TRUE(e.Edit2->geometry().contains(e.ScrollBar2->geometry()));
        EXPECT_TRUE(e.Edit4->geometry().contains(e.ScrollBar3->geometry()));
        // Each field shows its whole value.
        const QFontMetrics fm = e.Edit3->fontMetrics();
        EXPECT_GT(e.Edit3->width(), fm.horizontalAdvance("28/12/2000") + 8);
        EXPECT_GT(e.Edit2->width() - e.ScrollBar2->width(), fm.horizontalAdvance("00") + 4);
    }
};

TEST_F(EditorLayoutTest, shouldLeaveEveryTextRoomInEnglishAndInPortuguese)
{
    start();
    withEditor([&](TFormAddEdit &e) { expectNothingClipsOrOverlaps(e, "English"); },
               [&] { click(w->SpeedButton4); });
    t.settings.setText(SettingKey::Language, "Portuguese");
    withEditor(
        [&](TFormAddEdit &e) {
            EXPECT_EQ(e.Label3->text(), "Prioridade:");
            expectNothingClipsOrOverlaps(e, "Portuguese");
        },
        [&] { click(w->SpeedButton4); });
}

TEST_F(EditorLayoutTest, shouldFollowTheDialogsSizeWithTheNoteFieldAndTheButtons)
{
    start();
    withEditor(
        [&](TFormAddEdit &e) {
            e.resize(e.minimumSize());
            const int h = e.height();
            // The buttons stand 4 pixels above the bottom; Cancel ends where the task field ends.
            EXPECT_EQ(e.Button_ok->geometry().bottom() + 1, h - 4);
            EXPECT_EQ(e.Button_cancel->y(), e.Button_ok->y());
            EXPECT_EQ(e.Button_cancel->geometry().right(), e.Edit1->geometry().right());
            EXPECT_LT(e.Button_ok->geometry().right(), e.Button_cancel->x());
            EXPECT_LT(e.Memo1->geometry().bottom(), e.Button_ok->y());

            const QRect memo = e.Memo1->geometry();
            const QRect task = e.Edit1->geometry();
            const QRect ok = e.Button_ok->geometry();
            const QRect cancel = e.Button_cancel->geometry();
            const int dx = qMin(40, e.maximumWidth() - e.width());
            ASSERT_GT(dx, 0);
            e.resize(e.width() + dx, e.height() + 30);
            EXPECT_EQ(e.Memo1->geometry(), memo.adjusted(0, 0, dx, 30));
            EXPECT_EQ(e.Edit1->geometry(), task.adjusted(0, 0, dx, 0));
            EXPECT_EQ(e.Button_ok->geometry(), ok.translated(dx, 30));
            EXPECT_EQ(e.Button_cancel->geometry(), cancel.translated(dx, 30));
        },
        [&] { click(w->SpeedButton4); });
}

TEST_F(EditorLayoutTest, shouldKeepWithinItsSizeLimits)
{
    start();
    const QRect screen = editor->screen()->geometry();
    EXPECT_GE(editor->minimumWidth(), editor->SpeedButton5->geometry().right() + 1 + 33);
    EXPECT_EQ(editor->maximumWidth(), screen.width() / 2);
    EXPECT_LE(editor->maximumHeight(), screen.height() - 20);
    withEditor(
        [&](TFormAddEdit &e) {
            e.resize(10, 10);
            EXPECT_EQ(e.size(), e.minimumSize());
            expectNothingClipsOrOverlaps(e, "the least size");
            // The open calendar panel fits below the caption.
            click(e.Image1);
            EXPECT_TRUE(e.rect().contains(e.Panel1->geometry()));
            e.resize(5000, 5000);
            EXPECT_EQ(e.size(), e.maximumSize());
        },
        [&] { click(w->SpeedButton4); });
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
    const int designed = editor->Button_cancel->geometry().bottom() + 1 + 3;
    EXPECT_EQ(editor->height(), qMax(designed, editor->minimumHeight()));
}

} // namespace
