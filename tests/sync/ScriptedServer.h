#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QSslConfiguration>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include <functional>
#include <memory>

// An HTTP server on 127.0.0.1 (or another address of this machine) that answers
// each request as the test scripts it: the whole response, or nothing at all (a
// server that never answers); https with the certificate given. One request a
// connection; served by the event loop of the thread that waits.
class ScriptedServer
{
public:
    struct Request
    {
        QByteArray method;
        QByteArray path;
        QByteArray body;
    };
    using Script = std::function<QByteArray(const Request &)>;

    explicit ScriptedServer(Script script,
                            const QHostAddress &address = QHostAddress(QHostAddress::LocalHost),
                            const QSslConfiguration &tls = {})
        : m_script(std::move(script)), m_address(address), m_tls(!tls.localCertificate().isNull())
    {
        if (m_tls) {
            auto *secure = new QSslServer;
            secure->setSslConfiguration(tls);
            m_server.reset(secure);
        } else {
            m_server = std::make_unique<QTcpServer>();
        }
        m_server->listen(address);
        QObject::connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, m_server.get(),
                         [this] {
                             while (QTcpSocket *socket = m_server->nextPendingConnection())
                                 serve(socket);
                         });
    }

    QUrl url(const QString &path) const
    {
        return QUrl(
            QStringLiteral("%1://%2:%3%4")
                .arg(m_tls ? QStringLiteral("https") : QStringLiteral("http"), m_address.toString())
                .arg(m_server->serverPort())
                .arg(path));
    }
    int requests() const { return m_requests; }

    static QByteArray response(int status, const QByteArray &body,
                               const QByteArray &type = "application/xml; charset=utf-8",
                               const QByteArray &extra = {})
    {
        return "HTTP/1.1 " + QByteArray::number(status) + " Status\r\nContent-Type: " + type +
               "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n" + extra +
               "Connection: close\r\n\r\n" + body;
    }

private:
    void serve(QTcpSocket *socket)
    {
        auto *buffer = new QByteArray;
        QObject::connect(socket, &QObject::destroyed, [buffer] { delete buffer; });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
            *buffer += socket->readAll();
            const qsizetype end = buffer->indexOf("\r\n\r\n");
            if (end < 0)
                return;
            const QByteArray head = buffer->left(end);
            qsizetype length = 0;
            for (const QByteArray &line : head.split('\n'))
                if (line.toLower().startsWith("content-length:"))
                    length = line.mid(15).trimmed().toLongLong();
            if (buffer->size() < end + 4 + length)
                return;
            const QList<QByteArray> words = head.left(head.indexOf("\r\n")).split(' ');
            ++m_requests;
            const QByteArray answer =
                m_script({words.value(0), words.value(1), buffer->mid(end + 4, length)});
            if (answer.isEmpty())
                return; // silent
            socket->write(answer);
            socket->disconnectFromHost();
        });
    }

    std::unique_ptr<QTcpServer> m_server;
    Script m_script;
    QHostAddress m_address;
    bool m_tls;
    int m_requests = 0;
};
