#pragma once

#include "i18n/LanguageTables.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QUrl>

#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

// One HTTP answer of a CalDAV server, or why there was none.
struct DavReply
{
    int status = 0; // the HTTP status; 0 when there was no answer (see error)
    QByteArray body;
    QByteArray etag;
    QByteArray contentType;
    QUrl url;      // where the answer came from, after redirects
    QString error; // why there is no usable answer, for the user; empty when there is
    // A certificate that did not verify: the reasons and its SHA-256 fingerprint
    // (hex), which the user may choose to trust.
    QString certificateProblem;
    QByteArray certificateSha256;
    // A password was not sent over plain http to a host other than this machine.
    bool plainHttpRefused = false;

    bool ok() const { return error.isEmpty() && status / 100 == 2; }
};

// The HTTP side of CalDAV over Qt's network client, asynchronous: each request
// calls back once on the event loop. The Basic authorization is built here from
// UTF-8 (Qt's own sends Latin-1) and sent with every request; redirects are
// followed within the same server only; a certificate that does not verify is
// refused unless it is the one the user trusted; an answer that takes too long
// or grows too large is cut off.
class DavClient : public QObject
{
    Q_OBJECT
public:
    using Headers = QList<QPair<QByteArray, QByteArray>>;
    using Done = std::function<void(const DavReply &)>;

    explicit DavClient(QObject *parent = nullptr);
    ~DavClient() override;

    void setCredentials(const QString &user, const QString &password);
    // Whether the password may go over plain http to another machine.
    void setPlainHttpAllowed(bool allowed) { m_plainHttpAllowed = allowed; }
    // A silence this long ends a request (milliseconds).
    void setTimeout(int ms) { m_timeoutMs = ms; }
    void setAnswerLimit(qint64 bytes) { m_answerLimit = bytes; }
    // The SHA-256 fingerprint (hex) of a certificate the user chose to trust.
    void setTrustedCertificate(const QByteArray &sha256) { m_trusted = sha256.toLower(); }
    // The language of the errors told.
    void setLanguage(Language language) { m_language = language; }
    Language language() const { return m_language; }

    void send(const QByteArray &verb, const QUrl &url, const QByteArray &body,
              const Headers &headers, Done done);
    // Ends every request under way; their callbacks are not called.
    void abortAll();
    // Requests sent so far, redirects included.
    int sent() const { return m_sent; }

    static constexpr int DefaultTimeoutMs = 30000;
    static constexpr qint64 DefaultAnswerLimit = 32 * 1024 * 1024;
    static constexpr int MaxRedirects = 5;
    static bool isLoopback(const QUrl &url);

private:
    struct Request;
    void start(Request *request);
    void finished(Request *request);
    QString text(const char *key) const;
    QString tooLarge() const;

    QNetworkAccessManager *m_nam;
    QByteArray m_authorization;
    bool m_plainHttpAllowed = false;
    int m_timeoutMs = DefaultTimeoutMs;
    qint64 m_answerLimit = DefaultAnswerLimit;
    QByteArray m_trusted;
    Language m_language = Language::English;
    int m_sent = 0;
    QList<Request *> m_requests;
};
