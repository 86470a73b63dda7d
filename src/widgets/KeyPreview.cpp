#include "KeyPreview.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

KeyPreview::KeyPreview(QWidget *window, std::function<bool(const QKeyEvent &)> pressed,
                       std::function<void(int)> released)
    : QObject(window), m_window(window), m_pressed(std::move(pressed)),
      m_released(std::move(released))
{
    qApp->installEventFilter(this);
}

KeyPreview::~KeyPreview()
{
    qApp->removeEventFilter(this);
}

bool KeyPreview::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
        return false;
    auto *w = qobject_cast<QWidget *>(watched);
    QWidget *focus = QApplication::focusWidget();
    const bool toWindowItself = !focus && w == m_window && QApplication::activeWindow() == m_window;
    if (!w || w->window() != m_window || (w != focus && !toWindowItself))
        return false;
    const auto *key = static_cast<const QKeyEvent *>(event);
    if (type == QEvent::KeyPress)
        return m_pressed && m_pressed(*key);
    if (m_released && !key->isAutoRepeat())
        m_released(key->key());
    return false;
}
