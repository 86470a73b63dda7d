#pragma once

#include <QComboBox>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QString>
#include <QWidget>
#include <gtest/gtest.h>

namespace UiLookup {

// The components of type T named `name` below `parent`, menus included, but not
// those of another window parented to it: a dialog owned by the main window has
// components of the same names.
template <class T> void collect(const QObject *parent, const QString &name, QList<T *> &found)
{
    for (QObject *child : parent->findChildren<QObject *>(Qt::FindDirectChildrenOnly)) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (widget && widget->isWindow() && !qobject_cast<QMenu *>(widget))
            continue;
        if (child->objectName() == name)
            if (T *match = qobject_cast<T *>(child))
                found.append(match);
        collect(child, name, found);
    }
}

} // namespace UiLookup

// A window's component by its objectName, as the user reaches it, without the
// window handing out its members. A missing or ambiguous name fails the running
// test (the null pointer returned then stops it).
template <class T> T *ui(const QObject *window, const char *name)
{
    QList<T *> found;
    if (window)
        UiLookup::collect(window, QString::fromLatin1(name), found);
    if (found.size() == 1)
        return found.first();
    ADD_FAILURE() << (window ? window->objectName().toStdString() : std::string("<no window>"))
                  << " has " << found.size() << " components named \"" << name
                  << "\" of the type asked for; one was expected";
    return nullptr;
}

// The user picks the item of a list whose text is `text`: the list reports the
// choice (activated) as it does for a click or a key.
inline void choose(QComboBox *list, const QString &text)
{
    const int index = list->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    list->setCurrentIndex(index);
    emit list->activated(index);
}
