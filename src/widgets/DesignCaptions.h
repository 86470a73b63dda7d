#pragma once

#include "i18n/LanguageTables.h"

#include <QString>
#include <vector>

class QAction;
class QMenu;
class QWidget;

// The English captions a window is built with, read from its language table (the
// one place each caption is spelled; the table's other language replaces them
// later), and the named menu items a window builds with them.
class DesignCaptions
{
public:
    explicit DesignCaptions(const std::vector<LanguageEntry> &table);
    DesignCaptions(const std::vector<LanguageEntry> &table, const std::vector<CaptionTwin> &twins);

    // The component's caption, or its twin's; empty when neither has one.
    QString operator()(const char *component) const;
    // A menu item named after its component, with its caption.
    QAction *item(QMenu *menu, const char *name) const;
    // A submenu named after its component (its opening item too), with its caption.
    QMenu *submenu(QWidget *parent, const char *name) const;

private:
    const std::vector<LanguageEntry> &m_table;
    const std::vector<CaptionTwin> *m_twins = nullptr;
};

// A separator line, named when the window's design names it.
QAction *separator(QMenu *menu, const char *name = nullptr);
