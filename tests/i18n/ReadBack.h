#pragma once

#include "i18n/LanguageTables.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QWidget>
#include <gtest/gtest.h>

// Reads a window's texts back the way a user sees them: a menu's title, an
// item's or button's text, a tooltip, the grid's visible header.
namespace ReadBack {

// The one widget or action of `window` named `name` that carries a text. A menu
// and its menu action share the name; the menu is taken.
inline QObject *component(QWidget *window, const QString &name)
{
    if (auto *menu = window->findChild<QMenu *>(name))
        return menu;
    const QList<QObject *> all = window->findChildren<QObject *>(name);
    return all.isEmpty() ? nullptr : all.first();
}

inline QString caption(QObject *o)
{
    if (auto *menu = qobject_cast<QMenu *>(o))
        return menu->title();
    if (auto *action = qobject_cast<QAction *>(o))
        return action->text();
    if (auto *button = qobject_cast<QAbstractButton *>(o))
        return button->text();
    if (auto *label = qobject_cast<QLabel *>(o))
        return label->text();
    if (auto *group = qobject_cast<QGroupBox *>(o))
        return group->title();
    return QStringLiteral("<no caption>");
}

inline QString hint(QObject *o)
{
    if (auto *action = qobject_cast<QAction *>(o))
        return action->toolTip();
    if (auto *widget = qobject_cast<QWidget *>(o))
        return widget->toolTip();
    return QStringLiteral("<no hint>");
}

inline QString header(QWidget *window, const QString &gridName, int column)
{
    auto *view = window->findChild<QAbstractItemView *>(gridName);
    if (!view || !view->model())
        return QStringLiteral("<no grid>");
    return view->model()->headerData(column, Qt::Horizontal).toString();
}

// A label without a buddy shows what the original toolkit drew: "&&" as one "&".
inline QString shownCaption(QObject *o, const QString &caption)
{
    auto *label = qobject_cast<QLabel *>(o);
    if (!label || label->buddy())
        return caption;
    QString shown = caption;
    shown.replace(QStringLiteral("&&"), QStringLiteral("&"));
    return shown;
}

// Every row of `table` as `window` shows it in `language`.
inline void expectTable(QWidget *window, const std::vector<LanguageEntry> &table, Language language)
{
    for (const LanguageEntry &entry : table) {
        const QString name = QString::fromLatin1(entry.component);
        const QString expected = entry.text(language);
        SCOPED_TRACE(name.toStdString() + " " + std::to_string(int(entry.property)));
        if (entry.property == TextProperty::WindowCaption) {
            EXPECT_EQ(window->windowTitle(), expected);
            continue;
        }
        if (entry.property == TextProperty::Header) {
            EXPECT_EQ(header(window, name, entry.column), expected);
            continue;
        }
        QObject *o = component(window, name);
        ASSERT_NE(o, nullptr) << "no component " << name.toStdString();
        if (entry.property == TextProperty::Name)
            EXPECT_EQ(qobject_cast<QWidget *>(o)->accessibleName(), expected);
        else if (entry.property == TextProperty::Hint)
            EXPECT_EQ(hint(o), expected);
        else
            EXPECT_EQ(caption(o), shownCaption(o, expected));
    }
}

} // namespace ReadBack
