// The task editor's fields: creation, spinners, context menus, the calendar panel
// and the colour list.
#include "EditorFixture.h"

#include "categories/TFormCategory.h"

#include "editor/EditorRules.h"
#include "store/DateFormat.h"
#include "widgets/TextColours.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCalendarWidget>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QToolButton>

namespace {

class EditorFieldsTest : public TaskWindowTest
{
protected:
    // Opens the editor for a new task and runs `steps` in it.
    void inNewTask(const std::function<void(TFormAddEdit &)> &steps)
    {
        withEditor(steps, [&] { click(toolButton("SpeedButton4")); });
    }

    // A click on one arrow of a scroll bar, where the style draws it.
    static void clickArrow(QScrollBar *bar, QStyle::SubControl arrow)
    {
        QStyleOptionSlider option;
        option.initFrom(bar);
        option.orientation = bar->orientation();
        option.minimum = bar->minimum();
        option.maximum = bar->maximum();
        option.sliderPosition = bar->sliderPosition();
        option.sliderValue = bar->value();
        option.singleStep = bar->singleStep();
        option.pageStep = bar->pageStep();
        option.subControls = QStyle::SC_All;
        const QRect r = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, arrow, bar);
        ASSERT_FALSE(r.isEmpty());
        QTest::mouseClick(bar, Qt::LeftButton, {}, r.center());
    }

    // The field's context menu, opened as a right click would, and one of its items chosen.
    static void choose(QWidget *field, QMenu *menu, QAction *item)
    {
        // A text pane receives the click on its viewport.
        auto *pane = qobject_cast<QAbstractScrollArea *>(field);
        QWidget *target = pane ? pane->viewport() : field;
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2),
                                target->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(target, &event);
        EXPECT_TRUE(menu->isVisible()) << field->objectName().toStdString();
        item->trigger();
        menu->close();
    }

    static QToolButton *calendarButton(TFormAddEdit &e) { return ui<QToolButton>(&e, "Image1"); }
    static CalendarPanel *calendar(TFormAddEdit &e) { return ui<CalendarPanel>(&e, "Panel1"); }

    void setDate(TFormAddEdit &e, const QString &text)
    {
        dateField(e)->setText(text);
        ASSERT_EQ(dateField(e)->text(), text);
    }
};

TEST(EditorCreationTest, shouldNormaliseTheProgramsDateFormatOnceAndMaskTheDateField)
{
    struct Case
    {
        const char *format;
        const char *normalised;
        const char *blankField;
        const char *seventhOfMarch;
    };
    const Case cases[] = {{"d/M/yyyy", "dd/MM/yyyy", "__/__/____", "07/03/2026"},
                          {"M/d/yyyy", "MM/dd/yyyy", "__/__/____", "03/07/2026"},
                          {"dd-MMM-yyyy", "dd-MM-yyyy", "__-__-____", "07-03-2026"},
                          {"yyyy-MM-dd", "yyyy-MM-dd", "____-__-__", "2026-03-07"}};
    for (const Case &c : cases) {
        TestContext t;
        t.dates.setShortFormat(QString::fromLatin1(c.format));
        QWidget main;
        TFormCategory categoryDialog(t.ctx, t.tasks, &main);
        TFormAddEdit editor(t.ctx, t.tasks, t.alarm, categoryDialog, &main);
        EXPECT_EQ(t.dates.shortFormat(), c.normalised) << c.format;
        const QLineEdit *date = ui<QLineEdit>(&editor, "Edit3");
        EXPECT_EQ(date->displayText(), c.blankField) << c.format;
        EXPECT_EQ(date->toolTip(), c.normalised);
        // From now on the whole program writes two-digit days and months.
        EXPECT_EQ(t.dates.shortDate(QDate(2026, 3, 7)), c.seventhOfMarch);
    }
}

TEST_F(EditorFieldsTest, shouldFillItsListsAtCreationAndLimitTypingToSixtyCharacters)
{
    writeSettings("[Category]\r\nCats=4\r\n1=Home\r\n2=Work\r\n3=HOME\r\n4=Garden\r\n");
    start();
    QStringList categories;
    const QComboBox *categoryList = ui<QComboBox>(editor, "ComboBox2");
    for (int i = 0; i < categoryList->count(); ++i)
        categories << categoryList->itemText(i);
    EXPECT_EQ(categories, QStringList({"Home", "Work", "Garden"}));
    QStringList priorities;
    const QComboBox *priorityList = ui<QComboBox>(editor, "ComboBox1");
    for (int i = 0; i < priorityList->count(); ++i)
        priorities << priorityList->itemText(i);
    EXPECT_EQ(priorities, QStringList({"", "1", "2", "3", "4", "5"}));
    const ColourComboBox *colours = ui<ColourComboBox>(editor, "ComboBox3");
    EXPECT_EQ(colours->count(), 19);
    EXPECT_EQ(colours->itemText(18), "default  ");
    EXPECT_EQ(editor->pos(), QPoint(w->x() - 90, w->y() + 50));

    inNewTask([&](TFormAddEdit &e) {
        type(QString(70, QLatin1Char('a')));
        EXPECT_EQ(taskField(e)->text(), QString(60, QLatin1Char('a')));
    });
}

TEST_F(EditorFieldsTest, shouldReachEveryFieldWithTabButNeverTheParkedCalendar)
{
    start();
    inNewTask([&](TFormAddEdit &e) {
        const QList<QWidget *> chain = {dateField(e),
                                        hourField(e),
                                        ui<QScrollBar>(&e, "ScrollBar2"),
                                        minuteField(e),
                                        ui<QScrollBar>(&e, "ScrollBar3"),
                                        ui<ColourComboBox>(&e, "ComboBox3"),
                                        ui<QComboBox>(&e, "ComboBox1"),
                                        ui<QComboBox>(&e, "ComboBox2"),
                                        noteField(e),
                                        okButton(e),
                                        cancelButton(e),
                                        taskField(e)};
        ASSERT_EQ(QApplication::focusWidget(), taskField(e));
        for (QWidget *next : chain) {
            press(Qt::Key_Tab);
            EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
        }
        // Tabbing into the date selects it, so typing replaces it whole.
        press(Qt::Key_Tab);
        QCoreApplication::processEvents();
        EXPECT_EQ(dateField(e)->selectedText(), "09/12/2026");
        type("3/4/27");
        EXPECT_EQ(dateField(e)->text(), "3/4/27");
    });
}

TEST_F(EditorFieldsTest, shouldPresetTheDefaultTimeOrTheTimeOfTheClick)
{
    writeSettings("DefNewTime=00h:00\r\n");
    start();
    inNewTask([&](TFormAddEdit &e) {
        EXPECT_EQ(hourField(e)->text(), "00");
        EXPECT_EQ(minuteField(e)->text(), "00");
    });
    t.settings.setText(SettingKey::DefNewTime, "current");
    t.clock.set(QDateTime(QDate(2026, 12, 9), QTime(14, 7)));
    inNewTask([&](TFormAddEdit &e) {
        EXPECT_EQ(hourField(e)->text(), "14");
        EXPECT_EQ(minuteField(e)->text(), "07");
        EXPECT_EQ(dateField(e)->text(), "09/12/2026");
    });
    t.settings.remove(SettingKey::DefNewTime);
    inNewTask([&](TFormAddEdit &e) {
        EXPECT_EQ(hourField(e)->text(), "09");
        EXPECT_EQ(minuteField(e)->text(), "30");
    });
}

TEST_F(EditorFieldsTest, shouldStepHourAndMinutesWithTheSpinnersWrappingRound)
{
    start();
    inNewTask([&](TFormAddEdit &e) {
        QScrollBar *hourSpinner = ui<QScrollBar>(&e, "ScrollBar2");
        QScrollBar *minuteSpinner = ui<QScrollBar>(&e, "ScrollBar3");
        hourField(e)->setText("23");
        clickArrow(hourSpinner, QStyle::SC_ScrollBarSubLine); // upper arrow: one more
        EXPECT_EQ(hourField(e)->text(), "00");
        clickArrow(hourSpinner, QStyle::SC_ScrollBarAddLine); // lower arrow: one less
        EXPECT_EQ(hourField(e)->text(), "23");
        clickArrow(hourSpinner, QStyle::SC_ScrollBarAddLine);
        EXPECT_EQ(hourField(e)->text(), "22");
        EXPECT_EQ(hourSpinner->value(), 0);

        minuteField(e)->setText("59");
        clickArrow(minuteSpinner, QStyle::SC_ScrollBarSubLine);
        EXPECT_EQ(minuteField(e)->text(), "00");
        clickArrow(minuteSpinner, QStyle::SC_ScrollBarAddLine);
        EXPECT_EQ(minuteField(e)->text(), "59");

        // From the keyboard: Tab to the spinner, then the arrow keys.
        minuteSpinner->setFocus();
        press(Qt::Key_Up);
        EXPECT_EQ(minuteField(e)->text(), "00");
        press(Qt::Key_Down);
        EXPECT_EQ(minuteField(e)->text(), "59");
    });
    EXPECT_EQ(EditorRules::spinnerStep(0, 1, 23), 23);
    EXPECT_EQ(EditorRules::spinnerStep(7, -1, 59), 8);
}

TEST_F(EditorFieldsTest, shouldClearOrSetTheTimeAndDateFromTheFieldsMenu)
{
    start();
    t.clock.set(QDateTime(QDate(2026, 12, 9), QTime(16, 5)));
    inNewTask([&](TFormAddEdit &e) {
        QMenu *timeMenu = ui<QMenu>(&e, "PopupMenu1");
        // Clears the time whichever field it opened on.
        choose(dateField(e), timeMenu, ui<QAction>(&e, "pop1_Clear"));
        EXPECT_EQ(hourField(e)->text(), "00");
        EXPECT_EQ(minuteField(e)->text(), "00");
        EXPECT_EQ(dateField(e)->text(), "09/12/2026");

        choose(minuteField(e), timeMenu, ui<QAction>(&e, "pop1_Now"));
        EXPECT_EQ(hourField(e)->text(), "16");
        EXPECT_EQ(minuteField(e)->text(), "05");

        setDate(e, "01/01/2030");
        t.clock.set(QDateTime(QDate(2026, 12, 24), QTime(8, 0)));
        // On the date: today, and the time stays.
        choose(dateField(e), timeMenu, ui<QAction>(&e, "pop1_Now"));
        EXPECT_EQ(dateField(e)->text(), "24/12/2026");
        EXPECT_EQ(hourField(e)->text(), "16");
    });
}

TEST_F(EditorFieldsTest, shouldCutCopyPasteAndSelectInTheFocusedField)
{
    start();
    inNewTask([&](TFormAddEdit &e) {
        type("Water the plants");
        QMenu *editMenu = ui<QMenu>(&e, "PopupMenu2");
        choose(taskField(e), editMenu, ui<QAction>(&e, "pop2_Selectall"));
        EXPECT_EQ(taskField(e)->selectedText(), "Water the plants");
        choose(taskField(e), editMenu, ui<QAction>(&e, "pop2_Cut"));
        EXPECT_TRUE(taskField(e)->text().isEmpty());
        EXPECT_EQ(QApplication::clipboard()->text(), "Water the plants");

        noteField(e)->setFocus();
        choose(noteField(e), editMenu, ui<QAction>(&e, "pop2_Paste"));
        EXPECT_EQ(noteField(e)->toPlainText(), "Water the plants");
        // The menu acts on the focused control, not on the one it opened over.
        taskField(e)->setFocus();
        choose(noteField(e), editMenu, ui<QAction>(&e, "pop2_Paste"));
        EXPECT_EQ(taskField(e)->text(), "Water the plants");
        EXPECT_EQ(noteField(e)->toPlainText(), "Water the plants");
    });
}

TEST_F(EditorFieldsTest, shouldOpenTheCalendarOnTheFieldsDateAndScrollMonthsCuttingTheDay)
{
    start();
    inNewTask([&](TFormAddEdit &e) {
        CalendarPanel *panel = calendar(e);
        auto *Calendar1 = ui<QCalendarWidget>(panel, "Calendar1");
        auto *Label6 = ui<QLabel>(panel, "Label6");
        auto *ScrollBar1 = ui<QScrollBar>(panel, "ScrollBar1");
        EXPECT_FALSE(e.calendarOpen());
        EXPECT_GT(panel->x(), e.width());

        setDate(e, "31/01/2026");
        click(calendarButton(e));
        EXPECT_TRUE(e.calendarOpen());
        EXPECT_EQ(panel->pos(), QPoint(82, 14));
        EXPECT_FALSE(okButton(e)->isEnabled());
        EXPECT_EQ(Calendar1->selectedDate(), QDate(2026, 1, 31));
        EXPECT_EQ(Label6->text(), "Jan - 2026");
        EXPECT_EQ(Calendar1->firstDayOfWeek(), Qt::Monday);

        clickArrow(ScrollBar1, QStyle::SC_ScrollBarAddLine);
        EXPECT_EQ(Calendar1->selectedDate(), QDate(2026, 2, 28));
        EXPECT_EQ(Label6->text(), "Feb - 2026");
        EXPECT_EQ(ScrollBar1->value(), 0);
        clickArrow(ScrollBar1, QStyle::SC_ScrollBarSubLine);
        clickArrow(ScrollBar1, QStyle::SC_ScrollBarSubLine);
        EXPECT_EQ(Calendar1->selectedDate(), QDate(2025, 12, 28));
        EXPECT_EQ(Label6->text(), "Dec - 2025");
        // The calendar turns its page by itself (its own keys, a day of the next
        // month): the caption follows.
        auto *days = Calendar1->findChild<QAbstractItemView *>();
        ASSERT_TRUE(days);
        QTest::keyClick(days, Qt::Key_PageDown);
        EXPECT_EQ(Label6->text(), "Jan - 2026");
        QTest::keyClick(days, Qt::Key_PageUp);
        EXPECT_EQ(Label6->text(), "Dec - 2025");

        click(ui<QToolButton>(panel, "SpeedButton4"));
        EXPECT_EQ(dateField(e)->text(), "28/12/2025");
        EXPECT_FALSE(e.calendarOpen());
        EXPECT_TRUE(okButton(e)->isEnabled());
    });
    EXPECT_EQ(EditorRules::scrollMonth(QDate(2026, 3, 31), 1), QDate(2026, 4, 30));
    EXPECT_EQ(EditorRules::scrollMonth(QDate(2024, 1, 31), 1),
              QDate(2024, 2, 28)); // a leap year too
    EXPECT_EQ(EditorRules::scrollMonth(QDate(2026, 12, 31), 1), QDate(2027, 1, 31));
}

TEST_F(EditorFieldsTest, shouldTakeTheDateWithEnterAndDismissItWithEscape)
{
    start();
    inNewTask([&](TFormAddEdit &e) {
        setDate(e, "31/03/2026");
        click(calendarButton(e));
        clickArrow(ui<QScrollBar>(calendar(e), "ScrollBar1"), QStyle::SC_ScrollBarAddLine);
        press(Qt::Key_Return);
        EXPECT_EQ(dateField(e)->text(), "30/04/2026");
        EXPECT_FALSE(e.calendarOpen());
        EXPECT_TRUE(e.isVisible()); // Enter took the date; it did not confirm the task

        click(calendarButton(e));
        clickArrow(ui<QScrollBar>(calendar(e), "ScrollBar1"), QStyle::SC_ScrollBarAddLine);
        press(Qt::Key_Escape);
        EXPECT_EQ(dateField(e)->text(), "30/04/2026");
        EXPECT_FALSE(e.calendarOpen());
        EXPECT_TRUE(e.isVisible());
        EXPECT_TRUE(okButton(e)->isEnabled());

        // A double click on a day takes that day.
        click(calendarButton(e));
        ui<QCalendarWidget>(calendar(e), "Calendar1")->setSelectedDate(QDate(2026, 4, 17));
        emit ui<QCalendarWidget>(calendar(e), "Calendar1")->activated(QDate(2026, 4, 17));
        EXPECT_EQ(dateField(e)->text(), "17/04/2026");
        EXPECT_FALSE(e.calendarOpen());
    });
}

TEST_F(EditorFieldsTest, shouldRefuseToOpenTheCalendarOnAnInvalidDate)
{
    start();
    inNewTask([&](TFormAddEdit &e) {
        setDate(e, "31/02/2026");
        click(calendarButton(e));
        ASSERT_EQ(t.messages.shown.size(), 1);
        EXPECT_EQ(t.messages.shown[0].text, "'31/02/2026' is not a valid date");
        EXPECT_FALSE(e.calendarOpen());
        EXPECT_TRUE(okButton(e)->isEnabled());
    });
}

TEST_F(EditorFieldsTest, shouldDragTheCalendarPanelByItsCaptionAndParkItWhenTheDialogCloses)
{
    start();
    inNewTask([&](TFormAddEdit &e) {
        click(calendarButton(e));
        CalendarPanel *panel = calendar(e);
        const QPoint start = panel->pos();
        auto *caption = ui<QLabel>(panel, "Label6");
        QTest::mousePress(caption, Qt::LeftButton, {}, QPoint(5, 5));
        QMouseEvent move(QEvent::MouseMove, QPointF(15, 9),
                         QPointF(caption->mapToGlobal(QPoint(15, 9))), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(caption, &move);
        QTest::mouseRelease(caption, Qt::LeftButton, {}, QPoint(15, 9));
        EXPECT_EQ(panel->pos(), start + QPoint(10, 4));
    });
    // Closed with the panel open: the next showing starts with it parked and Ok usable.
    inNewTask([&](TFormAddEdit &e) {
        EXPECT_FALSE(e.calendarOpen());
        EXPECT_EQ(calendar(e)->y(), 14);
        EXPECT_TRUE(okButton(e)->isEnabled());
    });
}

TEST(ColourListTest, shouldDrawSwatchesForTheFixedColoursAndWordsForTheDefault)
{
    QImage image(40, 14, QImage::Format_RGB32);
    const QRect rect(0, 0, 40, 14);
    for (int index : {0, 4, 9, 13}) {
        image.fill(Qt::white);
        QPainter p(&image);
        ColourComboBox::ComboBox3DrawItem(p, rect, index, QGuiApplication::palette());
        p.end();
        EXPECT_EQ(image.pixelColor(20, 7), textColour(index)) << index;
        EXPECT_EQ(image.pixelColor(1, 1), textColour(index)) << index;
        // One pixel is left on the left, top and right sides; the bottom is filled.
        EXPECT_EQ(image.pixelColor(0, 7), QColor(Qt::white)) << index;
        EXPECT_EQ(image.pixelColor(20, 0), QColor(Qt::white)) << index;
        EXPECT_EQ(image.pixelColor(39, 7), QColor(Qt::white)) << index;
        EXPECT_EQ(image.pixelColor(20, 13), textColour(index)) << index;
    }
    image.fill(Qt::white);
    QPainter p(&image);
    ColourComboBox::ComboBox3DrawItem(p, rect, 18, QGuiApplication::palette());
    p.end();
    // The words in the text colour at the top left, and no swatch around them.
    int inked = 0;
    int firstInkedRow = -1;
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 40; ++x)
            if (image.pixelColor(x, y).lightness() < 128) {
                ++inked;
                firstInkedRow = firstInkedRow < 0 ? y : firstInkedRow;
            }
    EXPECT_GT(inked, 10);
    EXPECT_LT(firstInkedRow, 5);
    EXPECT_EQ(image.pixelColor(1, 13), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(39, 13), QColor(Qt::white));
}

} // namespace
