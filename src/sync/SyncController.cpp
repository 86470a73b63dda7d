#include "SyncController.h"

#include "SyncAccount.h"
#include "SyncText.h"
#include "platform/SecretStore.h"
#include "store/Clock.h"
#include "store/Settings.h"
#include "tasks/TaskList.h"

SyncController::SyncController(TaskList &tasks, TaskIdentities &identities, Settings &settings,
                               const DateFormat &dates, const Clock &clock, SecretStore &secrets,
                               QObject *parent)
    : QObject(parent), m_tasks(tasks), m_identities(identities), m_settings(settings),
      m_dates(dates), m_clock(clock), m_secrets(secrets)
{
    for (QTimer *t : {&m_afterChange, &m_retry})
        t->setSingleShot(true);
    connect(&m_afterChange, &QTimer::timeout, this, &SyncController::begin);
    connect(&m_retry, &QTimer::timeout, this, &SyncController::begin);
    connect(&m_every, &QTimer::timeout, this, [this] {
        if (!m_waiting)
            begin();
    });
}

SyncController::~SyncController() = default;

void SyncController::setDelays(int afterChange, int every, int firstRetry, int longestRetry)
{
    m_afterChangeMs = afterChange;
    m_everyMs = every;
    m_firstRetryMs = firstRetry;
    m_longestRetryMs = longestRetry;
}

void SyncController::schedule(QTimer &timer, int ms)
{
    timer.start(ms);
}

void SyncController::start()
{
    // A change recorded or undone: the server hears of it a few seconds later,
    // once a burst of changes is over. The sync's own changes do not count.
    connect(&m_tasks, &TaskList::undoChanged, this, [this] {
        if (m_session && m_session->writingHere())
            return;
        if (running())
            m_again = true; // once this sync is over
        else if (!m_waiting)
            schedule(m_afterChange, m_afterChangeMs);
    });
    // A restore put other files in place: a sync under way works on what they
    // were, so it stops (writing nothing more) and a new one starts.
    connect(&m_tasks, &TaskList::filesReplaced, this, [this] {
        if (running()) {
            m_client.abortAll();
            m_session.reset();
        }
        schedule(m_afterChange, m_afterChangeMs);
    });
    m_every.start(m_everyMs);
    begin();
}

void SyncController::syncNow()
{
    m_waiting = false;
    m_declined = false;
    begin();
}

void SyncController::accountChanged(std::optional<QString> password)
{
    m_password = std::move(password);
    m_declined = false;
    m_waiting = false;
    m_retryMs = 0;
    m_retry.stop();
}

void SyncController::begin()
{
    if (running()) {
        m_again = true;
        return;
    }
    const SyncAccount account = SyncAccount::read(m_settings);
    if (!account.configured() || !account.enabled)
        return;
    // In the language chosen now: the conflict copies' mark, the questions, the
    // result's texts.
    m_language = chosenLanguage(m_settings);
    withPassword([this](std::optional<QString> password) {
        if (password) {
            run(*password);
            return;
        }
        SyncReport report;
        report.error = syncText("NoPassword", m_language);
        ended(report);
    });
}

void SyncController::withPassword(std::function<void(std::optional<QString>)> then)
{
    const SyncAccount account = SyncAccount::read(m_settings);
    if (account.user.isEmpty())
        return then(QString());
    if (m_password)
        return then(m_password);
    if (m_declined)
        return then(std::nullopt);
    m_secrets.read(account.secretKey(), [this, account, then](const SecretStore::Answer &a) {
        if (a.ok) {
            m_password = a.secret;
            return then(m_password);
        }
        // No secret store, or nothing in it: asked once this run, never written to a file.
        const auto text = [this](const char *key) { return syncText(key, m_language); };
        const QString why = a.missing
                                ? text("NoPasswordKept").arg(account.user)
                                : text("NoSecretStore").arg(text("SecretStoreFailed").arg(a.error));
        const QString ask = why + QStringLiteral("\r\r") +
                            text("PasswordOf").arg(account.user, account.calendar.host());
        const std::optional<QString> given = m_prompt ? m_prompt(ask) : std::nullopt;
        if (!given) {
            m_declined = true;
            return then(std::nullopt);
        }
        m_password = given;
        if (a.missing)
            m_secrets.write(account.secretKey(), *given, [](const SecretStore::Answer &) {});
        then(m_password);
    });
}

void SyncController::run(const QString &password)
{
    const SyncAccount account = SyncAccount::read(m_settings);
    account.applyTo(m_client, password);
    m_client.setLanguage(m_language);
    SyncSession::Setup setup;
    setup.calendar = account.calendar;
    setup.language = m_language;
    setup.ask = m_ask;
    m_session =
        std::make_unique<SyncSession>(m_client, m_tasks, m_identities, m_dates, m_clock, setup);
    m_percent = -1;
    // Told once a percent: each telling redraws the menu line and the tray's tooltip.
    connect(m_session.get(), &SyncSession::progress, this, [this](int done, int total) {
        m_progress = {done, total};
        const int percent = total > 0 ? int(qint64(done) * 100 / total) : 100;
        if (total >= LongSync && percent != m_percent) {
            m_percent = percent;
            emit statusChanged();
        }
    });
    // Ended from the event loop: a session may finish inside its start.
    connect(m_session.get(), &SyncSession::finished, this, [this] {
        QTimer::singleShot(0, this, [this] {
            if (m_session)
                ended(m_session->report());
        });
    });
    m_session->start();
}

void SyncController::ended(const SyncReport &result)
{
    const SyncReport report = result; // the session goes now
    m_session.reset();
    m_lastAt = m_clock.now();
    m_lastReport = report;
    m_progress = {};
    if (report.ok()) {
        m_retryMs = 0;
        m_waiting = false;
    } else {
        const bool firstFailure = m_retryMs == 0 && !m_waiting;
        if (report.unauthorized)
            m_password.reset();
        // What only the user can mend waits for them; anything else is tried again,
        // each time after a longer pause.
        m_waiting = report.unauthorized || report.plainHttpRefused ||
                    !report.certificateProblem.isEmpty() || m_declined;
        if (!m_waiting) {
            m_retryMs = m_retryMs ? std::min(2 * m_retryMs, m_longestRetryMs) : m_firstRetryMs;
            schedule(m_retry, m_retryMs);
        }
        if (firstFailure)
            emit failed(report.error, report);
    }
    emit statusChanged();
    emit finished(report);
    if (m_again && report.ok()) {
        m_again = false;
        schedule(m_afterChange, m_afterChangeMs);
    }
}

QString SyncController::status(Language language) const
{
    const auto text = [language](const char *key) { return syncText(key, language); };
    if (running() && m_progress.second >= LongSync)
        return text("Syncing").arg(m_progress.first).arg(m_progress.second);
    if (const SyncAccount account = SyncAccount::read(m_settings);
        !account.configured() || !account.enabled)
        return text("SyncOff");
    if (!m_lastAt.isValid())
        return text("NeverSynced");
    const QString at = m_lastAt.toString(QStringLiteral("HH:mm"));
    if (m_lastReport.ok())
        return text("SyncedAt").arg(at).arg(m_lastReport.sent).arg(m_lastReport.received);
    return text("NotSyncedAt").arg(at, m_lastReport.error);
}
