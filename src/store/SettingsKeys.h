#pragma once

#include <QString>

// The one table of every section, key, type and default the program stores.
enum class SettingKey {
    // [Preferences]
    WeekendStop,
    MyDateFormat,
    HideMainMenu,
    HideToolbar,
    WindowPosition,
    WindowPositionLeft,
    WindowPositionTop,
    FormStyle,
    WindowSize,
    WindowHeight,
    WindowWidth,
    NoteHeight,
    WindowState,
    Transparency,
    NotePane,
    FlatToolbar,
    CustomCols,
    ColumnWidths,
    SelectedRow,
    Sorted,
    SortedOrdr,
    Alert,
    Alert_s,
    AutoArchiv,
    AutoArchivAsk,
    EmailMe,
    AutoRun,
    DefNewTime,
    ShowHints,
    ColorCoded,
    INIsavePath,
    SortedArch,
    SortedHint,
    DesktopNotify,
    // [Options]
    Language,
    // [Category]
    Cats,
    // [Archive]
    ArchWindowPosition,
    ArchWindowPositionLeft,
    ArchWindowPositionTop,
    ArchWindowSize,
    ArchWindowHeight,
    ArchWindowWidth,
    UnArchivAsk,
    // [Sync]
    SyncCalendar,
    SyncUser,
    SyncEnabled,
    SyncTrustedCertificate,
    SyncPlainHttpHost,
};

enum class SettingType { Boolean, Integer, String };

struct SettingInfo
{
    const char *section;
    const char *key;
    SettingType type;
    // The stored default in its text form ("1"/"0" for booleans). Keys whose
    // default depends on the running program (a centred window position, the
    // last row, the program folder, a date column width) have none here: their
    // readers pass it.
    const char *defaultValue;
};

const SettingInfo &settingInfo(SettingKey key);

namespace Sections {
inline const QString Preferences = QStringLiteral("Preferences");
inline const QString Options = QStringLiteral("Options");
inline const QString Category = QStringLiteral("Category");
inline const QString Archive = QStringLiteral("Archive");
inline const QString Records = QStringLiteral("Records");
} // namespace Sections
