#include "ApplyLanguage.h"

#include "Hint.h"
#include "RowGridView.h"
#include "i18n/LanguageTables.h"
#include "store/TaskTable.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTableWidget>
#include <QWidget>

namespace {

// The components of a window named `name`: its descendants, menus included, but
// not those of another window parented to it (a dialog owned by the main window
// has components of the same names).
void collect(QObject *parent, const QString &name, QList<QObject *> &found)
{
    for (QObject *child : parent->children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (widget && widget->isWindow() && !qobject_cast<QMenu *>(widget))
            continue;
        if (child->objectName() == name)
            found.append(child);
        collect(child, name, found);
    }
}

QList<QObject *> components(QWidget *window, const char *name)
{
    QList<QObject *> found;
    collect(window, QString::fromLatin1(name), found);
    return found;
}

// A label shows "&" literally unless it marks a buddy's accelerator: without one
// the caption is shown as the original toolkit drew it ("&&" one ampersand, a
// single "&" only underlining the next letter).
QString withoutAccelerators(const QString &caption)
{
    QString shown;
    for (int i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        shown += caption[i];
    }
    return shown;
}

void setCaption(QObject *component, const QString &text)
{
    if (auto *menu = qobject_cast<QMenu *>(component))
        menu->setTitle(text);
    else if (auto *action = qobject_cast<QAction *>(component))
        action->setText(text);
    else if (auto *button = qobject_cast<QAbstractButton *>(component))
        button->setText(text);
    else if (auto *label = qobject_cast<QLabel *>(component))
        label->setText(label->buddy() ? text : withoutAccelerators(text));
    else if (auto *group = qobject_cast<QGroupBox *>(component))
        group->setTitle(text);
}

bool captionOf(QObject *component, QString &text)
{
    if (auto *menu = qobject_cast<QMenu *>(component))
        text = menu->title();
    else if (auto *action = qobject_cast<QAction *>(component))
        text = action->text();
    else if (auto *button = qobject_cast<QAbstractButton *>(component))
        text = button->text();
    else if (auto *label = qobject_cast<QLabel *>(component))
        text = label->text();
    else if (auto *group = qobject_cast<QGroupBox *>(component))
        text = group->title();
    else
        return false;
    return true;
}

void setComponentHint(QObject *component, const QString &text)
{
    if (auto *action = qobject_cast<QAction *>(component))
        action->setToolTip(text);
    else if (auto *widget = qobject_cast<QWidget *>(component))
        setHint(widget, text);
}

// Row 0 of the grid's table; a plain item view takes it as its header.
void setHeader(QObject *component, int column, const QString &text)
{
    if (auto *grid = qobject_cast<RowGridView *>(component)) {
        if (grid->table())
            grid->table()->setHeader(column, text);
    } else if (auto *table = qobject_cast<QTableWidget *>(component)) {
        if (QTableWidgetItem *cell = table->horizontalHeaderItem(column))
            cell->setText(text);
        else
            table->setHorizontalHeaderItem(column, new QTableWidgetItem(text));
    } else if (auto *view = qobject_cast<QAbstractItemView *>(component)) {
        if (view->model())
            view->model()->setHeaderData(column, Qt::Horizontal, text);
    }
}

void applyEntry(QWidget *window, const LanguageEntry &entry, Language language)
{
    const QString text = entry.text(language);
    if (entry.property == TextProperty::WindowCaption) {
        window->setWindowTitle(text);
        return;
    }
    for (QObject *component : components(window, entry.component)) {
        switch (entry.property) {
        case TextProperty::Caption:
            setCaption(component, text);
            break;
        case TextProperty::Hint:
            setComponentHint(component, text);
            break;
        case TextProperty::Header:
            setHeader(component, entry.column, text);
            break;
        case TextProperty::Name:
            if (auto *widget = qobject_cast<QWidget *>(component))
                widget->setAccessibleName(text);
            break;
        case TextProperty::WindowCaption:
            break;
        }
    }
}

} // namespace

void nameControls(QWidget *window, const std::vector<LanguageEntry> &table)
{
    for (const LanguageEntry &entry : table)
        if (entry.property == TextProperty::Name)
            applyEntry(window, entry, Language::English);
}

namespace {

// Steps 1 and 2: the texts of the named language, none for any other name.
bool applyTable(QWidget *window, const std::vector<LanguageEntry> &table,
                const QString &languageName, Language &language)
{
    if (!window || !languageFromName(languageName, language))
        return false;
    for (const LanguageEntry &entry : table)
        applyEntry(window, entry, language);
    return true;
}

void copyCaptions(QWidget *window, const std::vector<CaptionTwin> &twins)
{
    for (const CaptionTwin &twin : twins) {
        QString text;
        bool found = false;
        for (QObject *source : components(window, twin.source))
            if ((found = captionOf(source, text)))
                break;
        if (!found)
            continue;
        for (QObject *target : components(window, twin.target))
            setCaption(target, text);
    }
}

} // namespace

void ApplyLanguageMain(QWidget *mainWindow, const QString &language)
{
    if (!mainWindow)
        return;
    Language chosen;
    applyTable(mainWindow, LanguageTables::mainWindow(), language, chosen);
    copyCaptions(mainWindow, LanguageTables::mainTwins());
}

void ApplyLanguageEditor(QWidget *editor, const QString &language)
{
    if (!editor)
        return;
    Language chosen;
    applyTable(editor, LanguageTables::editor(), language, chosen);
    copyCaptions(editor, LanguageTables::editorTwins());
}

void ApplyLanguagePreferences(QWidget *preferences, const QString &language)
{
    Language chosen;
    if (!applyTable(preferences, LanguageTables::preferences(), language, chosen))
        return;
    for (const LanguageLeft &control : LanguageTables::preferencesLefts())
        for (QObject *component : components(preferences, control.component))
            if (auto *widget = qobject_cast<QWidget *>(component))
                widget->move(control.left(chosen), widget->y());
}

void ApplyLanguageArchive(QWidget *archiveViewer, const QString &language)
{
    Language chosen;
    applyTable(archiveViewer, LanguageTables::archive(), language, chosen);
}

void ApplyLanguageArchivePreferences(QWidget *archivePreferences, const QString &language)
{
    Language chosen;
    applyTable(archivePreferences, LanguageTables::archivePreferences(), language, chosen);
}

void ApplyLanguageInput(QWidget *inputDialog, const QString &language)
{
    Language chosen;
    applyTable(inputDialog, LanguageTables::input(), language, chosen);
}

void ApplyLanguageSync(QWidget *syncDialog, const QString &language)
{
    Language chosen;
    applyTable(syncDialog, LanguageTables::syncWindow(), language, chosen);
}
