#pragma once

#include <QString>
#include <vector>

// The caption tables of the six translated windows, as plain data. Texts are
// UTF-8 and kept exactly: leading and trailing blanks, "&" accelerators and "&&".

enum class Language { English, Portuguese };

// "English" or "Portuguese", compared exactly; any other name is no language.
bool languageFromName(const QString &name, Language &language);

class Settings;
// The language the settings name ([Preferences] Language); English when they
// name none.
Language chosenLanguage(const Settings &settings);

enum class TextProperty {
    Caption,       // the text of a menu item, menu, button, label, check box or group
    Hint,          // the tooltip of a control or tool button
    Header,        // a header cell (row 0) of the window's grid
    WindowCaption, // the window's own title; `component` is empty
    Name,          // what assistive technology calls a control that shows no label
};

struct LanguageEntry
{
    const char *component; // objectName
    TextProperty property;
    int column; // for Header only
    const char *english;
    const char *portuguese;

    QString text(Language language) const;
};

// A caption copied from one component to another after the texts are set.
struct CaptionTwin
{
    const char *target;
    const char *source;
};

// A control whose left edge follows the language's label widths.
struct LanguageLeft
{
    const char *component;
    int english;
    int portuguese;

    int left(Language language) const
    {
        return language == Language::English ? english : portuguese;
    }
};

namespace LanguageTables {
const std::vector<LanguageEntry> &mainWindow();
const std::vector<LanguageEntry> &editor();
const std::vector<LanguageEntry> &preferences();
const std::vector<LanguageEntry> &archive();
const std::vector<LanguageEntry> &archivePreferences();
const std::vector<LanguageEntry> &input();
// The undo item's captions, keyed "Undo", "UndoAdd", "UndoEdit", "UndoTick",
// "UndoUntick", "UndoDelete", "UndoArchive", "UndoUnarchive", "UndoCategoryDelete".
const std::vector<LanguageEntry> &undoCaptions();
// The reminders' desktop notifications, keyed "NotifyAgenda", "NotifyAlert" (their
// summaries) and "NotifyShow" (the action that shows the window).
const std::vector<LanguageEntry> &reminderTexts();
// The daily backups' and the iCalendar export's messages, keyed "BackupFailed",
// "ExportTitle", "Exported", "RestoreTitle", "RestoreLabel", "RestoreItem",
// "NoBackup", "RestoreRefused", and the iCalendar import's "ImportTitle", "Imported",
// "ImportRefused", "ImportChanged", "ImportSkipped" and its reasons "Import...".
const std::vector<LanguageEntry> &backupTexts();
// The sync's texts: "ConflictCopy", the mark a conflict copy's task text gets;
// the last sync's result "SyncedAt", "NotSyncedAt", "NeverSynced", "SyncOff",
// "Syncing"; the failure's notification "SyncFailed"; the questions
// "CalendarGone", "MassDelete"; and what a sync, its connection and the search
// for calendars tell: failures, the password's texts and the notes on items left
// alone (SyncTexts.cpp).
const std::vector<LanguageEntry> &syncTexts();
// The Synchronisation dialog's captions by component, and its messages by key.
const std::vector<LanguageEntry> &syncWindow();
// Repeating tasks: the editor's "Repeat" caption and choices, keyed "Repeat",
// "Never", "Day", "Weekday", "Week", "TwoWeeks", "Month", "Year", "NDays",
// "NWeeks", "NMonths", "Elsewhere"; the rule in words "WordsDay", "WordsWeek",
// "WordsMonth" (RepeatTexts.cpp).
const std::vector<LanguageEntry> &repeatTexts();
// A text of one of those tables by its key, in language; empty when none has it.
QString text(const std::vector<LanguageEntry> &table, const char *key, Language language);

// The English caption a window's builder gives a component: its entry in the
// window's table, else the entry of the component it is a twin of; empty when
// neither has one.
QString englishCaption(const std::vector<LanguageEntry> &table, const char *component,
                       const std::vector<CaptionTwin> &twins = {});

// The main window's context-menu and tray-menu twins of its main-menu items, in
// the order they are copied.
const std::vector<CaptionTwin> &mainTwins();
// The task editor's second OK/Cancel pair.
const std::vector<CaptionTwin> &editorTwins();
// The preferences dialog's controls placed after the longer labels.
const std::vector<LanguageLeft> &preferencesLefts();
} // namespace LanguageTables
