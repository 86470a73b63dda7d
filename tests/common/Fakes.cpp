#include "Fakes.h"

#include "store/StoreError.h"

#include <QFile>

MsgResult FakeMessageService::show(QWidget *, const MessageRequest &request)
{
    shown.append(request);
    if (!answers.isEmpty())
        return answers.takeFirst();
    return request.buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Yes;
}

bool FakeTextViewer::openFile(const QString &path)
{
    QFile f(path);
    QByteArray content;
    if (f.open(QIODevice::ReadOnly))
        content = f.readAll();
    opened.append({path, content});
    return true;
}

std::optional<QString> FakeFolderBrowser::browse(QWidget *, const QString &title,
                                                 const QString &startPath)
{
    calls.append({title, startPath});
    return answer;
}

bool FakeDownloader::download(const QUrl &url, const QString &localPath)
{
    requested.append(url);
    const auto it = pages.constFind(url.toString());
    if (it == pages.constEnd())
        return false;
    QFile f(localPath);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(*it) == it->size();
}

void FakeAutostart::writeRunEntry(const QString &programPath)
{
    calls.append(QStringLiteral("writeRunEntry"));
    if (failRunEntry)
        throw StoreError(QStringLiteral("Failed to set data for 'Tasklyn'"));
    runEntry = true;
    runEntryProgram = programPath;
}

void FakeAutostart::removeRunEntry()
{
    calls.append(QStringLiteral("removeRunEntry"));
    runEntry = false;
    runEntryProgram.clear();
}

void FakeAutostart::writeFolderMarker()
{
    calls.append(QStringLiteral("writeFolderMarker"));
    if (failFolderMarker)
        throw StoreError(QStringLiteral("Failed to create key Software\\Tasklyn"));
    folderMarker = true;
}

void FakeAutostart::removeFolderMarker()
{
    calls.append(QStringLiteral("removeFolderMarker"));
    folderMarker = false;
}
