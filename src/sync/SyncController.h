#pragma once

#include "DavClient.h"
#include "SyncSession.h"
#include "i18n/LanguageTables.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class Clock;
class DateFormat;
class SecretStore;
class Settings;
class TaskIdentities;
class TaskList;

// When the sync runs, for a window to hold: at start-up, a few seconds after each
// change, every few minutes and on request, one at a time; after a failure again
// with a growing pause, the failure told once and not at every retry. What the
// user must mend (a password refused, a certificate, plain http) waits for the
// next request instead. The window shows status() and asks its questions.
class SyncController : public QObject
{
    Q_OBJECT
public:
    SyncController(TaskList &tasks, TaskIdentities &identities, Settings &settings,
                   const DateFormat &dates, const Clock &clock, SecretStore &secrets,
                   QObject *parent = nullptr);
    ~SyncController() override;

    // A sync with this many tasks or more to send shows how far it got.
    static constexpr int LongSync = 50;

    // Milliseconds; the defaults suit a person, tests set short ones.
    void setDelays(int afterChange, int every, int firstRetry, int longestRetry);
    // Questions for the user (Yes: true); none: every question is answered No.
    void setAsk(std::function<bool(const QString &)> ask) { m_ask = std::move(ask); }
    // The password when the secret store has none or does not answer: asked once a
    // run, with why and for whom; nothing: the user declined.
    void setPasswordPrompt(std::function<std::optional<QString>(const QString &question)> prompt)
    {
        m_prompt = std::move(prompt);
    }
    DavClient &client() { return m_client; }

    // Syncs now when an account is set up and on, then keeps syncing.
    void start();
    // "Synchronise now": also after a failure the user has mended.
    void syncNow();
    // The account changed (the password too): the next sync reads it afresh, or
    // uses the password given (one the user just typed).
    void accountChanged(std::optional<QString> password = std::nullopt);
    bool running() const { return m_session != nullptr; }
    // The last sync's time and result, in a line; while one runs a long way,
    // how far it got.
    QString status(Language language = Language::English) const;
    // The language the last sync (or the one running) was chosen in: its texts'.
    Language language() const { return m_language; }
    SecretStore &secrets() { return m_secrets; }

signals:
    // status() changed: a sync ended, or a long one went on by a percent.
    void statusChanged();
    // A sync failed after others went through (or at the first): told once, until
    // one goes through again.
    void failed(const QString &message, const SyncReport &report);
    void finished(const SyncReport &report);

private:
    void schedule(QTimer &timer, int ms);
    void begin();
    void withPassword(std::function<void(std::optional<QString>)> then);
    void run(const QString &password);
    void ended(const SyncReport &report);

    TaskList &m_tasks;
    TaskIdentities &m_identities;
    Settings &m_settings;
    const DateFormat &m_dates;
    const Clock &m_clock;
    SecretStore &m_secrets;
    DavClient m_client;
    std::unique_ptr<SyncSession> m_session;
    std::function<bool(const QString &)> m_ask;
    std::function<std::optional<QString>(const QString &)> m_prompt;
    std::optional<QString> m_password; // for this run, once read or asked
    bool m_declined = false;           // the user gave no password this run
    QTimer m_afterChange;
    QTimer m_every;
    QTimer m_retry;
    int m_afterChangeMs = 5000;
    int m_everyMs = 5 * 60 * 1000;
    int m_firstRetryMs = 30 * 1000;
    int m_longestRetryMs = 30 * 60 * 1000;
    int m_retryMs = 0;      // the pause before the next retry; 0: none failed
    bool m_waiting = false; // for the user to mend something
    bool m_again = false;   // a change came while a sync ran
    QDateTime m_lastAt;     // when the last sync ended; none yet: invalid
    SyncReport m_lastReport;
    QPair<int, int> m_progress; // tasks sent of all to send, while one runs
    int m_percent = -1;         // of m_progress, as last told
    Language m_language = Language::English;
};
