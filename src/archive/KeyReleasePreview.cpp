#include "KeyReleasePreview.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

KeyReleasePreview::KeyReleasePreview(QWidget *window, std::function<void(int)> handler)
    : QObject(window), m_window(window), m_handler(std::move(handler))
{
    qApp->installEventFilter(this);
}

KeyReleasePreview::~KeyReleasePreview()
{
    qApp->removeEventFilter(this);
}

bool KeyReleasePreview::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyRelease)
        return false;
    // Only the delivery to the focused widget counts, not its propagation to parents.
    auto *w = qobject_cast<QWidget *>(watched);
    QWidget *focus = QApplication::focusWidget();
    auto *key = static_cast<QKeyEvent *>(event);
    if (w && w->window() == m_window && (w == focus || (!focus && w == m_window)) &&
        !key->isAutoRepeat())
        m_handler(key->key());
    return false;
}
