#include "SyncPlan.h"

#include "SyncText.h"
#include "store/DateFormat.h"
#include "store/TaskFields.h"
#include "store/TaskRecord.h"

#include <QMap>

namespace {

using SyncDecision::Here;
using SyncDecision::There;
using Identity = TaskIdentities::Identity;

QString hrefFor(const QString &calendarPath, const QString &uid)
{
    return calendarPath + uid.section(QLatin1Char('@'), 0, 0) + QStringLiteral(".ics");
}

// Which local record a new item of the server is: the one an export gave its UID,
// else one that reads the same.
// The records here that no identity knows, found by what a server item says of
// them: the content hash its UID starts with (the export's UIDs of old), else
// the same fields. Indexed, so that a first sync of many tasks against a
// calendar of many costs a look-up per item, not a pass over every record.
class Strays
{
public:
    explicit Strays(const QList<LocalTasks::Record> &records)
        : taken(records.size(), false), m_records(records)
    {
    }

    // The first record not yet taken that the item is, taken now; -1: none.
    int take(const RemoteItem &item, const DateFormat &dates, const QDate &today)
    {
        index();
        constexpr int HashLength = 40; // SHA-1 in hex
        const QString &uid = item.read.uid;
        if (uid.size() > HashLength &&
            (uid[HashLength] == QLatin1Char('@') || uid[HashLength] == QLatin1Char('-')))
            for (const int i : m_byHash.value(uid.left(HashLength)))
                if (!taken[i])
                    return mark(i);
        for (const int i : m_byText.value(item.read.row[Col::Task]))
            if (!taken[i] && TaskFields::sameTask(m_rows[size_t(i)], item.read.row, dates, today))
                return mark(i);
        return -1;
    }

    QList<bool> taken;

private:
    int mark(int i)
    {
        taken[i] = true;
        return i;
    }

    // Made at the first item only: a first sync against an empty calendar needs none.
    void index()
    {
        if (m_rows.size() == size_t(m_records.size()))
            return;
        m_rows.reserve(size_t(m_records.size()));
        for (int i = 0; i < m_records.size(); ++i) {
            m_rows.push_back(TaskRecord::split(m_records[i].text));
            m_byHash[TaskIdentities::contentHash(m_rows.back())].append(i);
            m_byText[m_rows.back()[Col::Task]].append(i);
        }
    }

    const QList<LocalTasks::Record> &m_records;
    std::vector<TaskRow> m_rows;
    QHash<QString, QList<int>> m_byHash;
    QHash<QString, QList<int>> m_byText;
};

} // namespace

TaskRow SyncPlan::rowOfKey(const QByteArray &key)
{
    QList<QByteArray> parts = key.split(FieldSeparator);
    if (parts.size() == Col::Count - 1)
        parts.insert(Col::Order, QByteArray());
    QByteArray text;
    for (int i = 0; i < parts.size(); ++i)
        text += (i ? QByteArray(1, FieldSeparator) : QByteArray()) + parts[i];
    TaskRow row = TaskRecord::split(text);
    row[Col::Order].clear();
    return row;
}

TaskRow SyncPlan::remoteRow(const QByteArray &serverText, const SyncDecision::Case &c,
                            const DateFormat &dates, const QDate &today)
{
    // A to-do without a due date keeps the one it has here.
    const QDate fallback =
        c.base ? dates.parseDate(c.base->at(Col::Date), today).value_or(today) : today;
    return CalendarObject::read(serverText, dates, fallback).row;
}

void SyncPlan::update(SyncJob &job, const RemoteItem *item, const DateFormat &dates,
                      const QDate &today)
{
    SyncDecision::Case &c = job.situation;
    if (item && item->read.kind != CalendarObject::Read::Task) {
        // What the server holds there now cannot be read as a task: left alone.
        c.there = job.etag.isEmpty() ? There::Unknown : There::Same;
        c.remote = remoteRow(job.serverText, c, dates, today);
    } else if (!item || item->read.uid != job.uid) {
        c.there = job.href.isEmpty() ? There::Unknown : There::Gone;
        job.etag.clear();
    } else {
        c.there = There::Changed;
        c.remote = item->read.row;
        job.etag = item->etag;
        job.serverText = item->text;
    }
    job.outcome = SyncDecision::decide(c, dates, today);
}

SyncPlan SyncPlan::make(const Input &in)
{
    SyncPlan plan;
    const TaskIdentities &ids = in.identities;
    const auto text = [&in](const char *key) { return syncText(key, in.language); };
    QHash<QString, QString> owner; // href → UID
    for (const auto &[uid, i] : ids.identities())
        if (!i.href.isEmpty())
            owner.insert(i.href, uid);

    // New items of the server: paired with an identity by UID, or with a record
    // here that has none, else fetched as new tasks.
    QHash<QString, QString> pairedHref; // UID → the new item's path
    QHash<QString, int> pairedStray;    // UID → stray
    Strays strays(in.local.strays);
    QMap<QString, QStringList> byUid; // new task items by UID, in path order
    for (auto it = in.remote.fetched.cbegin(); it != in.remote.fetched.cend(); ++it) {
        const RemoteItem &item = *it;
        if (owner.contains(item.href) &&
            (owner[item.href] == item.read.uid || item.read.kind != CalendarObject::Read::Task)) {
            if (item.read.kind != CalendarObject::Read::Task)
                plan.skipped << text("NoteLeftAsItWas").arg(item.href, text(item.read.reason));
            continue;
        }
        if (item.read.kind == CalendarObject::Read::Task) {
            byUid[item.read.uid].append(item.href);
            continue;
        }
        plan.ignore.insert(item.href, item.etag);
        if (item.read.kind != CalendarObject::Read::NotATask)
            plan.skipped << text("NoteLeftAlone").arg(item.href, text(item.read.reason));
    }
    for (auto it = byUid.cbegin(); it != byUid.cend(); ++it) {
        const QString &uid = it.key();
        const Identity *known = ids.find(uid);
        const bool knownThere = known && !known->href.isEmpty() &&
                                !in.remote.gone.contains(known->href) &&
                                !it.value().contains(known->href);
        if (it.value().size() > 1 || knownThere) {
            for (const QString &href : it.value()) {
                plan.ignore.insert(href, in.remote.fetched.value(href).etag);
                plan.skipped << text("NoteSameUid").arg(href, uid);
            }
            continue;
        }
        const RemoteItem &item = *in.remote.fetched.constFind(it.value().first());
        pairedHref.insert(uid, item.href);
        if (known)
            continue;
        pairedStray.insert(uid, strays.take(item, in.dates, in.today));
    }

    const auto job = [&](const QString &uid, const Identity *known, const QString &href) {
        SyncJob j;
        j.uid = uid;
        j.href = href;
        SyncDecision::Case &c = j.situation;
        c.restored = ids.restored();
        if (known && !known->base.isEmpty()) {
            c.base = rowOfKey(known->base);
            j.baseKey = known->base;
        }
        // A version sent to the server that is there now: sent before a run ended,
        // the two sides were in step on it.
        const auto sentArrived = [&](const RemoteItem &item) {
            return known && !known->sentKey.isEmpty() &&
                   item.read.kind == CalendarObject::Read::Task && item.read.uid == uid &&
                   TaskFields::sameTask(rowOfKey(known->sentKey), item.read.row, in.dates,
                                        in.today);
        };
        if (in.local.data.contains(uid)) {
            c.here = Here::Live;
            j.record = in.local.data[uid];
            c.local = TaskRecord::split(j.record.text);
            c.local[Col::Order].clear();
            // The server's version written here before a run ended: in step on it.
            if (known && !known->inStepKey.isEmpty() && j.record.key == known->inStepKey) {
                c.base = rowOfKey(known->inStepKey);
                j.baseKey = known->inStepKey;
            }
        } else {
            c.here = in.local.archive.contains(uid) ? Here::Archived : Here::Gone;
        }
        const auto fetched = in.remote.fetched.constFind(href);
        if (href.isEmpty()) {
            c.there = There::Unknown;
        } else if (fetched != in.remote.fetched.cend()) {
            if (known) {
                j.etag = known->etag;
                j.serverText = known->server;
            }
            if (sentArrived(*fetched)) {
                c.base = rowOfKey(known->sentKey);
                j.baseKey = known->sentKey;
            }
            update(j, &*fetched, in.dates, in.today);
            return j;
        } else if (in.remote.gone.contains(href)) {
            c.there = There::Gone;
        } else if (!known || known->etag.isEmpty()) {
            c.there = There::Unknown; // sent once, never confirmed
        } else {
            c.there = There::Same;
            j.etag = known->etag;
            j.serverText = known->server;
            // Read only where the decision needs it: a task once in step and still
            // here is decided by its base; reading every task's copy would make a
            // sync with nothing to do cost a parse per task.
            if (!c.base || c.restored || c.here != Here::Live)
                c.remote = remoteRow(known->server, c, in.dates, in.today);
            // The server's version was being written here when a run ended: still
            // to write unless the record it meant is the one here.
            if (!known->pendingKey.isEmpty() &&
                (c.here != Here::Live || j.record.key != known->pendingKey))
                c.there = There::Changed;
        }
        if (known && j.serverText.isEmpty())
            j.serverText = known->server;
        j.outcome = SyncDecision::decide(c, in.dates, in.today);
        return j;
    };

    // A task in step on both sides, its record and its item as they were then:
    // nothing to decide (most tasks of most syncs).
    const auto inStep = [&](const QString &uid, const Identity &i) {
        if (ids.restored() || i.base.isEmpty() || i.key != i.base || i.href.isEmpty() ||
            i.etag.isEmpty() || !i.pendingKey.isEmpty() || !i.sentKey.isEmpty() ||
            !i.inStepKey.isEmpty() || in.remote.fetched.contains(i.href) ||
            in.remote.gone.contains(i.href))
            return false;
        const auto here = in.local.data.constFind(uid);
        return here != in.local.data.cend() && here->key == i.base;
    };
    for (const auto &[uid, identity] : ids.identities()) {
        QString href = identity.href;
        const bool paired = pairedHref.contains(uid);
        if (!paired && inStep(uid, identity))
            continue;
        if (paired) {
            href = pairedHref[uid];
            Identity moved = identity;
            moved.href = href;
            moved.etag.clear();
            plan.identities.append(moved);
        }
        SyncJob j = job(uid, &identity, href);
        if (j.href.isEmpty() && j.outcome.createRemote)
            j.href = hrefFor(in.calendarPath, uid); // back from the archive, or a new calendar
        // A task in step on both sides, known as such, needs nothing.
        const SyncDecision::Outcome &o = j.outcome;
        const bool nothing = !o.local && !o.remote && !o.removeLocal && !o.deleteRemote &&
                             !o.forget && !o.conflictCopy;
        if (nothing && !paired && !identity.base.isEmpty() && j.etag == identity.etag &&
            (j.situation.here != Here::Live ||
             (j.record.key == identity.base && j.record.key == identity.key)))
            continue;
        if (nothing && j.situation.here == Here::Archived && identity.href.isEmpty())
            continue;
        plan.jobs.push_back(std::move(j));
    }
    // New items of the server that no identity knows: tied to a record here that
    // reads the same, or fetched.
    for (auto it = pairedStray.cbegin(); it != pairedStray.cend(); ++it) {
        Identity made;
        made.uid = it.key();
        made.href = pairedHref[it.key()];
        if (it.value() >= 0)
            made.key = in.local.strays[it.value()].key;
        plan.identities.append(made);
        SyncJob j;
        j.uid = made.uid;
        j.href = made.href;
        j.situation.here = Here::Gone;
        if (it.value() >= 0) {
            j.situation.here = Here::Live;
            j.record = in.local.strays[it.value()];
            j.situation.local = TaskRecord::split(j.record.text);
            j.situation.local[Col::Order].clear();
        }
        const RemoteItem &item = *in.remote.fetched.constFind(made.href);
        update(j, &item, in.dates, in.today);
        plan.jobs.push_back(std::move(j));
    }
    // Tasks here that the server never had: sent under a new UID.
    for (int i = 0; i < in.local.strays.size(); ++i) {
        if (strays.taken[i])
            continue;
        Identity made;
        made.uid = TaskIdentities::newUid();
        made.key = in.local.strays[i].key;
        made.href = hrefFor(in.calendarPath, made.uid);
        plan.identities.append(made);
        SyncJob j;
        j.uid = made.uid;
        j.href = made.href;
        j.record = in.local.strays[i];
        j.situation.here = Here::Live;
        j.situation.local = TaskRecord::split(j.record.text);
        j.situation.local[Col::Order].clear();
        j.situation.there = There::Unknown;
        j.outcome = SyncDecision::decide(j.situation, in.dates, in.today);
        plan.jobs.push_back(std::move(j));
    }
    for (auto it = ids.ignored().cbegin(); it != ids.ignored().cend(); ++it)
        if (in.remote.gone.contains(it.key()))
            plan.unignore << it.key();
    return plan;
}

int SyncPlan::localDeletes() const
{
    int n = 0;
    for (const SyncJob &j : jobs)
        n += j.outcome.removeLocal ? 1 : 0;
    return n;
}

void SyncPlan::keepLocalDeletes()
{
    for (SyncJob &j : jobs) {
        if (!j.outcome.removeLocal)
            continue;
        j.outcome = {};
        j.outcome.remote = j.situation.local;
        j.outcome.createRemote = true;
    }
}
