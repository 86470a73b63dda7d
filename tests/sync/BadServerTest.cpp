// Servers that answer wrongly or not at all: each gives a clear message, and the
// task list here is as it was.
#include "ScriptedServer.h"
#include "SyncFixture.h"
#include "common/TestFiles.h"

#include <gtest/gtest.h>

namespace {

using Request = ScriptedServer::Request;

QByteArray multistatus(const QByteArray &responses, const QByteArray &token = "t1")
{
    return "<?xml version=\"1.0\"?><D:multistatus xmlns:D=\"DAV:\" "
           "xmlns:C=\"urn:ietf:params:xml:ns:caldav\">" +
           responses + "<D:sync-token>" + token + "</D:sync-token></D:multistatus>";
}

QByteArray listed(const QByteArray &path, const QByteArray &etag)
{
    return "<D:response><D:href>" + path + "</D:href><D:propstat><D:prop><D:getetag>" + etag +
           "</D:getetag></D:prop><D:status>HTTP/1.1 200 OK</D:status></D:propstat>"
           "</D:response>";
}

QByteArray item(const QByteArray &path, const QByteArray &uidLine, const QByteArray &summary)
{
    return "<D:response><D:href>" + path +
           "</D:href><D:propstat><D:prop><D:getetag>\"e\"</D:getetag><C:calendar-data>"
           "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//x//EN\r\nBEGIN:VTODO\r\n" +
           uidLine + "SUMMARY:" + summary +
           "\r\nEND:VTODO\r\nEND:VCALENDAR\r\n</C:calendar-data></D:prop><D:status>HTTP/1.1 "
           "200 OK</D:status></D:propstat></D:response>";
}

// A calendar of the given items: listed by sync-collection, sent by multiget.
ScriptedServer::Script calendarOf(const QList<QPair<QByteArray, QByteArray>> &items)
{
    return [items](const Request &r) {
        QByteArray body;
        for (const auto &[path, full] : items)
            body += r.body.contains("sync-collection") ? listed(path, "\"e\"") : full;
        return ScriptedServer::response(207, multistatus(body));
    };
}

struct Case
{
    const char *name;
    std::function<ScriptedServer::Script(ScriptedServer *&self)> script;
    bool ok;          // the sync goes through (with a note)
    const char *said; // in the error, or in a note
    Language language = Language::English;
};

TEST(BadServer, shouldSayWhatIsWrongAndLeaveTheTasksHereAsTheyWere)
{
    const QByteArray html = "<html><body><h1>Bad Gateway</h1></body></html>";
    const Case cases[] = {
        {"401",
         [](auto &) { return [](const Request &) { return ScriptedServer::response(401, "no"); }; },
         false, "refused the user name or password"},
        {"403",
         [](auto &) { return [](const Request &) { return ScriptedServer::response(403, "no"); }; },
         false, "O servidor recusou o acesso a http://127.0.0.1", Language::Portuguese},
        {"404: the calendar is gone, and the user keeps it so",
         [](auto &) { return [](const Request &) { return ScriptedServer::response(404, ""); }; },
         false, "já não está no servidor. Nada foi alterado aqui.", Language::Portuguese},
        {"500",
         [](auto &) {
             return [](const Request &) {
                 return ScriptedServer::response(500, "oops", "text/plain");
             };
         },
         false, "status 500"},
        {"an HTML error page",
         [html](auto &) {
             return [html](const Request &) {
                 return ScriptedServer::response(200, html, "text/html");
             };
         },
         false, "página web (estado 200) em vez de dados de calendário (lista de eventos)",
         Language::Portuguese},
        {"a malformed multistatus",
         [](auto &) {
             return [](const Request &) {
                 return ScriptedServer::response(207,
                                                 "<D:multistatus xmlns:D=\"DAV:\"><D:response>");
             };
         },
         false, "could not be read"},
        {"a redirect loop",
         [](auto &) {
             return [](const Request &r) {
                 const QByteArray to = r.path == "/cal/" ? "/other/" : "/cal/";
                 return ScriptedServer::response(301, {}, "text/plain", "Location: " + to + "\r\n");
             };
         },
         false, "ciclo de redirecionamentos", Language::Portuguese},
        {"a redirect to another server",
         [](auto &) {
             return [](const Request &) {
                 return ScriptedServer::response(302, {}, "text/plain",
                                                 "Location: http://127.0.0.2:9/cal/\r\n");
             };
         },
         false, "on to another server"},
        {"one redirect within the server is followed",
         [](auto &) {
             return [](const Request &r) {
                 if (r.path == "/cal/")
                     return ScriptedServer::response(301, {}, "text/plain",
                                                     "Location: /moved/\r\n");
                 return ScriptedServer::response(207, multistatus({}));
             };
         },
         true, ""},
        {"no answer", [](auto &) { return [](const Request &) { return QByteArray(); }; }, false,
         "did not answer within 1 seconds"},
        {"a 50 MB answer",
         [](auto &) {
             return [](const Request &) {
                 // No length given: the answer ends when the connection does.
                 return "HTTP/1.1 207 Multi-Status\r\nContent-Type: application/xml\r\n"
                        "Connection: close\r\n\r\n" +
                        QByteArray(50 * 1024 * 1024, ' ');
             };
         },
         false, "larger than 32 MB"},
        {"a to-do without UID",
         [](auto &) {
             return calendarOf({{"/cal/a.ics", item("/cal/a.ics", "", "No uid")}});
         },
         true, "O item /cal/a.ics do servidor não foi tocado: a sua tarefa não tem UID.",
         Language::Portuguese},
        {"two items with one UID",
         [](auto &) {
             return calendarOf({{"/cal/a.ics", item("/cal/a.ics", "UID:same\r\n", "First")},
                                {"/cal/b.ics", item("/cal/b.ics", "UID:same\r\n", "Second")}});
         },
         true, "another item has its UID \"same\""},
    };
    for (const Case &c : cases) {
        ScriptedServer *self = nullptr;
        const ScriptedServer::Script script = c.script(self);
        // Tasks here are sent, should the sync get that far.
        ScriptedServer server([script](const Request &r) {
            return r.method == "PUT"
                       ? ScriptedServer::response(201, {}, "text/plain", "ETag: \"new\"\r\n")
                       : script(r);
        });
        Device device;
        device.add(QStringLiteral("Here before"));
        device.add(QStringLiteral("And this"));
        // Only the server that never answers waits out the time-out; the others get
        // time enough for a loaded machine.
        device.client().setTimeout(qstrcmp(c.name, "no answer") == 0 ? 1000 : 30000);
        device.client().setLanguage(c.language);
        const QString dataPath = device.folder() + QStringLiteral("Tasklyn.DAT");
        const QByteArray before = TestFiles::readAll(dataPath);
        const QStringList listBefore = device.list();
        QStringList asked;
        const SyncReport report =
            device.sync(server.url(QStringLiteral("/cal/")), QStringLiteral("alice"),
                        QStringLiteral("s3cret-Pass"), [&asked](const QString &q) {
                            asked << q;
                            return false;
                        });
        EXPECT_EQ(report.ok(), c.ok) << c.name << ": " << report.error.toStdString();
        const QString said = report.error + report.notes.join(QLatin1Char('\n'));
        EXPECT_TRUE(said.contains(QString::fromUtf8(c.said)))
            << c.name << ": " << said.toStdString();
        EXPECT_FALSE((said + asked.join(QString())).contains(QLatin1String("s3cret")))
            << c.name << ": the password is in a message";
        EXPECT_EQ(TestFiles::readAll(dataPath), before) << c.name;
        EXPECT_EQ(device.list(), listBefore) << c.name;
    }
}

} // namespace
