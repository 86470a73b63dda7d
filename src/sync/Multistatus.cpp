#include "Multistatus.h"

#include <QUrl>
#include <QXmlStreamReader>

namespace Multistatus {

namespace {

const QString Dav = QStringLiteral("DAV:");

bool is(const QXmlStreamReader &xml, const char *name)
{
    return xml.namespaceUri() == Dav && xml.name() == QLatin1String(name);
}

// Reads a property element whole; the reader stands on its start.
Property readProperty(QXmlStreamReader &xml)
{
    Property p;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            if (depth == 1)
                p.children.append(xml.name().toString());
            if (is(xml, "href")) {
                p.hrefs.append(pathOf(xml.readElementText()));
                break; // readElementText ends on the element's end
            }
            if (xml.name() == QLatin1String("comp"))
                p.components.append(xml.attributes().value(QStringLiteral("name")).toString());
            ++depth;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        case QXmlStreamReader::Characters:
            if (depth == 1)
                p.text += xml.text();
            break;
        default:
            break;
        }
    }
    return p;
}

void readPropstat(QXmlStreamReader &xml, Response &r)
{
    std::vector<std::pair<QString, Property>> found;
    int status = 200;
    while (xml.readNextStartElement()) {
        if (is(xml, "prop")) {
            while (xml.readNextStartElement())
                found.emplace_back(xml.name().toString(), readProperty(xml));
        } else if (is(xml, "status")) {
            status = statusOf(xml.readElementText());
        } else {
            xml.skipCurrentElement();
        }
    }
    for (auto &[name, p] : found) {
        p.status = status;
        r.properties.insert(name, p);
    }
}

Response readResponse(QXmlStreamReader &xml)
{
    Response r;
    while (xml.readNextStartElement()) {
        if (is(xml, "href"))
            r.href = pathOf(xml.readElementText());
        else if (is(xml, "status"))
            r.status = statusOf(xml.readElementText());
        else if (is(xml, "propstat"))
            readPropstat(xml, r);
        else
            xml.skipCurrentElement();
    }
    return r;
}

} // namespace

const Property *Response::property(const QString &name) const
{
    const auto it = properties.constFind(name);
    return it == properties.constEnd() ? nullptr : &*it;
}

QString Response::text(const QString &name) const
{
    const Property *p = property(name);
    return p && p->status / 100 == 2 ? p->text : QString();
}

Answer parse(const QByteArray &text)
{
    Answer answer;
    QXmlStreamReader xml(text);
    if (!xml.readNextStartElement() || !is(xml, "multistatus")) {
        answer.error = xml.hasError() ? xml.errorString()
                                      : QStringLiteral("the answer is no WebDAV multistatus");
    } else {
        while (xml.readNextStartElement()) {
            if (is(xml, "response"))
                answer.responses.push_back(readResponse(xml));
            else if (is(xml, "sync-token"))
                answer.syncToken = xml.readElementText().trimmed().toUtf8();
            else
                xml.skipCurrentElement();
        }
        // Whatever follows the root must be well-formed too.
        while (!xml.atEnd() && !xml.hasError())
            xml.readNext();
        if (xml.hasError())
            answer.error =
                QStringLiteral("%1 (line %2)").arg(xml.errorString()).arg(xml.lineNumber());
    }
    if (!answer.error.isEmpty()) {
        answer.responses.clear();
        answer.syncToken.clear();
    }
    return answer;
}

int statusOf(const QString &line)
{
    const QStringList words = line.simplified().split(QLatin1Char(' '));
    bool ok = false;
    const int code = words.value(1).toInt(&ok);
    return ok ? code : 0;
}

QString pathOf(const QString &href)
{
    QString h = href.trimmed();
    // Xandikos encodes a whole URL: "http%3A//127.0.0.1%3A8080/user/".
    if (h.startsWith(QLatin1String("http%3A"), Qt::CaseInsensitive) ||
        h.startsWith(QLatin1String("https%3A"), Qt::CaseInsensitive))
        h = QUrl::fromPercentEncoding(h.toUtf8());
    const QUrl url(h);
    if (url.isRelative() && !h.startsWith(QLatin1Char('/')))
        return QUrl::fromPercentEncoding(h.toUtf8());
    return url.path(QUrl::FullyDecoded);
}

QByteArray syncCollection(const QByteArray &token)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?><D:sync-collection xmlns:D=\"DAV:\">"
           "<D:sync-token>" +
           QString::fromUtf8(token).toHtmlEscaped().toUtf8() +
           "</D:sync-token><D:sync-level>1</D:sync-level><D:prop><D:getetag/></D:prop>"
           "</D:sync-collection>";
}

} // namespace Multistatus
