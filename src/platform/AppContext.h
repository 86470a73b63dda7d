#pragma once

#include <QString>
#include <QStringList>

class Settings;
class DamagedFiles;
class DateFormat;
class MessageService;
class Clock;
class FolderBrowser;
class UrlOpener;
class TextViewer;
class PrinterService;
class Downloader;
class AutostartService;
class OsInfo;
class DailyBackup;
class NotificationService;
class SyncController;

// What every window receives on construction: the program folder, the one
// settings object, the program-wide date format and the operating-system services.
struct AppContext
{
    QString programFolder; // with its trailing '/'
    QString programPath;   // the executable
    QStringList arguments; // without the program name

    Settings *settings = nullptr;
    DamagedFiles *damagedFiles = nullptr; // what the run knows of damaged record files
    DateFormat *dates = nullptr;
    DailyBackup *backups = nullptr; // the daily copies of the files; none in most tests

    MessageService *messages = nullptr;
    Clock *clock = nullptr;
    FolderBrowser *folders = nullptr;
    UrlOpener *urls = nullptr;
    TextViewer *textViewer = nullptr;
    PrinterService *printers = nullptr;
    Downloader *downloader = nullptr;
    AutostartService *autostart = nullptr;
    OsInfo *os = nullptr;
    NotificationService *notifications = nullptr; // none: no desktop notifications
    SyncController *sync = nullptr;               // the CalDAV sync; none in most tests

    QString file(const QString &name) const { return programFolder + name; }
};

namespace FileNames {
inline const QString Settings = QStringLiteral("Tasklyn.INI");
inline const QString Data = QStringLiteral("Tasklyn.DAT");
inline const QString Archive = QStringLiteral("Tasklyn.ARK");
inline const QString OldArchive = QStringLiteral("Tasklyn.ARH");
// The side file of task identities and sync state (store/TaskIdentities).
inline const QString Identities = QStringLiteral("Tasklyn.IDS");
// What the daily backup copies; the first one's tasks are counted.
inline QStringList backedUp()
{
    return {Data, Archive, Settings, Identities};
}
} // namespace FileNames
