#include "DavClient.h"

#include "SyncText.h"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslError>
#include <QTimer>

struct DavClient::Request
{
    QByteArray verb;
    QUrl url;
    QByteArray body;
    Headers headers;
    Done done;
    QList<QUrl> visited;
    QNetworkReply *reply = nullptr;
    QTimer timer;
    QByteArray received;
    QString error;
    QString certificateProblem;
    QByteArray certificateSha256;
    bool plainHttpRefused = false;
};

namespace {

QString origin(const QUrl &url)
{
    return url.scheme() + QStringLiteral("://") + url.host() + QLatin1Char(':') +
           QString::number(url.port(url.scheme() == QLatin1String("https") ? 443 : 80));
}

QString megabytes(qint64 bytes)
{
    return QString::number(double(bytes) / (1024 * 1024), 'f', 0);
}

} // namespace

DavClient::DavClient(QObject *parent) : QObject(parent), m_nam(new QNetworkAccessManager(this)) {}

QString DavClient::text(const char *key) const
{
    return syncText(key, m_language);
}

QString DavClient::tooLarge() const
{
    return text("AnswerTooLarge").arg(megabytes(m_answerLimit));
}

DavClient::~DavClient()
{
    abortAll();
}

bool DavClient::isLoopback(const QUrl &url)
{
    const QString host = url.host();
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

void DavClient::setCredentials(const QString &user, const QString &password)
{
    m_authorization.clear();
    if (!user.isEmpty())
        m_authorization = "Basic " + (user + QLatin1Char(':') + password).toUtf8().toBase64();
}

void DavClient::send(const QByteArray &verb, const QUrl &url, const QByteArray &body,
                     const Headers &headers, Done done)
{
    auto *r = new Request;
    r->verb = verb;
    r->url = url;
    r->body = body;
    r->headers = headers;
    r->done = std::move(done);
    m_requests.append(r);
    start(r);
}

void DavClient::abortAll()
{
    const QList<Request *> all = m_requests;
    m_requests.clear();
    for (Request *r : all) {
        if (r->reply) {
            r->reply->disconnect(this);
            r->reply->abort();
            r->reply->deleteLater();
        }
        delete r;
    }
}

void DavClient::start(Request *r)
{
    r->received.clear();
    if (!m_authorization.isEmpty() && r->url.scheme() == QLatin1String("http") &&
        !isLoopback(r->url) && !m_plainHttpAllowed) {
        r->error = text("PlainHttpNotSent").arg(r->url.toString(QUrl::RemoveUserInfo));
        r->plainHttpRefused = true;
        QTimer::singleShot(0, this, [this, r] { finished(r); });
        return;
    }
    QNetworkRequest request(r->url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    for (const auto &[name, value] : r->headers)
        request.setRawHeader(name, value);
    if (!m_authorization.isEmpty())
        request.setRawHeader("Authorization", m_authorization);
    ++m_sent;
    QNetworkReply *reply = m_nam->sendCustomRequest(request, r->verb, r->body);
    r->reply = reply;
    r->timer.setSingleShot(true);
    r->timer.setInterval(m_timeoutMs);
    const auto cutOff = [r](const QString &why) {
        if (r->error.isEmpty())
            r->error = why;
        r->reply->abort();
    };
    connect(&r->timer, &QTimer::timeout, reply,
            [this, r, cutOff] { cutOff(text("NoAnswerWithin").arg(m_timeoutMs / 1000.0)); });
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, r, cutOff] {
        const QVariant length = r->reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > m_answerLimit)
            cutOff(tooLarge());
    });
    connect(reply, &QNetworkReply::readyRead, this, [this, r, cutOff] {
        r->timer.start();
        r->received += r->reply->readAll();
        if (r->received.size() > m_answerLimit)
            cutOff(tooLarge());
    });
    connect(reply, &QNetworkReply::uploadProgress, &r->timer, qOverload<>(&QTimer::start));
    connect(reply, &QNetworkReply::sslErrors, this, [this, r](const QList<QSslError> &errors) {
        const QSslCertificate peer = r->reply->sslConfiguration().peerCertificate();
        const QByteArray sha = peer.digest(QCryptographicHash::Sha256).toHex();
        if (!m_trusted.isEmpty() && sha == m_trusted) {
            r->reply->ignoreSslErrors(errors);
            return;
        }
        QStringList reasons;
        for (const QSslError &e : errors)
            reasons << e.errorString();
        r->certificateProblem = reasons.join(QStringLiteral("; "));
        r->certificateSha256 = sha;
    });
    connect(reply, &QNetworkReply::finished, this, [this, r] { finished(r); });
    r->timer.start();
}

void DavClient::finished(Request *r)
{
    if (!m_requests.contains(r))
        return;
    QNetworkReply *reply = r->reply;
    DavReply answer;
    answer.url = r->url;
    if (reply) {
        r->timer.stop();
        reply->disconnect(this);
        reply->deleteLater();
        r->reply = nullptr;
        if (r->error.isEmpty()) {
            r->received += reply->readAll();
            if (r->received.size() > m_answerLimit)
                r->error = tooLarge();
        }
        answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        answer.body = r->received;
        answer.etag = reply->rawHeader("ETag");
        answer.contentType = reply->rawHeader("Content-Type");
        if (r->error.isEmpty() && !r->certificateProblem.isEmpty()) {
            r->error = text("CertificateRefused")
                           .arg(r->url.host(), r->certificateProblem,
                                QString::fromLatin1(r->certificateSha256));
            answer.certificateProblem = r->certificateProblem;
            answer.certificateSha256 = r->certificateSha256;
        }
        if (r->error.isEmpty() && answer.status == 0)
            r->error = text("Unreachable").arg(r->url.host(), reply->errorString());
        const bool redirect = answer.status == 301 || answer.status == 302 ||
                              answer.status == 303 || answer.status == 307 || answer.status == 308;
        const QByteArray location = reply->rawHeader("Location");
        if (r->error.isEmpty() && redirect && !location.isEmpty()) {
            const QUrl target = r->url.resolved(QUrl::fromEncoded(location));
            r->visited.append(r->url);
            if (origin(target) != origin(r->url)) {
                r->error = text("RedirectedAway").arg(target.toString(QUrl::RemoveUserInfo));
            } else if (r->visited.contains(target) || r->visited.size() > MaxRedirects) {
                r->error = text("RedirectLoop").arg(target.toString(QUrl::RemoveUserInfo));
            } else {
                r->url = target;
                start(r);
                return;
            }
        }
    }
    answer.error = r->error;
    answer.plainHttpRefused = r->plainHttpRefused;
    m_requests.removeOne(r);
    const Done done = std::move(r->done);
    delete r;
    done(answer);
}
