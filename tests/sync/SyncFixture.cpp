#include "SyncFixture.h"

#include "common/TestFiles.h"
#include "output/IcalRecurrence.h"
#include "store/TaskDataFile.h"
#include "store/TaskTable.h"
#include "sync/Multistatus.h"

#include <QDir>
#include <QFile>

namespace {

const QString Scripts = QStringLiteral(NUDGERY_SYNC_TEST_DIR);

const QByteArray MakeCalendar =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><C:mkcalendar xmlns:D=\"DAV:\" "
    "xmlns:C=\"urn:ietf:params:xml:ns:caldav\"><D:set><D:prop><D:displayname>Tasks"
    "</D:displayname><C:supported-calendar-component-set><C:comp name=\"VTODO\"/>"
    "</C:supported-calendar-component-set></D:prop></D:set></C:mkcalendar>";

} // namespace

DavServer::DavServer(Kind kind) : m_kind(kind)
{
    const QString dir = m_dir.path();
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    if (kind == Kind::Radicale) {
        TestFiles::writeAll(dir + QStringLiteral("/users"), (user + ':' + password).toUtf8());
        TestFiles::writeAll(dir + QStringLiteral("/config"),
                            ("[server]\nhosts = 127.0.0.1:0\n[auth]\ntype = htpasswd\n"
                             "htpasswd_filename = " +
                             dir +
                             "/users\nhtpasswd_encryption = plain\ndelay = 0\n"
                             "[rights]\ntype = owner_only\n[storage]\nfilesystem_folder = " +
                             dir + "/collections\n[logging]\nlevel = info\n")
                                .toUtf8());
        m_port = SyncKit::startRadicale(
            m_process, {QStringLiteral("--config"), dir + QStringLiteral("/config")},
            dir + QStringLiteral("/log"));
    } else {
        m_process.setStandardOutputFile(dir + QStringLiteral("/out"));
        m_process.setStandardErrorFile(dir + QStringLiteral("/log"));
        m_process.start(QStringLiteral("/usr/bin/python3"),
                        {Scripts + QStringLiteral("/xandikos_serve.py"),
                         dir + QStringLiteral("/store"), user, password});
        SyncKit::waitUntil([&] {
            const QByteArray out = TestFiles::readAll(dir + QStringLiteral("/out"));
            if (out.startsWith("PORT "))
                m_port = out.mid(5).trimmed().toInt();
            return m_port > 0 || m_process.state() == QProcess::NotRunning;
        });
    }
    if (!m_port)
        return;
    m_client.setCredentials(user, password);
    m_calendar = root();
    m_calendar.setPath(kind == Kind::Radicale ? QStringLiteral("/alice/tasks/")
                                              : QStringLiteral("/user/calendars/tasks/"));
    const DavReply made = request(m_client, "MKCALENDAR", m_calendar, MakeCalendar,
                                  {{"Content-Type", "application/xml; charset=utf-8"}});
    if (made.status != 201)
        m_port = 0;
}

DavServer::~DavServer()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QUrl DavServer::root() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(m_port));
}

QMap<QString, QByteArray> DavServer::items()
{
    const QByteArray query =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?><C:calendar-query xmlns:D=\"DAV:\" "
        "xmlns:C=\"urn:ietf:params:xml:ns:caldav\"><D:prop><D:getetag/><C:calendar-data/>"
        "</D:prop><C:filter><C:comp-filter name=\"VCALENDAR\"/></C:filter></C:calendar-query>";
    const DavReply reply =
        request(m_client, "REPORT", m_calendar, query,
                {{"Content-Type", "application/xml; charset=utf-8"}, {"Depth", "1"}});
    QMap<QString, QByteArray> out;
    for (const Multistatus::Response &r : Multistatus::parse(reply.body).responses)
        if (const QString data = r.text(QStringLiteral("calendar-data")); !data.isEmpty())
            out.insert(r.href, data.toUtf8());
    return out;
}

DavReply DavServer::put(const QString &path, const QByteArray &text)
{
    QUrl url = m_calendar;
    url.setPath(path);
    return request(m_client, "PUT", url, text, {{"Content-Type", "text/calendar; charset=utf-8"}});
}

DavReply DavServer::remove(const QString &path)
{
    QUrl url = m_calendar;
    url.setPath(path);
    return request(m_client, "DELETE", url);
}

Device::Device(const QString &folder)
    : m_folder(folder.isEmpty() ? m_dir.path() + QLatin1Char('/') : folder)
{
    restart();
}

void Device::restart()
{
    m_tasks.reset();
    m_identities = std::make_unique<TaskIdentities>(folder() + QStringLiteral("Tasklyn.IDS"));
    m_identities->load();
    m_tasks = std::make_unique<TaskList>(folder() + QStringLiteral("Tasklyn.DAT"),
                                         folder() + QStringLiteral("Tasklyn.ARK"), m_damaged);
    m_tasks->setIdentities(m_identities.get());
    m_tasks->setRepeats(&m_clock, &m_dates, &IcalRecurrence::next);
    m_tasks->load(AllItems);
}

SyncReport Device::sync(const DavServer &server, std::function<bool(const QString &)> ask)
{
    return sync(server.calendar(), server.user, server.password, std::move(ask));
}

SyncReport Device::sync(const QUrl &calendar, const QString &user, const QString &password,
                        std::function<bool(const QString &)> ask)
{
    m_client.setCredentials(user, password);
    SyncSession::Setup setup;
    setup.calendar = calendar;
    setup.language = m_client.language();
    setup.ask = std::move(ask);
    return SyncKit::sync(m_client, *m_tasks, *m_identities, m_dates, m_clock, setup);
}

int Device::rowOf(const QString &text)
{
    m_tasks->load(AllItems);
    const TaskTable &t = m_tasks->table();
    for (int r = 1; r <= t.taskCount(); ++r)
        if (t.cell(Col::Task, r) == text)
            return r;
    return 0;
}

void Device::add(const QString &text, const QString &category, const QString &priority)
{
    TaskRow row;
    row[Col::Done] = QStringLiteral(" ");
    row[Col::Task] = text;
    row[Col::Date] = QStringLiteral("24/12/2026");
    row[Col::Hour] = QStringLiteral("10:00");
    row[Col::Priority] = priority;
    row[Col::SortKey] = QStringLiteral("2026-12-24 10:00");
    row[Col::Category] = category;
    row[Col::TextColor] = QStringLiteral("18");
    row[Col::Note] = QStringLiteral("A note\r\non two lines");
    m_tasks->add(row);
}

void Device::rename(const QString &text, const QString &to)
{
    const int r = rowOf(text);
    TaskRow row = m_tasks->table().row(r);
    row[Col::Task] = to;
    m_tasks->replace(r, row);
}

void Device::tick(const QString &text)
{
    m_tasks->toggleDone(rowOf(text));
}

void Device::remove(const QString &text)
{
    const int r = rowOf(text);
    m_tasks->remove(r, r);
}

void Device::archive(const QString &text)
{
    const int r = rowOf(text);
    m_tasks->archive(r, r);
}

void Device::unarchive(const QString &text)
{
    TaskTable archived;
    const TaskDataFile file(m_tasks->archiveFileName(), m_damaged);
    file.LoadTasks(archived, AllItems);
    for (int r = 1; r <= archived.taskCount(); ++r) {
        if (archived.cell(Col::Task, r) != text)
            continue;
        m_tasks->unarchive(archived.recordOffset(r));
        return;
    }
}

bool Device::has(const QString &text)
{
    return rowOf(text) > 0;
}

RepeatRule Device::ruleOf(const QString &text)
{
    return m_tasks->repeatRule(rowOf(text));
}

void Device::setRule(const QString &text, RepeatRule::Unit unit)
{
    const int r = rowOf(text);
    const TaskRow row = m_tasks->table().row(r);
    m_tasks->replace(r, row, RepeatRule::every(unit, 1, *m_tasks->taskDate(row)).stored());
}

QDate Device::dateOf(const QString &text)
{
    return m_tasks->taskDate(m_tasks->table().row(rowOf(text))).value_or(QDate());
}

QStringList Device::list()
{
    QStringList out;
    for (const bool archived : {false, true}) {
        TaskTable table;
        TaskDataFile(archived ? m_tasks->archiveFileName() : m_tasks->dataFileName(), m_damaged)
            .LoadTasks(table, AllItems);
        for (int r = 1; r <= table.taskCount(); ++r)
            out << (archived ? QStringLiteral("archive:") : QString()) + table.cell(Col::Task, r) +
                       (table.cell(Col::Done, r) == DoneMark ? QStringLiteral("|done")
                                                             : QStringLiteral("|open"));
    }
    out.sort();
    return out;
}

QString Device::uidOf(const QString &text)
{
    const int r = rowOf(text);
    if (!r)
        return {};
    TaskIdentities::Claims claims(*m_identities, TaskIdentities::Place::Data);
    return claims.take(m_tasks->table().recordText(r));
}

QStringList phone(const DavServer &server, const QStringList &command)
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"),
            QStringList{Scripts + QStringLiteral("/phone.py"), server.calendar().toString(),
                        server.user, server.password} +
                command);
    p.waitForFinished(60000);
    const QString out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    if (p.exitCode() != 0)
        return {QStringLiteral("phone failed: ") + QString::fromUtf8(p.readAllStandardError())};
    return out.isEmpty() ? QStringList() : out.split(QLatin1Char('\n'));
}
