#include "Discovery.h"

#include "Multistatus.h"
#include "SyncText.h"

namespace {

const QByteArray Xml = "application/xml; charset=utf-8";

const QByteArray Everything =
    "<D:resourcetype/><D:displayname/><C:supported-calendar-component-set/>"
    "<D:current-user-principal/><C:calendar-home-set/>";

QByteArray propfind(const QByteArray &props)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?><D:propfind xmlns:D=\"DAV:\" "
           "xmlns:C=\"urn:ietf:params:xml:ns:caldav\"><D:prop>" +
           props + "</D:prop></D:propfind>";
}

QString slash(QString path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

bool holdsTasks(const Multistatus::Response &r)
{
    const Multistatus::Property *type = r.property(QStringLiteral("resourcetype"));
    if (!type || !type->children.contains(QStringLiteral("calendar")))
        return false;
    const Multistatus::Property *set =
        r.property(QStringLiteral("supported-calendar-component-set"));
    // No set given: every component, as RFC 4791 says.
    return !set || set->status / 100 != 2 || set->components.isEmpty() ||
           set->components.contains(QStringLiteral("VTODO"));
}

QString nameOf(const Multistatus::Response &r)
{
    const QString name = r.text(QStringLiteral("displayname")).trimmed();
    if (!name.isEmpty())
        return name;
    const QString path = r.href.endsWith(QLatin1Char('/')) ? r.href.chopped(1) : r.href;
    return path.section(QLatin1Char('/'), -1);
}

// The first response whose property of that name holds an href.
QString hrefIn(const Multistatus::Answer &answer, const QString &property)
{
    for (const Multistatus::Response &r : answer.responses)
        if (const Multistatus::Property *p = r.property(property))
            if (p->status / 100 == 2 && !p->hrefs.isEmpty())
                return p->hrefs.first();
    return {};
}

} // namespace

Discovery::Discovery(DavClient &client, QObject *parent) : QObject(parent), m_client(client) {}

QString Discovery::text(const char *key) const
{
    return syncText(key, m_client.language());
}

void Discovery::fail(const QString &error, const DavReply &reply)
{
    emit finished({}, error, reply);
}

void Discovery::ask(const QUrl &url, const QByteArray &depth, const QByteArray &props,
                    std::function<void(const DavReply &)> then)
{
    m_client.send("PROPFIND", url, propfind(props), {{"Content-Type", Xml}, {"Depth", depth}},
                  [this, then](const DavReply &reply) {
                      if (!reply.error.isEmpty())
                          return fail(reply.error, reply);
                      if (reply.status == 401)
                          return fail(text("RefusedLogin"), reply);
                      then(reply);
                  });
}

void Discovery::start(const QUrl &address)
{
    m_address = address;
    m_address.setPath(slash(address.path()));
    ask(m_address, "0", Everything, [this](const DavReply &reply) { atAddress(reply); });
}

void Discovery::atAddress(const DavReply &reply)
{
    const Multistatus::Answer answer =
        reply.status == 207 ? Multistatus::parse(reply.body) : Multistatus::Answer{};
    for (const Multistatus::Response &r : answer.responses) {
        const Multistatus::Property *type = r.property(QStringLiteral("resourcetype"));
        if (!type || !type->children.contains(QStringLiteral("calendar")))
            continue;
        if (!holdsTasks(r))
            return fail(text("NoTaskCalendar").arg(m_address.toString(QUrl::RemoveUserInfo)));
        emit finished({{m_address, nameOf(r)}}, {}, reply);
        return;
    }
    if (const QString home = hrefIn(answer, QStringLiteral("calendar-home-set")); !home.isEmpty())
        return this->home(m_address.resolved(QUrl(home)));
    if (const QString who = hrefIn(answer, QStringLiteral("current-user-principal"));
        !who.isEmpty())
        return principal(m_address.resolved(QUrl(who)));
    wellKnown();
}

void Discovery::wellKnown()
{
    QUrl url = m_address;
    url.setPath(QStringLiteral("/.well-known/caldav"));
    ask(url, "0", "<D:current-user-principal/>", [this](const DavReply &reply) {
        const Multistatus::Answer answer =
            reply.status == 207 ? Multistatus::parse(reply.body) : Multistatus::Answer{};
        const QString who = hrefIn(answer, QStringLiteral("current-user-principal"));
        if (who.isEmpty())
            return fail(text("NoCalendarsFound")
                            .arg(m_address.toString(QUrl::RemoveUserInfo))
                            .arg(reply.status),
                        reply);
        principal(reply.url.resolved(QUrl(who)));
    });
}

void Discovery::principal(const QUrl &url)
{
    ask(url, "0", "<C:calendar-home-set/>", [this, url](const DavReply &reply) {
        const Multistatus::Answer answer =
            reply.status == 207 ? Multistatus::parse(reply.body) : Multistatus::Answer{};
        const QString home = hrefIn(answer, QStringLiteral("calendar-home-set"));
        if (home.isEmpty())
            return fail(text("NoCalendarHome").arg(url.toString(QUrl::RemoveUserInfo)), reply);
        this->home(url.resolved(QUrl(home)));
    });
}

void Discovery::home(const QUrl &url)
{
    m_home = url;
    m_home.setPath(slash(url.path()));
    ask(m_home, "1", "<D:resourcetype/><D:displayname/><C:supported-calendar-component-set/>",
        [this](const DavReply &reply) {
            if (reply.status != 207)
                return fail(text("CalendarsNotListed")
                                .arg(m_home.toString(QUrl::RemoveUserInfo))
                                .arg(reply.status),
                            reply);
            const Multistatus::Answer answer = Multistatus::parse(reply.body);
            if (!answer.error.isEmpty())
                return fail(text("Unreadable").arg(answer.error), reply);
            QList<Calendar> found;
            for (const Multistatus::Response &r : answer.responses) {
                if (!holdsTasks(r) || slash(r.href) == m_home.path())
                    continue;
                QUrl at = m_home;
                at.setPath(slash(r.href));
                found.append({at, nameOf(r)});
            }
            emit finished(found, {}, reply);
        });
}

void Discovery::create(const QString &name)
{
    makeAt(name, 1);
}

void Discovery::makeAt(const QString &name, int attempt)
{
    QString slug;
    for (const QChar c : name.toLower())
        if (c.isLetterOrNumber() && c.unicode() < 128)
            slug += c;
    if (slug.isEmpty())
        slug = QStringLiteral("tasks");
    if (attempt > 1)
        slug += QLatin1Char('-') + QString::number(attempt);
    QUrl url = m_home;
    url.setPath(m_home.path() + slug + QLatin1Char('/'));
    const QByteArray body =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?><C:mkcalendar xmlns:D=\"DAV:\" "
        "xmlns:C=\"urn:ietf:params:xml:ns:caldav\"><D:set><D:prop><D:displayname>" +
        name.toHtmlEscaped().toUtf8() +
        "</D:displayname><C:supported-calendar-component-set><C:comp name=\"VTODO\"/>"
        "</C:supported-calendar-component-set></D:prop></D:set></C:mkcalendar>";
    m_client.send("MKCALENDAR", url, body, {{"Content-Type", Xml}},
                  [this, name, attempt, url](const DavReply &reply) {
                      // Something is there already (Xandikos: a 207 that says so).
                      const bool taken = reply.status == 405 || reply.status == 409 ||
                                         (reply.status == 207 && reply.body.contains("403"));
                      if (reply.error.isEmpty() && taken && attempt < 9)
                          return makeAt(name, attempt + 1);
                      if (!reply.ok() || reply.status == 207)
                          return emit created({},
                                              reply.error.isEmpty()
                                                  ? text("CalendarNotMade").arg(reply.status)
                                                  : reply.error,
                                              reply);
                      emit created({url, name}, {}, reply);
                  });
}
