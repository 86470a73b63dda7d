// The new-version check against a loopback HTTP server through the real downloader.
#include "LoopbackServer.h"
#include "common/TestFiles.h"
#include "platform/RealServices.h"
#include "store/StoreError.h"
#include "updates/VersionCheckLogic.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace VersionCheckLogic;

namespace {

const QString MakerPath = QStringLiteral("/software/soft/nudgery.xml");
const QString RepositoryPath = QStringLiteral("/pad/nudgery/Nudgery_pad.xml");

const QString UpToDate = QStringLiteral("You have the most recent version of this freeware..\r"
                                        "But keep checking, as this is updated regularly!");
const QString NewVersion =
    QStringLiteral("There is a *new* version of this freeware available !\r\r"
                   "Please go to our freeware web page and download it,\r"
                   "and replace the existing one by the new version.");
const QString DownloadError =
    QStringLiteral("Error downloading file \"Nudgery_pad.xml\" for version check.\r"
                   "Please check your internet connection and/or firewall..");

QByteArray pad(const QByteArray &programInfo)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n<XML_DIZ_INFO>\r\n<Program_Info>\r\n"
           "<Program_Name>Nudgery</Program_Name>\r\n" +
           programInfo +
           "\r\n<Program_Release_Status>Major Update</Program_Release_Status>\r\n"
           "</Program_Info>\r\n</XML_DIZ_INFO>\r\n";
}

QByteArray padOffering(const QByteArray &version)
{
    return pad("<Program_Version>" + version + "</Program_Version>");
}

class VersionCheckServerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(server.listening());
        source1 = server.url(MakerPath);
        source2 = server.url(RepositoryPath);
    }

    Result run(const QString &own = QStringLiteral("1.2.0.6"))
    {
        return check(
            [this](const QUrl &url, const QString &path) { return downloader.download(url, path); },
            local(), source1, source2, own);
    }
    QString local() const { return m_dir.filePath(LocalFileName); }
    // Nothing but what the test put there is left in the program folder.
    QStringList folder() const { return QDir(m_dir.path()).entryList(QDir::Files); }

    QTemporaryDir m_dir;
    LoopbackServer server;
    // A short limit keeps the slow-server cases short; the program uses 15 s.
    NetworkDownloader downloader{std::chrono::milliseconds(400)};
    QString source1;
    QString source2;
};

TEST_F(VersionCheckServerTest, comparesTheOfferedVersionWithTheOwnAndLeavesNoFile)
{
    struct Case
    {
        QByteArray offered;
        QString own;
        QString message;
    };
    const Case cases[] = {
        {"1.2.0.6", QStringLiteral("1.2.0.6"), UpToDate},
        {"1.2.0.7", QStringLiteral("1.2.0.6"), NewVersion},
        {"1.3", QStringLiteral("1.2.0.6"), UpToDate},        // 13 < 1206
        {"1.2.0.10", QStringLiteral("1.3.0.0"), NewVersion}, // 12010 > 1300
        {"1.2.0.5", QStringLiteral("1.2.0.6"), UpToDate},
    };
    for (const Case &c : cases) {
        server.answer(MakerPath, padOffering(c.offered));
        const Result result = run(c.own);
        EXPECT_EQ(result.text, c.message)
            << c.offered.constData() << " against " << c.own.toStdString();
        EXPECT_EQ(result.outcome,
                  c.message == NewVersion ? Outcome::NewVersion : Outcome::UpToDate);
        EXPECT_TRUE(folder().isEmpty()) << c.offered.constData();
    }
    // The repository was never needed.
    EXPECT_FALSE(server.requested().contains(RepositoryPath));
}

TEST_F(VersionCheckServerTest, fallsBackToTheRepositoryWhenTheMakersServerIsDownOrSlow)
{
    server.answer(RepositoryPath, padOffering("1.2.0.7"));

    source1 = LoopbackServer::closedPortUrl(MakerPath);
    EXPECT_EQ(run().text, NewVersion);

    source1 = server.url(QStringLiteral("/missing.xml")); // 404
    EXPECT_EQ(run().text, NewVersion);

    source1 = server.url(MakerPath);
    server.silent(MakerPath); // never answers: past the time limit
    EXPECT_EQ(run().text, NewVersion);
    EXPECT_EQ(server.requested().count(RepositoryPath), 3);
    EXPECT_TRUE(folder().isEmpty());
}

TEST_F(VersionCheckServerTest, bothSourcesFailingGivesTheDownloadWarningAndRemovesAStaleFile)
{
    TestFiles::writeAll(local(), padOffering("9.9.9.9")); // left by an earlier run
    source1 = LoopbackServer::closedPortUrl(MakerPath);
    server.silent(RepositoryPath);

    const Result result = run();
    EXPECT_EQ(result.outcome, Outcome::DownloadFailed);
    EXPECT_EQ(result.text, DownloadError);
    EXPECT_TRUE(folder().isEmpty());
}

TEST_F(VersionCheckServerTest, anAnswerPastTheSizeCapCountsAsFailed)
{
    // 5 MiB offering a newer version: refused, so the repository's answer decides.
    QByteArray huge = padOffering("1.2.0.7");
    huge += QByteArray(5 * 1024 * 1024 - huge.size(), ' ');
    server.answer(MakerPath, huge);
    server.answer(RepositoryPath, padOffering("1.2.0.6"));
    EXPECT_EQ(run().text, UpToDate);

    server.answer(RepositoryPath, huge);
    EXPECT_EQ(run().text, DownloadError);
    EXPECT_TRUE(folder().isEmpty());
}

TEST_F(VersionCheckServerTest, anUnreadableOfferIsAnIntegerErrorAfterTheFileIsGone)
{
    struct Case
    {
        QByteArray body;
        QString error;
    };
    const Case cases[] = {
        {pad("<Program_Version_Info>1.2.0.7</Program_Version_Info>"),
         QStringLiteral("'' is not a valid integer value")},
        {padOffering("1.2.0.7 beta"), QStringLiteral("'1207 beta' is not a valid integer value")},
        {padOffering("1.2.0.7.0.0.0.0.00000"), QStringLiteral("'' is not a valid integer value")},
        {padOffering("99.99.99.99.99"),
         QStringLiteral("'9999999999' is not a valid integer value")},
    };
    for (const Case &c : cases) {
        server.answer(MakerPath, c.body);
        try {
            run();
            ADD_FAILURE() << "no error for " << c.body.constData();
        } catch (const StoreError &e) {
            EXPECT_EQ(e.message(), c.error);
        }
        EXPECT_TRUE(folder().isEmpty());
    }
}

TEST_F(VersionCheckServerTest, aFileThatCannotBeLoadedIsRemovedToo)
{
    // The download "succeeds" but leaves a link to nowhere, which cannot be opened.
    const Download dangling = [this](const QUrl &, const QString &path) {
        return QFile::link(m_dir.filePath(QStringLiteral("gone")), path);
    };
    try {
        check(dangling, local(), source1, source2, QStringLiteral("1.2.0.6"));
        ADD_FAILURE() << "no error";
    } catch (const StoreError &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Cannot open file \"") + local() +
                                           QStringLiteral("\". ")))
            << e.message().toStdString();
    }
    EXPECT_FALSE(QFileInfo(local()).isSymLink());
    EXPECT_TRUE(folder().isEmpty());
}

} // namespace
