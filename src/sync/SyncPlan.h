#pragma once

#include "CalendarObject.h"
#include "LocalTasks.h"
#include "SyncDecision.h"
#include "i18n/LanguageTables.h"
#include "store/TaskIdentities.h"

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

class DateFormat;

// An item of the calendar as the server last sent it.
struct RemoteItem
{
    QString href;
    QByteArray etag;
    QByteArray text;
    CalendarObject::Read read;
};

// What the server said of the calendar since the last sync.
struct RemoteChanges
{
    QHash<QString, RemoteItem> fetched; // new or changed items, by path
    QSet<QString> gone;                 // items no longer there, by path
};

// One task's part of a sync: where it stands on both sides, what is done, and
// the server's copy a change is written into.
struct SyncJob
{
    QString uid;
    SyncDecision::Case situation;
    QByteArray baseKey; // the key of situation.base
    SyncDecision::Outcome outcome;
    LocalTasks::Record record; // its record here (Live)
    QString href;
    QByteArray etag;       // what a write there is conditional on; empty: nothing there
    QByteArray serverText; // the server's copy
    int attempts = 0;
};

// Every task's part of one sync, worked out from the files, the side file and
// what the server said.
struct SyncPlan
{
    std::vector<SyncJob> jobs;
    // Identities made or paired with a server item before anything is written.
    QList<TaskIdentities::Identity> identities;
    QHash<QString, QByteArray> ignore; // items the program cannot hold, with their ETag
    QStringList unignore;
    QStringList skipped; // why items of the server are left alone

    struct Input
    {
        const TaskIdentities &identities;
        const LocalTasks &local;
        const RemoteChanges &remote;
        QString calendarPath; // with its trailing '/'
        const DateFormat &dates;
        QDate today;
        Language language; // of the notes on items left alone
    };
    static SyncPlan make(const Input &in);

    // The tasks the server deleted that a sync would delete here.
    int localDeletes() const;
    // Keeps them here instead, and sends them back.
    void keepLocalDeletes();

    // The task of a record key (a record text without its order).
    static TaskRow rowOfKey(const QByteArray &key);
    // The task the server's copy holds, read as the situation's task.
    static TaskRow remoteRow(const QByteArray &serverText, const SyncDecision::Case &c,
                             const DateFormat &dates, const QDate &today);
    // The situation of an identity's task as a job holds it, brought up to the
    // server's latest answer for it: a changed item, or none (gone).
    static void update(SyncJob &job, const RemoteItem *item, const DateFormat &dates,
                       const QDate &today);
};
