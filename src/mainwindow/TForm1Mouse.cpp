// Mouse presses on the grid.
#include "TForm1.h"

#include "VisibleColumnsMenu.h"
#include "store/TaskTable.h"
#include "widgets/TaskGrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>

void TForm1::StringGrid1MouseDown(Qt::MouseButton button, int col, int row, const QPoint &globalPos)
{
    Q_UNUSED(col);
    if (button == Qt::RightButton && row > 0 && row < m_table->rowCount()) {
        if (StringGrid1->selectionTop() == StringGrid1->selectionBottom())
            StringGrid1->setCurrentRow(row);
        ConfigureGridPopup(false);
        PopupMenu2->popup(globalPos);
    } else if (button == Qt::RightButton && row == 0) {
        PopupMenu4->popup(globalPos);
    } else if (button == Qt::LeftButton && row == 0 && StringGrid1->hoverCol() == Col::Date) {
        // The Date header sorts by the hidden sort-key column.
        StringGrid1->setHover(0, Col::SortKey);
    }
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    // The window sees every key before the focused control does, once per key:
    // only the delivery to the focused widget counts, not the propagation to parents.
    const QEvent::Type type = event->type();
    // The layout step follows the grid's own size, which settles after the window's;
    // the viewport is sized last (it decides whether rows overflow).
    if (watched == StringGrid1->viewport() && type == QEvent::Resize)
        guarded([this] { FormResize(); });
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        auto *w = qobject_cast<QWidget *>(watched);
        QWidget *focus = QApplication::focusWidget();
        // A key that travels on to this window after a dialog it opened has closed
        // is not a key typed into this window.
        const bool toWindowItself = !focus && w == this && QApplication::activeWindow() == this;
        if (w && w->window() == this && (w == focus || toWindowItself)) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (type == QEvent::KeyPress) {
                bool usedUp = false;
                guarded([&] {
                    usedUp = FormKeyDown(key->key(), key->modifiers(),
                                         key->modifiers() & Qt::KeypadModifier);
                });
                if (usedUp)
                    return true;
            } else if (!key->isAutoRepeat())
                guarded([&] { FormKeyUp(key->key()); });
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
