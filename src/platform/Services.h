#pragma once

#include <QString>
#include <QUrl>
#include <memory>
#include <optional>

class QWidget;
class QPrinter;

// Shared-folder browser.
class FolderBrowser
{
public:
    virtual ~FolderBrowser() = default;
    // The chosen folder, or nothing when the user cancels.
    virtual std::optional<QString> browse(QWidget *parent, const QString &title,
                                          const QString &startPath) = 0;
};

// Web pages and mail links; never through a shell.
class UrlOpener
{
public:
    virtual ~UrlOpener() = default;
    virtual bool open(const QUrl &url) = 0;
};

// The desktop's plain-text viewer for the export and the help text.
class TextViewer
{
public:
    virtual ~TextViewer() = default;
    virtual bool openFile(const QString &path) = 0;
};

// The system's default printer; nullptr when there is none.
class PrinterService
{
public:
    virtual ~PrinterService() = default;
    virtual std::unique_ptr<QPrinter> defaultPrinter() = 0;
};

// Download of an address to a local file, with a time limit and a size cap.
class Downloader
{
public:
    virtual ~Downloader() = default;
    virtual bool download(const QUrl &url, const QString &localPath) = 0;
};

// The automatic start at log-in and the marker the shared-folder option leaves.
class AutostartService
{
public:
    virtual ~AutostartService() = default;
    virtual void writeRunEntry(const QString &programPath) = 0; // throws StoreError
    virtual void removeRunEntry() = 0;                          // failures ignored
    virtual void writeFolderMarker() = 0;                       // throws StoreError
    virtual void removeFolderMarker() = 0;                      // failures ignored
};

// Facts about the operating system that some behaviour depends on.
class OsInfo
{
public:
    virtual ~OsInfo() = default;
    // Buttons and check boxes need a repaint after Alt or Tab is released: a
    // rendering fault of one Windows generation; never on Linux.
    virtual bool needsRepaintOnAltTab() const { return false; }
};
