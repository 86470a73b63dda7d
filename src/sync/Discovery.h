#pragma once

#include "DavClient.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

// From the address a user gives (a calendar, a principal or just the server) to
// the calendars that hold tasks: the address itself when it is one, else
// current-user-principal (asked of the address, then of /.well-known/caldav),
// calendar-home-set, and the collections under it whose components include VTODO.
class Discovery : public QObject
{
    Q_OBJECT
public:
    struct Calendar
    {
        QUrl url;
        QString name; // its display name, else the last part of its path
    };

    explicit Discovery(DavClient &client, QObject *parent = nullptr);

    void start(const QUrl &address);
    // Makes a task calendar of that name in the calendar home found (after start).
    void create(const QString &name);

signals:
    // error: why none could be found (the calendars are then empty); reply: the
    // answer that failed, for what the user can mend.
    void finished(const QList<Discovery::Calendar> &calendars, const QString &error,
                  const DavReply &reply);
    void created(const Discovery::Calendar &calendar, const QString &error, const DavReply &reply);

private:
    void ask(const QUrl &url, const QByteArray &depth, const QByteArray &props,
             std::function<void(const DavReply &)> then);
    void atAddress(const DavReply &reply);
    void wellKnown();
    void principal(const QUrl &url);
    void home(const QUrl &url);
    void makeAt(const QString &name, int attempt);
    void fail(const QString &error, const DavReply &reply = {});
    // In the language of the client's errors.
    QString text(const char *key) const;

    DavClient &m_client;
    QUrl m_address;
    QUrl m_home;
};
