// Layout of the main window: the layout step, the notes-pane switch, size changes
// and the preferences that change the window's look.
#include "TForm1.h"
#include "TaskPane.h"
#include "UndoAction.h"

#include "store/Settings.h"
#include "store/TaskTable.h"
#include "tasks/TaskList.h"
#include "widgets/ApplyLanguage.h"

#include <QAction>
#include <QComboBox>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScopedValueRollback>
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
    if (!m_inNotesSwitch)
        m_pane->setNotesHeight(clientHeight() / 6);
}

void TForm1::layoutColumns()
{
    if (!m_tasks.loaded())
        return;
    const int toolbarWidth = Panel1->width();
    ComboBox1->resize(toolbarWidth > ComboBox1->x() + 125 ? 119 : toolbarWidth - 254,
                      ComboBox1->height());
    m_pane->layoutColumns();
}

void TForm1::tasksChanged()
{
    if (m_tasks.loaded())
        setWindowTitle(taskCountCaption(m_tasks.table()));
    m_pane->selectRow(1);
    AdjustLayout();
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
        m_pane->showNotes(h);
    } else {
        m_pane->hideNotes();
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

void TForm1::setShowNoteHints(bool on)
{
    m_pane->setShowNoteHints(on);
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
    setWindowOpacity(on ? 220.0 / 255.0 : 1.0);
}

void TForm1::updateGridPopupExtras()
{
    m_pane->updateGridPopupExtras();
}

void TForm1::applyLanguage(const QString &language)
{
    ApplyLanguageMain(this, language);
    Menu_Undo->showState();
}

void TForm1::applyStoredLanguage()
{
    ApplyLanguageMain(this, m_ctx.settings->text(SettingKey::Language));
}

void TForm1::resetColumnWidths()
{
    m_pane->resetColumnWidths();
}
