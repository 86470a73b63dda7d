#pragma once

#include "store/Clock.h"
#include "store/DamagedFiles.h"
#include "store/DateFormat.h"
#include "store/TaskIdentities.h"
#include "sync/DavClient.h"
#include "sync/SyncSession.h"
#include "tasks/TaskList.h"
#include "testkit/SyncKit.h"

#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <functional>
#include <memory>
#include <ostream>

// What gtest shows of a text that differs.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

using SyncKit::request;

// A real CalDAV server on 127.0.0.1, started for a test and stopped after it, with
// one user and one task calendar: Radicale with its own password file, or
// Xandikos behind a small front that asks for the password.
class DavServer
{
public:
    enum class Kind { Radicale, Xandikos };
    explicit DavServer(Kind kind);
    ~DavServer();

    bool started() const { return m_port > 0; }
    Kind kind() const { return m_kind; }
    QUrl root() const;
    QUrl calendar() const { return m_calendar; }
    const QString user = QStringLiteral("alice");
    const QString password = QStringLiteral("p4ss wörd");

    // What another client does, straight over HTTP.
    QMap<QString, QByteArray> items(); // path → iCalendar text
    DavReply put(const QString &path, const QByteArray &text);
    DavReply remove(const QString &path);

    static const char *name(Kind kind) { return kind == Kind::Radicale ? "Radicale" : "Xandikos"; }

private:
    Kind m_kind;
    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
    QUrl m_calendar;
    DavClient m_client;
};

// A computer: a program folder with its task list and side file, synchronised
// with sync(). Tasks are named by their text, as a user sees them.
class Device
{
public:
    // folder: an existing program folder, else a new one of its own.
    explicit Device(const QString &folder = {});
    QString folder() const { return m_folder; }
    TaskList &tasks() { return *m_tasks; }
    TaskIdentities &identities() { return *m_identities; }
    const DateFormat &dates() const { return m_dates; }

    SyncReport sync(const DavServer &server, std::function<bool(const QString &)> ask = {});
    SyncReport sync(const QUrl &calendar, const QString &user, const QString &password,
                    std::function<bool(const QString &)> ask = {});
    // Its language is the sync's too.
    DavClient &client() { return m_client; }
    // The side file and the task list read afresh, as a new run does.
    void restart();

    void add(const QString &text, const QString &category = {}, const QString &priority = {});
    void rename(const QString &text, const QString &to);
    void tick(const QString &text);
    void remove(const QString &text);
    void archive(const QString &text);
    void unarchive(const QString &text);
    bool has(const QString &text);
    // The repeat rule and the date of the task with that text.
    RepeatRule ruleOf(const QString &text);
    void setRule(const QString &text, RepeatRule::Unit unit);
    QDate dateOf(const QString &text);
    // "text|done" of every task in the task data file, sorted; the archive's with
    // "archive:" before.
    QStringList list();
    QString uidOf(const QString &text);

private:
    int rowOf(const QString &text);

    QTemporaryDir m_dir;
    QString m_folder;
    DamagedFiles m_damaged;
    DateFormat m_dates;
    SystemClock m_clock;
    std::unique_ptr<TaskIdentities> m_identities;
    std::unique_ptr<TaskList> m_tasks;
    DavClient m_client;
};

// python3-caldav on the server's calendar (tests/sync/phone.py).
QStringList phone(const DavServer &server, const QStringList &command);
