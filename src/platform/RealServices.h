#pragma once

#include "DbusNotificationService.h"
#include "QtMessageService.h"
#include "Services.h"
#include "store/Clock.h"

#include <chrono>
#include <memory>

struct AppContext;

class QtUrlOpener : public UrlOpener
{
public:
    bool open(const QUrl &url) override;
};

class DesktopTextViewer : public TextViewer
{
public:
    bool openFile(const QString &path) override;
};

class QtFolderBrowser : public FolderBrowser
{
public:
    std::optional<QString> browse(QWidget *parent, const QString &title,
                                  const QString &startPath) override;
};

class CupsPrinterService : public PrinterService
{
public:
    std::unique_ptr<QPrinter> defaultPrinter() override;
};

// Fetches in a local event loop, so the windows keep repainting meanwhile. A call
// that runs past the time limit or whose body passes the size cap is aborted and
// fails; the file is written only when the whole body arrived.
class NetworkDownloader : public Downloader
{
public:
    static constexpr std::chrono::milliseconds DefaultTimeLimit{15000};
    static constexpr qint64 DefaultSizeCap = 1024 * 1024;

    explicit NetworkDownloader(std::chrono::milliseconds timeLimit = DefaultTimeLimit,
                               qint64 sizeCap = DefaultSizeCap);
    bool download(const QUrl &url, const QString &localPath) override;

private:
    std::chrono::milliseconds m_timeLimit;
    qint64 m_sizeCap;
};

// The log-in start is an XDG autostart entry; the shared-folder marker is a
// native settings store of organisation "Tasklyn" (the same key on Windows).
class XdgAutostartService : public AutostartService
{
public:
    void writeRunEntry(const QString &programPath) override;
    void removeRunEntry() override;
    void writeFolderMarker() override;
    void removeFolderMarker() override;

    // $XDG_CONFIG_HOME (or ~/.config) + "/autostart/Tasklyn.desktop"
    static QString entryPath();
    // The Exec value for a program path: quoted and escaped for a desktop entry.
    static QString execLine(const QString &programPath);
};

// Owns the real services and hands them to the context.
class RealPlatform
{
public:
    RealPlatform();
    ~RealPlatform();
    void wire(AppContext &ctx);

private:
    QtMessageService m_messages;
    SystemClock m_clock;
    QtFolderBrowser m_folders;
    QtUrlOpener m_urls;
    DesktopTextViewer m_textViewer;
    CupsPrinterService m_printers;
    NetworkDownloader m_downloader;
    XdgAutostartService m_autostart;
    OsInfo m_os;
    DbusNotificationService m_notifications;
};
