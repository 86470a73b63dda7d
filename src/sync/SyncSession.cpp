#include "SyncSession.h"

#include "Multistatus.h"
#include "SyncText.h"
#include "store/Clock.h"
#include "store/DateFormat.h"
#include "store/StoreError.h"
#include "store/TaskDataFile.h"
#include "store/TaskIdentities.h"
#include "store/TaskRecord.h"
#include "store/WholeFile.h"
#include "tasks/TaskList.h"

#include <QScopeGuard>
#include <QTimer>

namespace {

const QByteArray Xml = "application/xml; charset=utf-8";
const QByteArray Calendar = "text/calendar; charset=utf-8";
constexpr int FetchBatch = 100;    // items a multiget asks for
constexpr int ReadSlice = 25;      // items read between two turns of the event loop
constexpr int LocalBatch = 50;     // changes here between two turns of the event loop
constexpr int IdentityBatch = 500; // new identities written between two turns
constexpr int Parallel = 4;        // writes to the server under way at once
constexpr int Attempts = 3;        // a refused write is decided again this often

QByteArray multiget(const QStringList &paths)
{
    QByteArray body = "<?xml version=\"1.0\" encoding=\"utf-8\"?><C:calendar-multiget "
                      "xmlns:D=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:caldav\"><D:prop>"
                      "<D:getetag/><C:calendar-data/></D:prop>";
    for (const QString &p : paths) {
        QUrl u;
        u.setPath(p);
        body +=
            "<D:href>" + QString::fromUtf8(u.toEncoded()).toHtmlEscaped().toUtf8() + "</D:href>";
    }
    return body + "</C:calendar-multiget>";
}

QString normalPath(QString path)
{
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

QByteArray keyOf(const TaskRow &row)
{
    return TaskIdentities::identityKey(TaskRecord::join(row));
}

} // namespace

SyncSession::SyncSession(DavClient &client, TaskList &tasks, TaskIdentities &identities,
                         const DateFormat &dates, const Clock &clock, Setup setup, QObject *parent)
    : QObject(parent), m_client(client), m_tasks(tasks), m_ids(identities), m_dates(dates),
      m_clock(clock), m_setup(std::move(setup))
{
}

QDate SyncSession::today() const
{
    // Once a sync: the local time costs a look at the zone files each time.
    if (!m_today.isValid())
        m_today = m_clock.today();
    return m_today;
}

const QHash<QString, QByteArray> &SyncSession::baseAt() const
{
    // Made when first needed: a sync with nothing to fetch has no use for it.
    if (!m_baseAt) {
        m_baseAt.emplace();
        for (const auto &[uid, i] : m_ids.identities())
            if (!i.href.isEmpty() && !i.base.isEmpty())
                m_baseAt->insert(i.href, i.base);
    }
    return *m_baseAt;
}

QDate SyncSession::dueHere(const QString &href) const
{
    // A to-do without a due date keeps the one it has here, not today's.
    const auto base = baseAt().constFind(href);
    if (base == baseAt().cend())
        return today();
    return m_dates.parseDate(SyncPlan::rowOfKey(*base)[Col::Date], today()).value_or(today());
}

QString SyncSession::calendarPath() const
{
    return normalPath(m_setup.calendar.path(QUrl::FullyDecoded));
}

QUrl SyncSession::urlOf(const QString &href) const
{
    QUrl url = m_setup.calendar;
    url.setPath(href, QUrl::DecodedMode);
    return url;
}

QString SyncSession::text(const char *key) const
{
    return syncText(key, m_setup.language);
}

QString SyncSession::unreadable(const QString &why) const
{
    return text("Unreadable").arg(why);
}

QString SyncSession::problem(const DavReply &reply, const char *what) const
{
    if (!reply.error.isEmpty())
        return reply.error;
    const QString where = m_setup.calendar.toString(QUrl::RemoveUserInfo);
    switch (reply.status) {
    case 401:
        return text("RefusedLoginAt").arg(where);
    case 403:
        return text("RefusedAccess").arg(where);
    case 404:
    case 410:
        return text("NoCalendarAt").arg(where);
    default:
        break;
    }
    const QString asked = what ? text(what) : QString();
    if (reply.contentType.contains("html"))
        return text("AnsweredWebPage").arg(asked).arg(reply.status).arg(where);
    return text("AnsweredStatus").arg(asked).arg(reply.status);
}

void SyncSession::start()
{
    m_sentBefore = m_client.sent();
    const QString url = m_setup.calendar.toString(QUrl::RemoveUserInfo);
    try {
        if (m_ids.calendar() != url)
            m_ids.setCalendar(url); // another calendar: paired anew, as a first sync
    } catch (const StoreError &e) {
        fail(e.message());
        return;
    }
    list(m_ids.syncToken());
}

void SyncSession::list(const QByteArray &token)
{
    m_client.send("REPORT", m_setup.calendar, Multistatus::syncCollection(token),
                  {{"Content-Type", Xml}, {"Depth", "1"}},
                  [this, token](const DavReply &reply) { listed(reply, token); });
}

void SyncSession::listed(const DavReply &reply, const QByteArray &token)
{
    if (!reply.error.isEmpty())
        return fail(reply.error, &reply);
    if (reply.status == 404 || reply.status == 410)
        return vanished();
    if (reply.status == 401)
        return fail(problem(reply, nullptr), &reply);
    if (reply.status != 207) {
        // A token the server no longer knows (or never gave): every item is listed
        // instead. A server without sync-collection: its items' ETags.
        if (!token.isEmpty())
            return list({});
        return listByProperties();
    }
    // Thousands of items take long to read: read, and gathered by path, on a
    // thread of their own.
    auto listing = std::make_shared<Listing>();
    aside(
        [listing, body = reply.body, self = calendarPath()] {
            const Multistatus::Answer answer = Multistatus::parse(body);
            listing->error = answer.error;
            listing->token = answer.syncToken;
            for (const Multistatus::Response &r : answer.responses) {
                if (normalPath(r.href) == self) {
                    // The server lists the rest from the new token.
                    listing->more = listing->more || r.status == 507;
                    continue;
                }
                if (r.status == 404 || r.status == 410) {
                    listing->listed.remove(r.href);
                    listing->gone.insert(r.href);
                    continue;
                }
                const QString etag = r.text(QStringLiteral("getetag"));
                if (!etag.isEmpty()) {
                    listing->listed.insert(r.href, etag.toUtf8());
                    listing->gone.remove(r.href);
                }
            }
        },
        [this, listing, token] { listedRead(*listing, token); });
}

void SyncSession::listedRead(Listing &listing, const QByteArray &token)
{
    if (!listing.error.isEmpty()) {
        if (!token.isEmpty())
            return list({});
        return fail(unreadable(listing.error));
    }
    if (token.isEmpty())
        m_full = true;
    // What a path's last answer said holds (a page after a page: on top of it).
    if (m_listed.isEmpty() && m_remote.gone.isEmpty()) {
        m_listed.swap(listing.listed);
        m_remote.gone.swap(listing.gone);
    } else {
        for (const QString &href : std::as_const(listing.gone)) {
            m_listed.remove(href);
            m_remote.gone.insert(href);
        }
        for (auto it = listing.listed.cbegin(); it != listing.listed.cend(); ++it) {
            m_listed.insert(it.key(), it.value());
            m_remote.gone.remove(it.key());
        }
    }
    const bool more = listing.more;
    m_newToken = listing.token;
    if (more && !m_newToken.isEmpty() && m_newToken != token)
        return list(m_newToken);
    fetch();
}

void SyncSession::listByProperties()
{
    const QByteArray body = "<?xml version=\"1.0\" encoding=\"utf-8\"?><D:propfind "
                            "xmlns:D=\"DAV:\"><D:prop><D:getetag/><D:resourcetype/></D:prop>"
                            "</D:propfind>";
    m_client.send("PROPFIND", m_setup.calendar, body, {{"Content-Type", Xml}, {"Depth", "1"}},
                  [this](const DavReply &reply) {
                      if (!reply.error.isEmpty())
                          return fail(reply.error, &reply);
                      if (reply.status == 404 || reply.status == 410)
                          return vanished();
                      if (reply.status != 207)
                          return fail(problem(reply, "AskedList"), &reply);
                      readAside(reply.body, [this](const Multistatus::Answer &answer) {
                          listedByProperties(answer);
                      });
                  });
}

void SyncSession::listedByProperties(const Multistatus::Answer &answer)
{
    if (!answer.error.isEmpty())
        return fail(unreadable(answer.error));
    m_full = true;
    m_newToken.clear();
    const QString self = calendarPath();
    for (const Multistatus::Response &r : answer.responses) {
        if (normalPath(r.href) == self) {
            if (r.status == 404) // Xandikos: a 207 that holds a 404
                return vanished();
            continue;
        }
        const Multistatus::Property *type = r.property(QStringLiteral("resourcetype"));
        if (type && type->children.contains(QStringLiteral("collection")))
            continue;
        const QString etag = r.text(QStringLiteral("getetag"));
        if (!etag.isEmpty())
            m_listed.insert(r.href, etag.toUtf8());
    }
    fetch();
}

void SyncSession::vanished()
{
    const QString where = m_setup.calendar.toString(QUrl::RemoveUserInfo);
    const bool again = m_setup.ask && m_setup.ask(text("CalendarGone").arg(where));
    if (!again)
        return fail(text("CalendarVanished").arg(where));
    const QByteArray body =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?><C:mkcalendar xmlns:D=\"DAV:\" "
        "xmlns:C=\"urn:ietf:params:xml:ns:caldav\"><D:set><D:prop><D:displayname>Nudgery"
        "</D:displayname><C:supported-calendar-component-set><C:comp name=\"VTODO\"/>"
        "</C:supported-calendar-component-set></D:prop></D:set></C:mkcalendar>";
    m_client.send("MKCALENDAR", m_setup.calendar, body, {{"Content-Type", Xml}},
                  [this](const DavReply &reply) {
                      if (!reply.ok())
                          return fail(problem(reply, "AskedNewCalendar"), &reply);
                      try {
                          // Nothing of the old calendar holds: every task is sent anew.
                          m_ids.setCalendar(QString());
                          m_ids.setCalendar(m_setup.calendar.toString(QUrl::RemoveUserInfo));
                      } catch (const StoreError &e) {
                          return fail(e.message());
                      }
                      m_listed.clear();
                      m_remote = {};
                      list({});
                  });
}

void SyncSession::fetch()
{
    if (m_full) {
        // Whatever this program knew there and is not listed is gone.
        for (const auto &[uid, i] : m_ids.identities())
            if (!i.href.isEmpty() && !m_listed.contains(i.href))
                m_remote.gone.insert(i.href);
        for (auto it = m_ids.ignored().cbegin(); it != m_ids.ignored().cend(); ++it)
            if (!m_listed.contains(it.key()))
                m_remote.gone.insert(it.key());
    }
    // Nothing listed (a sync with nothing to do there): nothing to compare.
    if (!m_listed.isEmpty()) {
        QHash<QString, QByteArray> known = m_ids.ignored(); // path → ETag
        for (const auto &[uid, i] : m_ids.identities())
            if (!i.href.isEmpty())
                known.insert(i.href, i.etag);
        for (auto it = m_listed.cbegin(); it != m_listed.cend(); ++it)
            if (known.value(it.key()) != it.value())
                m_toFetch << it.key();
    }
    m_toFetch.sort();
    if (m_toFetch.isEmpty())
        return plan();
    baseAt(); // as the side file holds them before this sync writes any
    const QStringList asked = m_toFetch.mid(0, FetchBatch);
    m_toFetch = m_toFetch.mid(asked.size());
    m_client.send("REPORT", m_setup.calendar, multiget(asked),
                  {{"Content-Type", Xml}, {"Depth", "1"}},
                  [this, asked](const DavReply &reply) { fetched(reply, asked); });
}

void SyncSession::fetched(const DavReply &reply, const QStringList &asked)
{
    if (!reply.error.isEmpty())
        return fail(reply.error, &reply);
    if (reply.status != 207)
        return fail(problem(reply, "AskedTasks"), &reply);
    auto answer = std::make_shared<const Multistatus::Answer>(Multistatus::parse(reply.body));
    if (!answer->error.isEmpty())
        return fail(unreadable(answer->error));
    readFetched(answer, asked, 0, {});
}

void SyncSession::readFetched(const std::shared_ptr<const Multistatus::Answer> &answer,
                              const QStringList &asked, qsizetype from, QSet<QString> answered)
{
    if (m_over)
        return;
    // A slice at a time, the window answering between: reading a task takes long.
    const qsizetype count = qsizetype(answer->responses.size());
    const qsizetype to = std::min<qsizetype>(from + ReadSlice, count);
    for (qsizetype i = from; i < to; ++i) {
        const Multistatus::Response &r = answer->responses[size_t(i)];
        if (!asked.contains(r.href))
            continue;
        answered.insert(r.href);
        const QString data = r.text(QStringLiteral("calendar-data"));
        if (r.status == 404 || (r.status == 0 && data.isEmpty())) {
            m_remote.gone.insert(r.href);
            continue;
        }
        RemoteItem item;
        item.href = r.href;
        item.etag = r.text(QStringLiteral("getetag")).toUtf8();
        if (item.etag.isEmpty())
            item.etag = m_listed.value(r.href);
        item.text = data.toUtf8();
        item.read = CalendarObject::read(item.text, m_dates, dueHere(r.href));
        m_remote.fetched.insert(item.href, item);
    }
    if (to < count) {
        QTimer::singleShot(0, this, [this, answer, asked, to, answered] {
            readFetched(answer, asked, to, answered);
        });
        return;
    }
    for (const QString &href : asked)
        if (!answered.contains(href))
            m_remote.gone.insert(href); // listed, then gone before it could be fetched
    if (m_toFetch.isEmpty())
        return plan();
    const QStringList next = m_toFetch.mid(0, FetchBatch);
    m_toFetch = m_toFetch.mid(next.size());
    m_client.send("REPORT", m_setup.calendar, multiget(next),
                  {{"Content-Type", Xml}, {"Depth", "1"}},
                  [this, next](const DavReply &r) { fetched(r, next); });
}

void SyncSession::fetchOne(const QString &href, std::function<void(const RemoteItem *)> done)
{
    m_client.send("GET", urlOf(href), {}, {}, [this, href, done](const DavReply &reply) {
        if (!reply.error.isEmpty())
            return fail(reply.error, &reply);
        if (reply.status == 404 || reply.status == 410)
            return done(nullptr);
        if (reply.status != 200)
            return fail(problem(reply, "AskedTask"), &reply);
        RemoteItem item;
        item.href = href;
        item.etag = reply.etag;
        item.text = reply.body;
        item.read = CalendarObject::read(item.text, m_dates, dueHere(href));
        done(&item);
    });
}

// What the plan's thread made of the files and the side file as they were.
struct SyncSession::Planned
{
    QList<LocalTasks::Record> leftovers; // LocalTasks::leftovers
    SyncPlan plan;
    QString error;
};

void SyncSession::plan()
{
    // The files and the side file as they are now, taken on this thread; worked
    // out on another, the window answering meanwhile. A task the user changes
    // before the plan is carried out is left for the next sync, as one changed
    // between the batches is (stillThere).
    auto planned = std::make_shared<Planned>();
    QByteArray data;
    QByteArray archive;
    try {
        data = readFileIfThere(m_tasks.dataFileName());
        archive = readFileIfThere(m_tasks.archiveFileName());
    } catch (const StoreError &e) {
        return fail(e.message());
    }
    // What is read of every task is let go on that thread too. The date format
    // goes as a copy: the options may change it meanwhile.
    auto identities = std::make_shared<const TaskIdentities>(m_ids);
    aside(
        [planned, identities, data, archive, remote = &m_remote, path = calendarPath(),
         dates = m_dates, day = today(), language = m_setup.language] {
            try {
                const LocalTasks local = LocalTasks::of(data, archive, *identities);
                planned->plan =
                    SyncPlan::make({*identities, local, *remote, path, dates, day, language});
                planned->leftovers = local.leftovers;
            } catch (const StoreError &e) {
                planned->error = e.message();
            }
        },
        [this, planned] { carryOut(*planned); });
}

void SyncSession::carryOut(Planned &planned)
{
    if (!planned.error.isEmpty())
        return fail(planned.error);
    try {
        // What an interrupted change here left of the task it replaced goes first.
        if (!planned.leftovers.isEmpty()) {
            m_writingHere = true;
            const auto done = qScopeGuard([this] { m_writingHere = false; });
            QList<qint64> offsets;
            for (const LocalTasks::Record &r : planned.leftovers)
                if (stillThere(r))
                    offsets << r.offset;
            m_tasks.removeRecords(offsets);
        }
        m_plan = std::move(planned.plan);
        const int deletes = m_plan.localDeletes();
        if (deletes > m_setup.massDeleteLimit) {
            const bool yes = m_setup.ask && m_setup.ask(text("MassDelete").arg(deletes));
            if (!yes)
                m_plan.keepLocalDeletes();
        }
        m_ids.setIgnored(m_plan.ignore, m_plan.unignore);
    } catch (const StoreError &e) {
        return fail(e.message());
    }
    m_report.notes << m_plan.skipped;
    m_total = int(m_plan.jobs.size());
    emit progress(0, m_total);
    putIdentities();
}

void SyncSession::readAside(const QByteArray &body,
                            std::function<void(const Multistatus::Answer &)> then)
{
    // A listing of thousands of items takes long to read.
    auto answer = std::make_shared<Multistatus::Answer>();
    aside([answer, body] { *answer = Multistatus::parse(body); },
          [answer, then = std::move(then)] { then(*answer); });
}

void SyncSession::aside(std::function<void()> work, std::function<void()> then)
{
    if (m_worker.joinable())
        m_worker.join();
    m_worker = std::thread([this, work = std::move(work), then = std::move(then)] {
        work();
        // The session waits for this thread before it goes, so it is here to post to.
        QMetaObject::invokeMethod(
            this,
            [this, then] {
                if (m_worker.joinable())
                    m_worker.join();
                if (!m_over)
                    then();
            },
            Qt::QueuedConnection);
    });
}

SyncSession::~SyncSession()
{
    if (m_worker.joinable())
        m_worker.join();
}

void SyncSession::putIdentities()
{
    if (m_over)
        return;
    // A first sync makes one for every task: written a batch at a time, the
    // window answering between (a kill between leaves identities of tasks not yet
    // sent, which the next sync sends).
    const qsizetype n = std::min<qsizetype>(IdentityBatch, m_plan.identities.size());
    QList<TaskIdentities::Identity> batch = m_plan.identities.first(n);
    for (TaskIdentities::Identity &identity : batch) {
        // The plan pairs a known one with an item there; its task may have changed
        // here since, which the side file follows: only the item is the plan's.
        if (const TaskIdentities::Identity *now = m_ids.find(identity.uid)) {
            TaskIdentities::Identity paired = *now;
            paired.href = identity.href;
            paired.etag = identity.etag;
            identity = paired;
        }
    }
    try {
        m_ids.put(batch);
    } catch (const StoreError &e) {
        return fail(e.message());
    }
    m_plan.identities.remove(0, n); // let go a batch at a time
    if (!m_plan.identities.isEmpty()) {
        QTimer::singleShot(0, this, &SyncSession::putIdentities);
        return;
    }
    applyLocal();
}

void SyncSession::applyLocal()
{
    if (m_over)
        return;
    try {
        for (int n = 0; n < LocalBatch && m_next < m_plan.jobs.size(); ++n) {
            // Let go once done, a batch at a time, not all at the end.
            SyncJob job = std::move(m_plan.jobs[m_next++]);
            applyLocalPart(job);
        }
        if (m_next < m_plan.jobs.size()) {
            // The window answers between batches.
            QTimer::singleShot(0, this, &SyncSession::applyLocal);
            return;
        }
        removeLocal();
    } catch (const StoreError &e) {
        return fail(e.message());
    }
    pushRemote();
}

void SyncSession::applyLocalPart(SyncJob &job)
{
    m_writingHere = true;
    const auto done = qScopeGuard([this] { m_writingHere = false; });
    SyncDecision::Outcome &o = job.outcome;
    using SyncDecision::Here;
    const TaskIdentities::Identity *known = m_ids.find(job.uid);
    if (!known)
        return;
    TaskIdentities::Identity identity = *known;
    const QByteArray seenBefore = known->server;
    const bool live = job.situation.here == Here::Live;
    // A removal alone is checked when the removals are made, after the last batch.
    if ((o.local || o.conflictCopy) && live && !stillThere(job.record)) {
        m_incomplete = true;
        o = {};
        return;
    }
    if (o.conflictCopy) {
        TaskRow copy = *o.conflictCopy;
        copy[Col::Task] += text("ConflictCopy");
        const QByteArray text = m_tasks.addTask(copy);
        TaskIdentities::Identity made;
        made.uid = TaskIdentities::newUid();
        made.key = TaskIdentities::identityKey(text);
        made.href =
            calendarPath() + made.uid.section(QLatin1Char('@'), 0, 0) + QStringLiteral(".ics");
        m_ids.put({made});
        SyncJob send;
        send.uid = made.uid;
        send.href = made.href;
        send.record = {TaskRecord::orderOffset(TaskRecord::field(text, Col::Order)), text,
                       made.key};
        send.situation.local = copy;
        send.situation.there = SyncDecision::There::Unknown;
        send.outcome.remote = copy;
        send.outcome.createRemote = true;
        m_pushes.push_back(send);
        ++m_total;
        ++m_report.conflicts;
    }
    if (o.local) {
        TaskRow row = *o.local;
        // The server's version being written here: a kill after the write finds
        // it seen, one before finds the write still to make (SyncPlan).
        identity.pendingKey = keyOf(row);
        identity.etag = job.etag;
        identity.server = job.serverText;
        // The server's version taken whole: in step once written here.
        identity.inStepKey = o.remote ? QByteArray() : identity.pendingKey;
        m_ids.put({identity});
        QByteArray text;
        if (live) {
            text = m_tasks.replaceRecord(job.record.offset, row);
        } else {
            text = m_tasks.addTask(row);
        }
        identity = *m_ids.find(job.uid);
        identity.place = TaskIdentities::Place::Data;
        identity.key = TaskIdentities::identityKey(text);
        identity.pendingKey.clear();
        job.record = {TaskRecord::orderOffset(TaskRecord::field(text, Col::Order)), text,
                      identity.key};
        job.situation.here = Here::Live;
        job.situation.local = row;
        ++m_report.received;
    }
    if (o.merged)
        ++m_report.merged;
    if (o.removeLocal) {
        m_removals.append({job.uid, job.record});
        return;
    }
    identity.href = job.href;
    identity.etag = job.etag;
    identity.server = job.serverText;
    if (!job.baseKey.isEmpty())
        identity.base = job.baseKey; // a version sent before a run ended arrived
    if (job.situation.here == Here::Live) {
        // Tied by the write in progress an interruption left, or by a pairing; a
        // record the user changed since the plan keeps the key the side file
        // followed it to, and the next sync sends the change.
        identity.place = TaskIdentities::Place::Data;
        if (identity.key == job.record.key || stillThere(job.record))
            identity.key = job.record.key;
        identity.pendingKey.clear();
        identity.inStepKey.clear();
    }
    takeServersRule(identity, seenBefore, job);
    if (o.remote || o.deleteRemote) {
        // In step once the server has the change; what is sent is noted first, so
        // that a kill after the server took it does not read it as a change there.
        if (o.remote && live)
            identity.sentKey = job.record.key;
        m_ids.put({identity});
        m_pushes.push_back(job);
        return;
    }
    ++m_done;
    if (o.forget) {
        m_ids.drop({job.uid});
        return;
    }
    if (job.situation.here == Here::Live)
        identity.base = job.record.key; // both sides hold the same task now
    m_ids.put({identity});
}

void SyncSession::takeServersRule(TaskIdentities::Identity &identity, const QByteArray &seenBefore,
                                  const SyncJob &job) const
{
    // The server's rule is the task's when the server changed it since it was last
    // seen, or when the server's copy is new here (a task from there, or one paired
    // in a first sync, whose rule here is kept should the server have none).
    if (job.serverText.isEmpty() || job.serverText == seenBefore)
        return;
    const QDate date = dueHere(job.href);
    const QByteArray there = CalendarObject::read(job.serverText, m_dates, date).rule;
    if (seenBefore.isEmpty() ? !there.isEmpty()
                             : there != CalendarObject::read(seenBefore, m_dates, date).rule)
        identity.rule = there;
}

bool SyncSession::stillThere(const LocalTasks::Record &record) const
{
    try {
        const QByteArray text = m_tasks.dataFile().readRecord(record.offset).mid(4);
        return !TaskRecord::isBlank(text) && TaskIdentities::identityKey(text) == record.key;
    } catch (const StoreError &) {
        return false;
    }
}

void SyncSession::inStep(const SyncJob &job, const QByteArray &key)
{
    const TaskIdentities::Identity *known = m_ids.find(job.uid);
    if (!known)
        return;
    TaskIdentities::Identity identity = *known;
    identity.base = key;
    identity.sentKey.clear();
    identity.href = job.href;
    identity.etag = job.etag;
    identity.server = job.serverText;
    m_ids.put({identity});
}

void SyncSession::removeLocal()
{
    m_writingHere = true;
    const auto done = qScopeGuard([this] { m_writingHere = false; });
    if (m_removals.isEmpty())
        return;
    QList<qint64> offsets;
    QStringList uids;
    for (const auto &[uid, record] : m_removals) {
        // The window ran between the batches: a task changed since is left.
        if (!stillThere(record)) {
            m_incomplete = true;
            continue;
        }
        offsets << record.offset;
        uids << uid;
    }
    m_tasks.removeRecords(offsets);
    m_ids.drop(uids);
    m_report.received += int(offsets.size());
    m_done += int(offsets.size());
    m_removals.clear();
}

void SyncSession::pushRemote()
{
    emit progress(m_done, m_total);
    while (!m_over && m_inFlight < Parallel && !m_pushes.empty()) {
        SyncJob job = std::move(m_pushes.front());
        m_pushes.pop_front();
        pushOne(std::move(job));
    }
    if (!m_over && m_inFlight == 0 && m_pushes.empty())
        finish();
}

void SyncSession::pushOne(SyncJob job)
{
    const SyncDecision::Outcome &o = job.outcome;
    if (o.deleteRemote) {
        ++m_inFlight;
        m_client.send("DELETE", urlOf(job.href), {}, {{"If-Match", job.etag}},
                      [this, job](const DavReply &reply) { pushed(job, {}, reply); });
        return;
    }
    const QDateTime now = m_clock.now();
    const TaskIdentities::Identity *identity = m_ids.find(job.uid);
    const QByteArray rule = identity ? identity->rule : QByteArray();
    QByteArray body;
    if (job.serverText.isEmpty()) {
        body = CalendarObject::created(job.uid, *o.remote, rule, m_dates, today(), now);
    } else {
        body = CalendarObject::patched(job.serverText, *o.remote, rule, m_dates, today(), now);
        if (body.isEmpty()) {
            // Never replaced whole: what it holds beside the task would be lost.
            m_incomplete = true;
            m_report.notes << text("NoteUnreadable").arg(job.href, (*o.remote)[Col::Task]);
            ++m_done;
            return pushRemote();
        }
    }
    const bool create = o.createRemote || job.etag.isEmpty();
    if (!create && body == job.serverText) {
        inStep(job, job.record.key); // the server holds it already
        ++m_done;
        return pushRemote();
    }
    ++m_inFlight;
    DavClient::Headers headers{{"Content-Type", Calendar}};
    headers.append(create ? qMakePair(QByteArray("If-None-Match"), QByteArray("*"))
                          : qMakePair(QByteArray("If-Match"), job.etag));
    m_client.send("PUT", urlOf(job.href), body, headers,
                  [this, job, body](const DavReply &reply) { pushed(job, body, reply); });
}

void SyncSession::pushed(SyncJob job, const QByteArray &body, const DavReply &reply)
{
    --m_inFlight;
    if (m_over)
        return;
    if (!reply.error.isEmpty())
        return fail(reply.error, &reply);
    const bool deleting = job.outcome.deleteRemote;
    // A 207 holds the real answer (Xandikos: 412 for a UID it has elsewhere or data
    // it will not take).
    int status = reply.status;
    if (status == 207)
        for (const Multistatus::Response &r : Multistatus::parse(reply.body).responses) {
            status = r.status;
            for (const Multistatus::Property &p : r.properties)
                status = status ? status : p.status;
            break;
        }
    const bool done = status / 100 == 2 || (deleting && status == 404);
    try {
        if (done) {
            ++m_report.sent;
            ++m_done;
            if (deleting && job.outcome.forget) {
                m_ids.drop({job.uid});
            } else if (deleting) {
                TaskIdentities::Identity identity = *m_ids.find(job.uid);
                identity.href.clear();
                identity.etag.clear();
                m_ids.put({identity});
            } else {
                job.etag = reply.etag;
                job.serverText = body;
                inStep(job, job.record.key);
            }
            return pushRemote();
        }
        if (status == 412 || (status == 404 && !deleting)) {
            if (++job.attempts >= Attempts) {
                m_incomplete = true;
                m_report.notes << text("NoteChangedThere").arg(job.href);
                ++m_done;
                return pushRemote();
            }
            return retry(std::move(job));
        }
        if (status == 401 || status == 403 || status / 100 == 5)
            return fail(problem(reply, "AskedSent"), &reply);
        // The server refuses this one task (a UID it holds elsewhere, data it will not
        // take): the rest goes on.
        m_incomplete = true;
        m_report.notes << text("NoteRefused").arg(job.situation.local[Col::Task]).arg(status);
        ++m_done;
        pushRemote();
    } catch (const StoreError &e) {
        fail(e.message());
    }
}

void SyncSession::retry(SyncJob job)
{
    ++m_inFlight;
    const QString href = job.href;
    fetchOne(href, [this, job](const RemoteItem *item) mutable {
        --m_inFlight;
        if (m_over)
            return;
        SyncPlan::update(job, item, m_dates, today());
        try {
            applyLocalPart(job);
            removeLocal();
        } catch (const StoreError &e) {
            return fail(e.message());
        }
        pushRemote();
    });
}

void SyncSession::fail(const QString &message, const DavReply *reply)
{
    if (m_over)
        return;
    m_over = true;
    m_report.error = message;
    if (reply) {
        m_report.certificateProblem = reply->certificateProblem;
        m_report.certificateSha256 = reply->certificateSha256;
        m_report.unauthorized = reply->status == 401;
        m_report.plainHttpRefused = reply->plainHttpRefused;
    }
    m_report.requests = m_client.sent() - m_sentBefore;
    emit finished(m_report);
}

void SyncSession::finish()
{
    if (m_over)
        return;
    m_over = true;
    try {
        // The server's token only once every change it named is in the side file:
        // a sync cut short lists them again.
        if (!m_incomplete)
            m_ids.setSyncToken(m_newToken);
        m_ids.setRestored(false);
    } catch (const StoreError &e) {
        m_report.error = e.message();
    }
    m_report.requests = m_client.sent() - m_sentBefore;
    emit progress(m_total, m_total);
    emit finished(m_report);
}
