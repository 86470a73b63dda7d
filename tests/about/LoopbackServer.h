#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QMap>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

// An HTTP server on 127.0.0.1 for the tests: each path answers with its scripted
// body (200), a path marked silent accepts and never answers, any other path is
// 404. Requests are served by the event loop of the thread that waits for them.
class LoopbackServer
{
public:
    LoopbackServer()
    {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection())
                serve(socket);
        });
    }

    bool listening() const { return m_server.isListening(); }
    QString url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }
    void answer(const QString &path, const QByteArray &body) { m_bodies.insert(path, body); }
    void silent(const QString &path) { m_silent.append(path); }
    // The paths asked for, in order.
    const QStringList &requested() const { return m_requested; }

    // An address nothing listens on.
    static QString closedPortUrl(const QString &path)
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        const quint16 port = probe.serverPort();
        probe.close();
        return QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(path);
    }

private:
    void serve(QTcpSocket *socket)
    {
        auto *request = new QByteArray;
        QObject::connect(socket, &QObject::destroyed, [request] { delete request; });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, request] {
            *request += socket->readAll();
            if (!request->contains("\r\n\r\n"))
                return;
            const QList<QByteArray> words = request->left(request->indexOf("\r\n")).split(' ');
            const QString path = QString::fromLatin1(words.value(1));
            m_requested.append(path);
            if (m_silent.contains(path))
                return;
            const auto body = m_bodies.constFind(path);
            QByteArray response;
            if (body == m_bodies.constEnd())
                response =
                    "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
            else
                response = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-Length: " +
                           QByteArray::number(body->size()) + "\r\nConnection: close\r\n\r\n" +
                           *body;
            socket->write(response);
            socket->disconnectFromHost();
        });
    }

    QTcpServer m_server;
    QMap<QString, QByteArray> m_bodies;
    QStringList m_silent;
    QStringList m_requested;
};
