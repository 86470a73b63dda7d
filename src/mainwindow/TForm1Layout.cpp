// Layout of the main window: the layout step, the notes pane, size changes and
// the preferences that change the window's look.
#include "TForm1.h"
#include "VisibleColumnsMenu.h"

#include "platform/Clock.h"
#include "store/DateFormat.h"
#include "store/Settings.h"
#include "store/TaskTable.h"
#include "tasks/TaskList.h"
#include "widgets/TaskGrid.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QToolButton>
#include <QWindow>

// The menu bar is outside the client area, as on the desktop this layout came
// from. Measured from the window's own size, so it holds before the window is
// first laid out too.
int TForm1::menuBarHeight() const
{
    return MainMenu1 && MainMenu1->isVisibleTo(this) ? MainMenu1->sizeHint().height() : 0;
}

int TForm1::clientHeight() const
{
    return height() - menuBarHeight();
}

int TForm1::clientWidth() const
{
    return width();
}

void TForm1::setClientSize(int width, int height)
{
    resize(width, height + menuBarHeight());
}

void TForm1::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    guarded([this] { FormResize(); });
}

void TForm1::FormResize()
{
    if (!m_tasks.loaded())
        return;
    layoutColumns();
    if (Menu_NotesPane->isChecked() && !m_inNotesSwitch)
        Memo_notes->setFixedHeight(clientHeight() / 6);
}

void TForm1::layoutColumns()
{
    if (!m_tasks.loaded())
        return;
    const int toolbarWidth = Panel1->width();
    ComboBox1->resize(toolbarWidth > ComboBox1->x() + 125 ? 119 : toolbarWidth - 254,
                      ComboBox1->height());
    const int s = StringGrid1->visibleRowCount() < m_table->rowCount() - 1
                      ? StringGrid1->scrollBarExtent()
                      : 0;
    // A task column the user hid (the visible-columns menu) stays hidden.
    if (PopupMenu4->taskColumnHidden())
        return;
    int others = 0;
    for (int c : {0, 2, 3, 4})
        others += StringGrid1->colWidth(c);
    StringGrid1->setColWidth(Col::Task, StringGrid1->width() - 6 - others - s);
}

void TForm1::Menu_NotesPaneClick()
{
    Menu_NotesPane->setChecked(!Menu_NotesPane->isChecked());
    const int h = clientHeight() / 5;
    // The pane keeps its fifth until the next layout step, which makes it a sixth;
    // the resizes this switch itself causes do not count as one.
    const QScopedValueRollback<bool> switching(m_inNotesSwitch, true);
    if (Menu_NotesPane->isChecked()) {
        if (!m_tasks.loaded())
            setClientSize(clientWidth(), clientHeight() + h);
        Bevel6->show();
        Memo_notes->setFixedHeight(h);
        Memo_notes->show();
        StringGrid1Click();
    } else {
        Memo_notes->setFixedHeight(0);
        Memo_notes->hide();
        Bevel6->hide();
        if (!m_tasks.loaded())
            setClientSize(clientWidth(), clientHeight() - h);
    }
    layoutColumns();
}

void TForm1::StepWindowHeight(const QString &direction)
{
    const int step = direction == QLatin1String("down") ? 2 : -2;
    resize(width(), height() + step);
}

int TForm1::dateColumnDefaultWidth() const
{
    return TaskGrid::dateColumnWidth(StringGrid1->fontMetrics(), *m_ctx.dates,
                                     m_ctx.clock->today());
}

void TForm1::setStayOnTop(bool on)
{
    // A shown window changes its window manager state in place: a widget's flag
    // change re-creates the window, which unmaps and maps it (a visible flicker).
    if (isVisible() && windowHandle()) {
        Qt::WindowFlags flags = windowFlags();
        flags.setFlag(Qt::WindowStaysOnTopHint, on);
        overrideWindowFlags(flags);
        windowHandle()->setFlags(flags);
        return;
    }
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
}

void TForm1::setMenuBarShown(bool shown)
{
    MainMenu1->setVisible(shown);
}

void TForm1::setToolbarShown(bool shown)
{
    Panel1->setVisible(shown);
}

void TForm1::setFlatButtons(bool flat)
{
    for (QToolButton *b : Panel1->findChildren<QToolButton *>())
        b->setAutoRaise(flat);
}

void TForm1::setTransparent(bool on)
{
    m_alphaBlend = on;
    setWindowOpacity(on ? 220.0 / 255.0 : 1.0);
}

bool TForm1::gridPopupNeedsExtras() const
{
    // With neither menu bar nor toolbar the grid's menu is the only way left to
    // the preferences and the about box.
    const Settings &s = *m_ctx.settings;
    return s.flag(SettingKey::HideMainMenu) && s.flag(SettingKey::HideToolbar);
}

void TForm1::updateGridPopupExtras()
{
    // The preferences item stays in every form; only the about item and its
    // separator follow the rule.
    const bool both = gridPopupNeedsExtras();
    pop2_N1->setVisible(both);
    pop2_About->setVisible(both);
}

void TForm1::StringGrid1Click()
{
    // The row a header click's sort selects is no row the user chose.
    if (m_sortingByHeader)
        return;
    StringGrid1->horizontalScrollBar()->setValue(0);
    if (Menu_NotesPane->isChecked()) {
        const int row = StringGrid1->currentRow();
        Memo_notes->clear();
        if (row >= 1 && row < m_table->rowCount())
            Memo_notes->setPlainText(m_table->cell(Col::Note, row));
    }
}
