#pragma once

#include <QString>

class QWidget;

// A new control of the window, named after its component: tests and the
// language tables find it by that name.
template <typename T> T *named(QWidget *parent, const char *name)
{
    auto *w = new T(parent);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}
