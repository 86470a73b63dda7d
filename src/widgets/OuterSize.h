#pragma once

#include <QSize>
#include <QWidget>

// Size limits are given for the outer window, frame and caption included; Qt's
// are for the client area. The frame is known once the window manager has framed
// the window (none before it is shown, none offscreen).
inline QSize windowFrame(const QWidget *window)
{
    return window->isVisible() ? window->frameGeometry().size() - window->size() : QSize(0, 0);
}
