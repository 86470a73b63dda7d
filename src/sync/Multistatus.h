#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

// A WebDAV multistatus answer (RFC 4918) as CalDAV servers send them: responses
// with their href, their status or their properties' statuses, and the
// sync-token of a sync-collection report (RFC 6578).
namespace Multistatus {

struct Property
{
    int status = 200;
    QString text;           // the element's text (an ETag, calendar data, a name)
    QStringList hrefs;      // hrefs inside it, as paths (current-user-principal ...)
    QStringList children;   // the local names of its child elements (resourcetype)
    QStringList components; // comp names inside it (supported-calendar-component-set)
};

struct Response
{
    QString href;                        // as a path, decoded
    int status = 0;                      // the response's own status; 0 when each property has one
    QHash<QString, Property> properties; // by local name

    const Property *property(const QString &name) const;
    // The property's text when the server gave it (status 2xx), else empty.
    QString text(const QString &name) const;
};

struct Answer
{
    std::vector<Response> responses;
    QByteArray syncToken;
    QString error; // why the answer could not be read; then nothing else is set
};

Answer parse(const QByteArray &xml);

// The question of the calendar's changes since token (sync-collection, one level,
// the ETags only).
QByteArray syncCollection(const QByteArray &token);

// The status code of an HTTP status line ("HTTP/1.1 404 Not Found"), or 0.
int statusOf(const QString &line);

// An href as servers write it (a path, a whole URL, or Xandikos's percent-encoded
// URL) as a decoded path.
QString pathOf(const QString &href);

} // namespace Multistatus
