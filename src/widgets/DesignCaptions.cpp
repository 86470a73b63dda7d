#include "DesignCaptions.h"

#include <QAction>
#include <QMenu>

DesignCaptions::DesignCaptions(const std::vector<LanguageEntry> &table) : m_table(table) {}

DesignCaptions::DesignCaptions(const std::vector<LanguageEntry> &table,
                               const std::vector<CaptionTwin> &twins)
    : m_table(table), m_twins(&twins)
{
}

QString DesignCaptions::operator()(const char *component) const
{
    return m_twins ? LanguageTables::englishCaption(m_table, component, *m_twins)
                   : LanguageTables::englishCaption(m_table, component);
}

QAction *DesignCaptions::item(QMenu *menu, const char *name) const
{
    QAction *a = menu->addAction((*this)(name));
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

QMenu *DesignCaptions::submenu(QWidget *parent, const char *name) const
{
    auto *m = new QMenu((*this)(name), parent);
    m->setObjectName(QString::fromLatin1(name));
    m->menuAction()->setObjectName(QString::fromLatin1(name));
    return m;
}

QAction *separator(QMenu *menu, const char *name)
{
    QAction *a = menu->addSeparator();
    if (name)
        a->setObjectName(QString::fromLatin1(name));
    return a;
}
