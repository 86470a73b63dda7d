// Keyboard shortcuts and the toolbar's mouse presses.
#include "TForm1.h"
#include "TaskPane.h"
#include "UndoAction.h"

#include "syncsettings/SyncCommands.h"
#include "widgets/RepaintOnAltTab.h"

#include <QAction>
#include <QApplication>
#include <QToolButton>

void TForm1::Panel1MouseDown(Qt::MouseButton button)
{
    if (button == Qt::RightButton)
        m_pane->ConfigureGridPopup(true);
}

bool TForm1::FormKeyDown(int key, Qt::KeyboardModifiers modifiers, bool keypad)
{
    // Typing in the notes pane is only typing.
    if (m_pane->notesHaveFocus())
        return false;
    // A key whose command opened a dialog travels on to the window once that
    // dialog has closed, before the window is active again: it was handled.
    if (!QApplication::focusWidget() && QApplication::activeWindow() != this)
        return false;
    const bool ctrl = modifiers & Qt::ControlModifier;
    // The keypad's digits come with Num Lock on; without it they are arrow keys.
    const bool down = key == Qt::Key_Down || (keypad && key == Qt::Key_2);
    const bool up = key == Qt::Key_Up || (keypad && key == Qt::Key_8);
    QToolButton *button = nullptr;
    QAction *menuItem = nullptr;
    if (key == Qt::Key_Plus || key == Qt::Key_Equal || key == Qt::Key_Insert ||
        (ctrl && key == Qt::Key_A))
        button = SpeedButton4;
    else if (key == Qt::Key_Minus || key == Qt::Key_Underscore || key == Qt::Key_Space)
        button = SpeedButton3;
    else if (key == Qt::Key_Return || key == Qt::Key_Enter || (ctrl && key == Qt::Key_E))
        button = SpeedButton6;
    else if (key == Qt::Key_Delete || (ctrl && key == Qt::Key_D))
        button = SpeedButton5;
    else if (ctrl && key == Qt::Key_X)
        button = SpeedButton1;
    else if (ctrl && key == Qt::Key_O)
        button = SpeedButton7;
    else if (key == Qt::Key_F1)
        button = SpeedButton9;
    else if (ctrl && key == Qt::Key_P)
        menuItem = Menu_Print;
    else if (ctrl && key == Qt::Key_S)
        menuItem = Menu_SavetoFile;
    else if (ctrl && key == Qt::Key_Z)
        menuItem = Menu_Undo;
    else if (key == Qt::Key_F5)
        menuItem = m_sync->syncNowAction();
    else if (ctrl && (down || up)) {
        StepWindowHeight(down ? QStringLiteral("down") : QStringLiteral("up"));
        // Only the height changes: the grid must not move its current row too.
        return true;
    } else {
        return false;
    }
    // As a click on the button or the menu item, even while the toolbar or the
    // menu bar is hidden. The key goes on to the focused control as before.
    if (button)
        button->click();
    if (menuItem)
        menuItem->trigger();
    return false;
}

void TForm1::FormKeyUp(int key)
{
    RepaintOnAltTab(this, key, *m_ctx.os);
}
