#pragma once

#include "DavClient.h"
#include "SyncPlan.h"
#include "i18n/LanguageTables.h"

#include <QObject>
#include <QStringList>
#include <QUrl>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

class Clock;
class DateFormat;
class TaskIdentities;
class TaskList;
namespace Multistatus {
struct Answer;
}

// What one sync did, for the user.
struct SyncReport
{
    QString error;     // why the sync stopped; empty when it went through
    int sent = 0;      // tasks made, changed or deleted on the server
    int received = 0;  // tasks added, changed or deleted here
    int merged = 0;    // tasks changed on both sides, merged into one
    int conflicts = 0; // conflict copies made
    QStringList notes; // items left alone, and why
    int requests = 0;
    // Set with the error when the user can mend it: a certificate to trust, a
    // password to give, plain http to allow.
    QString certificateProblem;
    QByteArray certificateSha256;
    bool unauthorized = false;
    bool plainHttpRefused = false;

    bool ok() const { return error.isEmpty(); }
};

// One two-way sync of the task list with one CalDAV calendar, asynchronous: the
// server's changes since the last sync (sync-collection, or a comparison of
// ETags where the server refuses its token), then the changes here; every
// task's part decided by SyncDecision; changes here made through the task list
// (so undo and the daily backup cover them), and every write to the server
// conditional, a refused one fetched, decided again and retried.
class SyncSession : public QObject
{
    Q_OBJECT
public:
    struct Setup
    {
        QUrl calendar;
        // Of the questions, the notes and the mark a conflict copy's text gets.
        Language language = Language::English;
        // A question for the user (Yes: true); none: No.
        std::function<bool(const QString &)> ask;
        // More tasks deleted here than this at once are asked about first.
        int massDeleteLimit = 5;
    };

    SyncSession(DavClient &client, TaskList &tasks, TaskIdentities &identities,
                const DateFormat &dates, const Clock &clock, Setup setup,
                QObject *parent = nullptr);
    ~SyncSession() override;

    void start();
    const SyncReport &report() const { return m_report; }
    // Finished (the report is whole).
    bool over() const { return m_over; }
    // Making its changes here just now: the task list's signals are its own.
    bool writingHere() const { return m_writingHere; }

signals:
    void progress(int done, int total);
    void finished(const SyncReport &report);

private:
    void list(const QByteArray &token);
    void listed(const DavReply &reply, const QByteArray &token);
    struct Listing
    {
        QString error;
        QByteArray token;
        bool more = false;                 // the server lists the rest from the token
        QHash<QString, QByteArray> listed; // path → ETag
        QSet<QString> gone;
    };
    void listedRead(Listing &listing, const QByteArray &token);
    void listByProperties();
    void listedByProperties(const Multistatus::Answer &answer);
    void vanished();
    void fetch();
    void fetched(const DavReply &reply, const QStringList &asked);
    void readFetched(const std::shared_ptr<const Multistatus::Answer> &answer,
                     const QStringList &asked, qsizetype from, QSet<QString> answered);
    void fetchOne(const QString &href, std::function<void(const RemoteItem *)> done);
    void plan();
    struct Planned;
    void carryOut(Planned &planned);
    // Reads a multistatus answer away from the window's thread, then goes on.
    void readAside(const QByteArray &body, std::function<void(const Multistatus::Answer &)> then);
    // Runs work on a thread of its own, then (on this object's thread, unless the
    // sync ended meanwhile) then: pure work only, on what it was given.
    void aside(std::function<void()> work, std::function<void()> then);
    void putIdentities();
    void applyLocal();
    void applyLocalPart(SyncJob &job);
    void removeLocal();
    // Whether the record is still where the plan found it, unchanged: one that
    // changed here since is left for the next sync.
    bool stillThere(const LocalTasks::Record &record) const;
    // The repeat rule of the server's copy given to the task, when the server set or
    // changed it (seenBefore: the copy the side file knew).
    void takeServersRule(TaskIdentities::Identity &identity, const QByteArray &seenBefore,
                         const SyncJob &job) const;
    void pushRemote();
    void pushOne(SyncJob job);
    void pushed(SyncJob job, const QByteArray &body, const DavReply &reply);
    void retry(SyncJob job);
    void inStep(const SyncJob &job, const QByteArray &key);
    void fail(const QString &message, const DavReply *reply = nullptr);
    void finish();

    QUrl urlOf(const QString &href) const;
    QString calendarPath() const;
    QDate today() const;
    // The due date the task at path has here, for a to-do that comes without one.
    QDate dueHere(const QString &href) const;
    const QHash<QString, QByteArray> &baseAt() const;
    // What a sync tells, in its language.
    QString text(const char *key) const;
    QString unreadable(const QString &why) const;
    // The reason an answer to what was asked (a key of the texts, or none) is no
    // good, for the user.
    QString problem(const DavReply &reply, const char *what) const;

    DavClient &m_client;
    TaskList &m_tasks;
    TaskIdentities &m_ids;
    const DateFormat &m_dates;
    const Clock &m_clock;
    Setup m_setup;
    SyncReport m_report;
    int m_sentBefore = 0;
    bool m_over = false;

    QByteArray m_newToken;
    bool m_full = false;                 // every item listed, not only changes
    QHash<QString, QByteArray> m_listed; // path → ETag
    RemoteChanges m_remote;
    // Path → its task's key when last in step.
    mutable std::optional<QHash<QString, QByteArray>> m_baseAt;
    mutable QDate m_today;
    QStringList m_toFetch;
    SyncPlan m_plan;
    size_t m_next = 0;
    QList<QPair<QString, LocalTasks::Record>> m_removals; // UID, its record here
    std::deque<SyncJob> m_pushes;
    int m_inFlight = 0;
    int m_total = 0;
    int m_done = 0;
    bool m_incomplete = false; // something is left for the next sync
    bool m_writingHere = false;
    std::thread m_worker;
};
