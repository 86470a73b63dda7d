#include "SettingsKeys.h"

#include <array>
#include <cstddef>

namespace {

struct Entry
{
    SettingKey id;
    SettingInfo info;
};

constexpr const char *Prefs = "Preferences";
constexpr const char *Opts = "Options";
constexpr const char *Cat = "Category";
constexpr const char *Arch = "Archive";
constexpr const char *Sync = "Sync";

constexpr SettingType B = SettingType::Boolean;
constexpr SettingType I = SettingType::Integer;
constexpr SettingType S = SettingType::String;

// Key spellings are the ones older releases wrote; existing files depend on them.
constexpr Entry kEntries[] = {
    {SettingKey::WeekendStop, {Prefs, "WeekendStop", B, "0"}},
    {SettingKey::MyDateFormat, {Prefs, "MyDateFormat", S, ""}},
    {SettingKey::HideMainMenu, {Prefs, "HideMainMenu", B, "0"}},
    {SettingKey::HideToolbar, {Prefs, "HideToolbar", B, "0"}},
    {SettingKey::WindowPosition, {Prefs, "WindowPosition", B, "0"}},
    {SettingKey::WindowPositionLeft, {Prefs, "WindowPositionLeft", I, nullptr}},
    {SettingKey::WindowPositionTop, {Prefs, "WindowPositionTop", I, nullptr}},
    {SettingKey::FormStyle, {Prefs, "FormStyle", S, "fsNormal"}},
    {SettingKey::WindowSize, {Prefs, "WindowSize", B, "0"}},
    {SettingKey::WindowHeight, {Prefs, "WindowHeight", I, "177"}},
    {SettingKey::WindowWidth, {Prefs, "WindowWidth", I, "328"}},
    {SettingKey::NoteHeight, {Prefs, "NoteHeight", I, "129"}},
    {SettingKey::WindowState, {Prefs, "WindowState", S, "wsNormal"}},
    {SettingKey::Transparency, {Prefs, "Transparency", B, "0"}},
    {SettingKey::NotePane, {Prefs, "NotePane", B, "0"}},
    {SettingKey::FlatToolbar, {Prefs, "FlatToolbar", B, "1"}},
    {SettingKey::CustomCols, {Prefs, "CustomCols", B, "1"}},
    {SettingKey::ColumnWidths, {Prefs, "ColumnWidths", S, nullptr}},
    {SettingKey::SelectedRow, {Prefs, "SelectedRow", I, nullptr}},
    {SettingKey::Sorted, {Prefs, "Sorted", S, "(none)"}},
    {SettingKey::SortedOrdr, {Prefs, "SortedOrdr", I, "0"}},
    {SettingKey::Alert, {Prefs, "Alert", B, "0"}},
    {SettingKey::Alert_s, {Prefs, "Alert_s", B, "1"}},
    {SettingKey::AutoArchiv, {Prefs, "AutoArchiv", B, "0"}},
    // The preferences dialog's default; the archive command passes its own (off).
    {SettingKey::AutoArchivAsk, {Prefs, "AutoArchivAsk", B, "1"}},
    {SettingKey::EmailMe, {Prefs, "EmailMe", B, "0"}},
    {SettingKey::AutoRun, {Prefs, "AutoRun", B, "0"}},
    {SettingKey::DefNewTime, {Prefs, "DefNewTime", S, "09h:30"}},
    {SettingKey::ShowHints, {Prefs, "ShowHints", S, "true"}},
    // Written, never read back.
    {SettingKey::ColorCoded, {Prefs, "ColorCoded", B, "0"}},
    {SettingKey::INIsavePath, {Prefs, "INIsavePath", S, nullptr}},
    {SettingKey::SortedArch, {Prefs, "SortedArch", I, "6"}},
    // Obsolete: only ever deleted.
    {SettingKey::SortedHint, {Prefs, "SortedHint", S, ""}},
    // Reminders also go to the desktop's notification service.
    {SettingKey::DesktopNotify, {Prefs, "DesktopNotify", B, "1"}},
    {SettingKey::Language, {Opts, "Language", S, "English"}},
    {SettingKey::Cats, {Cat, "Cats", I, "0"}},
    {SettingKey::ArchWindowPosition, {Arch, "WindowPosition", B, "0"}},
    {SettingKey::ArchWindowPositionLeft, {Arch, "WindowPositionLeft", I, nullptr}},
    {SettingKey::ArchWindowPositionTop, {Arch, "WindowPositionTop", I, nullptr}},
    {SettingKey::ArchWindowSize, {Arch, "WindowSize", B, "0"}},
    {SettingKey::ArchWindowHeight, {Arch, "WindowHeight", I, "139"}},
    {SettingKey::ArchWindowWidth, {Arch, "WindowWidth", I, "309"}},
    {SettingKey::UnArchivAsk, {Arch, "UnArchivAsk", B, "1"}},
    // The CalDAV account (its password is in the desktop's secret store, never here).
    {SettingKey::SyncCalendar, {Sync, "Calendar", S, ""}},
    {SettingKey::SyncUser, {Sync, "User", S, ""}},
    {SettingKey::SyncEnabled, {Sync, "Enabled", B, "0"}},
    // The SHA-256 fingerprint of a certificate the user chose to trust.
    {SettingKey::SyncTrustedCertificate, {Sync, "TrustedCertificate", S, ""}},
    // A host the user let the password go to over plain http.
    {SettingKey::SyncPlainHttpHost, {Sync, "PlainHttpHost", S, ""}},
};

constexpr std::size_t kCount = sizeof(kEntries) / sizeof(kEntries[0]);

// The table is indexed by the enum: a key added to the enum but not here, or out of
// order, must not compile.
constexpr bool inEnumOrder()
{
    for (std::size_t i = 0; i < kCount; ++i) {
        if (static_cast<std::size_t>(kEntries[i].id) != i)
            return false;
    }
    return true;
}
static_assert(kCount == static_cast<std::size_t>(SettingKey::SyncPlainHttpHost) + 1,
              "every SettingKey needs a table entry");
static_assert(inEnumOrder(), "table entries must follow the SettingKey order");

} // namespace

const SettingInfo &settingInfo(SettingKey key)
{
    return kEntries[static_cast<std::size_t>(key)].info;
}
