#include "common/TestFiles.h"
#include "platform/RealServices.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A loopback HTTP server answering every request with one scripted response;
// an empty response means it accepts and then never answers.
class ScriptedServer
{
public:
    explicit ScriptedServer(QByteArray response) : m_response(std::move(response))
    {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    m_request += socket->readAll();
                    if (!m_request.contains("\r\n\r\n") || m_response.isEmpty())
                        return;
                    socket->write(m_response);
                    socket->disconnectFromHost();
                });
            }
        });
    }
    bool listening() const { return m_server.isListening(); }
    QUrl url(const QString &path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
    }
    const QByteArray &request() const { return m_request; }

private:
    QTcpServer m_server;
    QByteArray m_response;
    QByteArray m_request;
};

QByteArray ok(const QByteArray &body, bool withLength = true)
{
    QByteArray r = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n";
    if (withLength)
        r += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    return r + "\r\n" + body;
}

constexpr qint64 MiB = 1024 * 1024;

class DownloaderTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_target = m_dir.filePath("version.txt");
    }
    QTemporaryDir m_dir;
    QString m_target;
    NetworkDownloader m_downloader{std::chrono::milliseconds(1000)};
};

TEST_F(DownloaderTest, WritesTheBodyToTheFile)
{
    ScriptedServer server(ok("1.2.0.7\r\nNews line\r\n"));
    ASSERT_TRUE(server.listening());
    EXPECT_TRUE(m_downloader.download(server.url("/nudgery/version.txt"), m_target));
    EXPECT_EQ(TestFiles::readAll(m_target), QByteArray("1.2.0.7\r\nNews line\r\n"));
    EXPECT_TRUE(server.request().startsWith("GET /nudgery/version.txt HTTP/1.1\r\n"));
}

TEST_F(DownloaderTest, ABodyOfExactlyTheCapIsAccepted)
{
    const QByteArray body(MiB, 'v');
    ScriptedServer server(ok(body));
    EXPECT_TRUE(m_downloader.download(server.url("/big"), m_target));
    EXPECT_EQ(QFileInfo(m_target).size(), MiB);
}

TEST_F(DownloaderTest, NotFoundFailsAndLeavesTheOldFileAlone)
{
    TestFiles::writeAll(m_target, "old");
    ScriptedServer server(
        "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\nConnection: close\r\n\r\nnot found");
    EXPECT_FALSE(m_downloader.download(server.url("/missing"), m_target));
    EXPECT_EQ(TestFiles::readAll(m_target), QByteArray("old"));
}

TEST_F(DownloaderTest, ABodyPastTheCapFailsAndWritesNothing)
{
    ScriptedServer server(ok(QByteArray(MiB + 1, 'x')));
    EXPECT_FALSE(m_downloader.download(server.url("/huge"), m_target));
    EXPECT_FALSE(QFileInfo::exists(m_target));
}

TEST_F(DownloaderTest, ABodyPastTheCapWithoutAnAnnouncedLengthFails)
{
    ScriptedServer server(ok(QByteArray(2 * MiB, 'x'), false));
    EXPECT_FALSE(m_downloader.download(server.url("/stream"), m_target));
    EXPECT_FALSE(QFileInfo::exists(m_target));
}

TEST_F(DownloaderTest, AServerThatNeverAnswersFailsWithinTheTimeLimit)
{
    ScriptedServer server{QByteArray()};
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(m_downloader.download(server.url("/silent"), m_target));
    EXPECT_GE(clock.elapsed(), 900);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_FALSE(QFileInfo::exists(m_target));
}

TEST_F(DownloaderTest, NoServerFails)
{
    quint16 port = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        port = probe.serverPort();
    }
    EXPECT_FALSE(
        m_downloader.download(QUrl(QStringLiteral("http://127.0.0.1:%1/x").arg(port)), m_target));
    EXPECT_FALSE(QFileInfo::exists(m_target));
}

} // namespace
