#pragma once

#include "platform/MessageService.h"
#include "platform/NotificationService.h"
#include "platform/SecretStore.h"
#include "platform/Services.h"
#include "store/Clock.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QUrl>

// Fakes of the platform seam. Each records what the program asked of it.

// Records every box; answers from `answers` in order, then with the box's
// affirmative button (Ok, or Yes).
class FakeMessageService : public MessageService
{
public:
    MsgResult show(QWidget *parent, const MessageRequest &request) override;

    QList<MessageRequest> shown;
    QList<MsgResult> answers;
};

class FakeClock : public Clock
{
public:
    explicit FakeClock(const QDateTime &start = QDateTime(QDate(2026, 12, 9), QTime(10, 0)))
        : m_now(start)
    {
    }
    QDateTime now() const override { return m_now; }
    void set(const QDateTime &now) { m_now = now; }
    void advance(qint64 secs) { m_now = m_now.addSecs(secs); }

private:
    QDateTime m_now;
};

class FakeUrlOpener : public UrlOpener
{
public:
    bool open(const QUrl &url) override
    {
        opened.append(url);
        return result;
    }
    QList<QUrl> opened;
    bool result = true;
};

// Keeps the file's bytes as they were when the viewer was asked to open it.
class FakeTextViewer : public TextViewer
{
public:
    struct Opened
    {
        QString path;
        QByteArray content;
    };
    bool openFile(const QString &path) override;
    QList<Opened> opened;
};

// Answers with `answer`, or cancels when it is empty.
class FakeFolderBrowser : public FolderBrowser
{
public:
    struct Call
    {
        QString title;
        QString startPath;
    };
    std::optional<QString> browse(QWidget *parent, const QString &title,
                                  const QString &startPath) override;
    std::optional<QString> answer;
    QList<Call> calls;
};

// Serves `pages` (address text → body); any other address fails.
class FakeDownloader : public Downloader
{
public:
    bool download(const QUrl &url, const QString &localPath) override;
    QMap<QString, QByteArray> pages;
    QList<QUrl> requested;
};

class FakeOsInfo : public OsInfo
{
public:
    bool needsRepaintOnAltTab() const override { return repaintOnAltTab; }
    bool repaintOnAltTab = false;
};

// Records the entries instead of writing them; a failure can be scripted.
class FakeAutostart : public AutostartService
{
public:
    void writeRunEntry(const QString &programPath) override;
    void removeRunEntry() override;
    void writeFolderMarker() override;
    void removeFolderMarker() override;

    bool runEntry = false;
    QString runEntryProgram;
    bool folderMarker = false;
    bool failRunEntry = false; // writeRunEntry throws "Failed to set data for 'Tasklyn'"
    bool failFolderMarker =
        false;         // writeFolderMarker throws "Failed to create key Software\Tasklyn"
    QStringList calls; // "writeRunEntry", "removeRunEntry", ... in order
};

// Records every desktop notification with what picking it would run.
class FakeNotifications : public NotificationService
{
public:
    struct Sent
    {
        QString summary;
        QString body;
        Urgency urgency;
        QString actionLabel;
        std::function<void()> activated;
    };
    void notify(const QString &summary, const QString &body, Urgency urgency,
                const QString &actionLabel, std::function<void()> activated) override
    {
        sent.append({summary, body, urgency, actionLabel, std::move(activated)});
    }
    QList<Sent> sent;
};

// Keeps secrets in memory and answers on the event loop; `available` false: no
// store answers at all. `holding`: the answers wait for answerHeld(), as a locked
// keyring's wait for its unlock prompt.
class FakeSecretStore : public SecretStore
{
public:
    void read(const QString &key, Done done) override;
    void write(const QString &key, const QString &secret, Done done) override;
    void remove(const QString &key, Done done) override;
    void answerHeld();

    QMap<QString, QString> secrets;
    bool available = true;
    bool holding = false;
    QList<std::function<void()>> held;

private:
    void answer(Done done, const Answer &a);
};
