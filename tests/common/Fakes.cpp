#include "Fakes.h"

#include <QTimer>

#include "store/StoreError.h"

#include <QFile>

#include <utility>

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

namespace {

SecretStore::Answer unavailable()
{
    SecretStore::Answer a;
    a.error = QStringLiteral("no store");
    return a;
}

} // namespace

void FakeSecretStore::answer(Done done, const Answer &a)
{
    const auto told = [done, a] { done(a); };
    if (holding)
        held.append(told);
    else
        QTimer::singleShot(0, told);
}

void FakeSecretStore::answerHeld()
{
    const QList<std::function<void()>> answers = std::exchange(held, {});
    for (const auto &told : answers)
        told();
}

void FakeSecretStore::read(const QString &key, Done done)
{
    if (!available)
        return answer(done, unavailable());
    SecretStore::Answer a;
    a.ok = secrets.contains(key);
    a.missing = !a.ok;
    a.secret = secrets.value(key);
    answer(done, a);
}

void FakeSecretStore::write(const QString &key, const QString &secret, Done done)
{
    if (!available)
        return answer(done, unavailable());
    secrets.insert(key, secret);
    SecretStore::Answer a;
    a.ok = true;
    answer(done, a);
}

void FakeSecretStore::remove(const QString &key, Done done)
{
    if (!available)
        return answer(done, unavailable());
    secrets.remove(key);
    SecretStore::Answer a;
    a.ok = true;
    answer(done, a);
}
