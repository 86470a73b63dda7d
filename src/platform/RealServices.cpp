#include "RealServices.h"

#include "AppContext.h"
#include "store/SaveFile.h"
#include "store/StoreError.h"

#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSettings>
#include <QTimer>

bool QtUrlOpener::open(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

bool DesktopTextViewer::openFile(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

std::optional<QString> QtFolderBrowser::browse(QWidget *parent, const QString &title,
                                               const QString &startPath)
{
    const QString dir =
        QFileDialog::getExistingDirectory(parent, title, startPath, QFileDialog::ShowDirsOnly);
    if (dir.isEmpty())
        return std::nullopt;
    return dir;
}

std::unique_ptr<QPrinter> CupsPrinterService::defaultPrinter()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return nullptr;
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

NetworkDownloader::NetworkDownloader(std::chrono::milliseconds timeLimit, qint64 sizeCap)
    : m_timeLimit(timeLimit), m_sizeCap(sizeCap)
{
}

bool NetworkDownloader::download(const QUrl &url, const QString &localPath)
{
    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setTransferTimeout(int(m_timeLimit.count()));
    QNetworkReply *reply = manager.get(request);

    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    bool tooBig = false;
    bool timedOut = false;

    QObject::connect(&limit, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::downloadProgress, &loop,
                     [&](qint64 received, qint64 total) {
                         if (received > m_sizeCap || total > m_sizeCap) {
                             tooBig = true;
                             reply->abort();
                         }
                     });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);

    limit.start(m_timeLimit);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    limit.stop();

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool ok = !tooBig && !timedOut && reply->error() == QNetworkReply::NoError &&
                    (status == 0 || (status >= 200 && status < 300));
    QByteArray body;
    if (ok)
        body = reply->readAll();
    reply->deleteLater();
    if (!ok || body.size() > m_sizeCap)
        return false;

    return SaveFile::replace(localPath, body);
}

QString XdgAutostartService::entryPath()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart/Tasklyn.desktop");
}

QString XdgAutostartService::execLine(const QString &programPath)
{
    // Inside double quotes the launcher takes ", `, $ and \ only escaped by a
    // backslash; a literal % is %% (field codes).
    QString quoted;
    for (const QChar c : programPath) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        else if (c == QLatin1Char('%'))
            quoted += QLatin1Char('%');
        quoted += c;
    }
    const QString exec = QLatin1Char('"') + quoted + QStringLiteral("\" /ar");

    // The value is then a string key, whose own escaping comes first when read:
    // every backslash doubles, and control characters are spelled out.
    QString value;
    for (const QChar c : exec) {
        if (c == QLatin1Char('\\'))
            value += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            value += QStringLiteral("\\n");
        else if (c == QLatin1Char('\t'))
            value += QStringLiteral("\\t");
        else if (c == QLatin1Char('\r'))
            value += QStringLiteral("\\r");
        else
            value += c;
    }
    return value;
}

void XdgAutostartService::writeRunEntry(const QString &programPath)
{
    const QString path = entryPath();
    const StoreError failed(
        QStringLiteral("Failed to set data for '%1'").arg(QStringLiteral("Tasklyn")));
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        throw failed;

    QByteArray text;
    text += "[Desktop Entry]\n";
    text += "Type=Application\n";
    text += "Name=Nudgery\n";
    text += "Exec=" + execLine(programPath).toUtf8() + "\n";
    text += "X-GNOME-Autostart-enabled=true\n";

    if (!SaveFile::replace(path, text))
        throw failed;
}

void XdgAutostartService::removeRunEntry()
{
    QFile::remove(entryPath());
}

void XdgAutostartService::writeFolderMarker()
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tasklyn"));
    store.setValue(QStringLiteral("Tasklyn"), QStringLiteral("1"));
    store.sync();
    if (store.status() != QSettings::NoError)
        throw StoreError(QStringLiteral("Failed to create key Software\\Tasklyn"));
}

void XdgAutostartService::removeFolderMarker()
{
    // The whole store goes, as the key with its subkeys would.
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tasklyn"));
    store.clear();
    store.sync();
    const QString file = store.fileName();
    if (QFileInfo(file).isFile())
        QFile::remove(file);
}

RealPlatform::RealPlatform() = default;
RealPlatform::~RealPlatform() = default;

void RealPlatform::wire(AppContext &ctx)
{
    ctx.messages = &m_messages;
    ctx.clock = &m_clock;
    ctx.folders = &m_folders;
    ctx.urls = &m_urls;
    ctx.textViewer = &m_textViewer;
    ctx.printers = &m_printers;
    ctx.downloader = &m_downloader;
    ctx.autostart = &m_autostart;
    ctx.os = &m_os;
    ctx.notifications = &m_notifications;
}
