#pragma once

#include "TaskRow.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>

// What the program keeps of each task beyond its record: a UID for life and the
// task's state on the CalDAV server. A record has exactly ten fields and the task
// files keep the older release's format, so this lives in a file of its own
// beside them. An identity is tied to a record by the record's text without its
// order field (identityKey): identical tasks are interchangeable, and neither a
// compaction nor a restart moves an identity.
//
// The file is a journal of checked lines, each change appended and flushed the
// moment it is made, so a kill loses at most the line being written; a load
// drops a torn or damaged tail and rewrites the file compactly (a temporary file
// renamed over it), as the task file's compaction does.
class TaskIdentities
{
public:
    enum class Place { Data, Archive };

    struct Identity
    {
        QString uid;
        Place place = Place::Data;
        QByteArray key;        // identityKey of its record; empty: none yet
        QByteArray pendingKey; // the record a write in progress is giving it
        QString href;          // its item on the server (a path); empty: none
        QByteArray etag;       // the item's ETag when last seen
        QByteArray base;       // its key when last in step with the server; empty: never
        QByteArray server;     // the item's iCalendar text when last seen (UTF-8)
        QByteArray sentKey;    // the key of a version being sent to the server
        QByteArray inStepKey;  // the key that a write in progress here puts in step
        QByteArray rule;       // how the task repeats (tasks/RepeatRule); empty: never
    };

    // A record written in place of another (texts with or without order; an empty
    // text: none), as the task list reports its changes.
    struct Move
    {
        Place from = Place::Data;
        QByteArray fromText;
        Place to = Place::Data;
        QByteArray toText;
    };

    explicit TaskIdentities(const QString &path) : m_path(path) {}
    const QString &path() const { return m_path; }
    // Run before every write (the daily backup).
    void setBeforeWrite(std::function<void()> hook) { m_beforeWrite = std::move(hook); }

    // Reads the file; a missing one holds nothing. A damaged tail is dropped and,
    // unless readOnly, the file rewritten without it (also when it has grown long
    // with superseded lines). Throws StoreError when it cannot be read or written.
    void load(bool readOnly = false);

    bool isEmpty() const { return m_identities.empty(); }
    const std::map<QString, Identity> &identities() const { return m_identities; }
    const Identity *find(const QString &uid) const;

    // Each of the following writes its lines at once; StoreError when it cannot.
    void put(const QList<Identity> &changed);
    void drop(const QStringList &uids);
    // Follows records the task list wrote: an identity whose record was replaced
    // moves to the new one. A record that only went keeps its identity, so an undo
    // that brings it back finds it again.
    void moved(const QList<Move> &moves);

    // How the task whose record text is given repeats: the rule kept with its
    // identity (tasks/RepeatRule's stored text); empty when it has none.
    QByteArray ruleOf(Place place, const QByteArray &recordText) const;
    // Keeps rule with the task's identity, giving the task one when it has none
    // (an empty rule on a task without one writes nothing).
    void setRule(Place place, const QByteArray &recordText, const QByteArray &rule);

    // The server's state of the whole calendar.
    const QString &calendar() const { return m_calendar; }
    // Another calendar: every identity keeps its UID and record but forgets the
    // server, and the next sync pairs as a first one does.
    void setCalendar(const QString &url);
    const QByteArray &syncToken() const { return m_token; }
    void setSyncToken(const QByteArray &token);
    // Items of the calendar the program cannot hold, by path, with their ETag.
    const QHash<QString, QByteArray> &ignored() const { return m_ignored; }
    void setIgnored(const QHash<QString, QByteArray> &added, const QStringList &gone);
    // The files were put back from a backup: the next sync deletes nothing on
    // either side.
    bool restored() const { return m_restored; }
    void setRestored(bool restored);
    // The bytes of a side file as a restore puts it in place: its whole lines and
    // the mark that it was restored, so that a kill right after the restore still
    // leaves the mark. Empty for bytes that hold no identity file.
    static QByteArray markedRestored(const QByteArray &file);

    // Rewrites the file with one line per identity.
    void compact();

    // A record's text without its order field, an empty hour read as midnight (the
    // exit stores it so): what ties a record to its identity.
    static QByteArray identityKey(const QByteArray &recordText);
    // What an export makes the UID of a task without an identity from: the SHA-1
    // (hex) of its fields without the order, so the same content exports alike.
    static QString contentHash(const TaskRow &row);
    static QString newUid();

    // Hands out the identities of one place to records by key: the first record
    // with a key gets the first identity with it (by UID), and so on.
    class Claims
    {
    public:
        Claims(const TaskIdentities &identities, Place place);
        // The UID for a record text, or empty when none is left for it.
        QString take(const QByteArray &recordText);

    private:
        QHash<QByteArray, QStringList> m_byKey;
    };

private:
    void append(const QList<QByteArray> &lines);
    void apply(const QList<QByteArray> &fields);
    void index(const Identity &identity);
    void unindex(const Identity &identity);
    QList<QByteArray> snapshot() const;

    QString m_path;
    std::function<void()> m_beforeWrite;
    std::map<QString, Identity> m_identities;
    // Place and key → the UIDs placed there.
    QHash<QByteArray, QStringList> m_byKey;
    QString m_calendar;
    QByteArray m_token;
    QHash<QString, QByteArray> m_ignored;
    bool m_restored = false;
    qsizetype m_lines = 0;
};
