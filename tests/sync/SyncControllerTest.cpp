// When the sync runs: after a change, again after a failure with a growing pause
// (the failure told once), anew after a restore, and the password from the secret
// store, or asked once a run when the store has none.
#include "sync/SyncController.h"
#include "ScriptedServer.h"
#include "SyncFixture.h"
#include "common/Eventually.h"
#include "common/Fakes.h"
#include "common/TestFiles.h"
#include "store/Settings.h"
#include "sync/SyncAccount.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

using Request = ScriptedServer::Request;

const QByteArray EmptyCalendar = "<?xml version=\"1.0\"?><D:multistatus xmlns:D=\"DAV:\">"
                                 "<D:sync-token>t1</D:sync-token></D:multistatus>";

struct Folder
{
    Device device;
    Settings settings{device.folder() + QStringLiteral("Tasklyn.INI")};
    FakeSecretStore secrets;
    FakeClock clock;
    SyncController controller{device.tasks(), device.identities(), settings, device.dates(), clock,
                              secrets};

    explicit Folder(const QUrl &calendar)
    {
        SyncAccount account;
        account.calendar = calendar;
        account.user = QStringLiteral("alice");
        account.enabled = true;
        account.write(settings);
    }
};

TEST(SyncController, shouldTryAgainAfterAGrowingPauseAndTellTheFailureOnce)
{
    QElapsedTimer clock;
    clock.start();
    QList<qint64> attempts;
    ScriptedServer server([&](const Request &r) {
        if (r.method == "REPORT")
            attempts << clock.elapsed();
        if (attempts.size() <= 4)
            return ScriptedServer::response(503, "busy", "text/plain");
        return ScriptedServer::response(207, EmptyCalendar);
    });
    Folder folder(server.url(QStringLiteral("/cal/")));
    folder.secrets.secrets.insert(SyncAccount::read(folder.settings).secretKey(),
                                  QStringLiteral("pw"));
    folder.controller.setDelays(50, 3600 * 1000, 100, 400);
    QSignalSpy failed(&folder.controller, &SyncController::failed);
    QSignalSpy finished(&folder.controller, &SyncController::finished);
    folder.controller.start();
    ASSERT_TRUE(
        eventually([&] { return folder.controller.status().startsWith("Synchronised"); }, 10000))
        << folder.controller.status().toStdString();
    EXPECT_EQ(failed.size(), 1);
    EXPECT_EQ(finished.size(), 5);
    ASSERT_EQ(attempts.size(), 5);
    // Pauses of 100, 200, 400 and 400 ms between the attempts.
    const qint64 pauses[] = {attempts[1] - attempts[0], attempts[2] - attempts[1],
                             attempts[3] - attempts[2], attempts[4] - attempts[3]};
    EXPECT_GE(pauses[0], 90);
    EXPECT_GE(pauses[1], 190);
    EXPECT_GE(pauses[2], 390);
    EXPECT_GE(pauses[3], 390);
    EXPECT_LT(pauses[3], 800); // no longer than the longest pause
}

TEST(SyncController, shouldSendAChangeMomentsLaterAndAskForAMissingPasswordOnceARun)
{
    int puts = 0;
    ScriptedServer server([&](const Request &r) {
        if (r.method == "PUT") {
            ++puts;
            return ScriptedServer::response(201, {}, "text/plain", "ETag: \"e\"\r\n");
        }
        return ScriptedServer::response(207, EmptyCalendar);
    });
    Folder folder(server.url(QStringLiteral("/cal/")));
    folder.controller.setDelays(50, 3600 * 1000, 100, 400);
    int asked = 0;
    folder.controller.setPasswordPrompt([&asked](const QString &question) {
        // Why, then for whom.
        EXPECT_EQ(question, "The desktop's secret store holds no password for alice.\r\r"
                            "Password of alice on 127.0.0.1:");
        ++asked;
        return std::optional<QString>(QStringLiteral("s3cret-Pass"));
    });
    QSignalSpy finished(&folder.controller, &SyncController::finished);
    folder.controller.start();
    ASSERT_TRUE(eventually([&] { return finished.size() == 1; }));

    folder.device.add(QStringLiteral("One"));
    ASSERT_TRUE(eventually([&] { return puts == 1; }));
    folder.device.add(QStringLiteral("Two"));
    ASSERT_TRUE(eventually([&] { return puts == 2; }));
    EXPECT_EQ(asked, 1);
    // The password went to the secret store, never to a file of the program.
    EXPECT_EQ(folder.secrets.secrets.value(SyncAccount::read(folder.settings).secretKey()),
              QStringLiteral("s3cret-Pass"));
    for (const QString &name : QDir(folder.device.folder()).entryList(QDir::Files))
        EXPECT_FALSE(TestFiles::readAll(folder.device.folder() + name).contains("s3cret"))
            << name.toStdString();
}

TEST(SyncController, shouldTellHowFarALongFirstUploadGotOnceAPercent)
{
    ScriptedServer server([&](const Request &r) {
        if (r.method == "PUT")
            return ScriptedServer::response(201, {}, "text/plain", "ETag: \"e\"\r\n");
        return ScriptedServer::response(207, EmptyCalendar);
    });
    Folder folder(server.url(QStringLiteral("/cal/")));
    folder.secrets.secrets.insert(SyncAccount::read(folder.settings).secretKey(),
                                  QStringLiteral("pw"));
    folder.settings.setText(SettingKey::Language, QStringLiteral("Portuguese"));
    const int tasks = 3 * SyncController::LongSync + 50;
    for (int i = 0; i < tasks; ++i)
        folder.device.add(QStringLiteral("Task %1").arg(i));
    QStringList lines;
    QObject::connect(&folder.controller, &SyncController::statusChanged,
                     [&] { lines << folder.controller.status(folder.controller.language()); });
    QSignalSpy finished(&folder.controller, &SyncController::finished);
    folder.controller.start();
    ASSERT_TRUE(eventually([&] { return finished.size() == 1; }, 20000));
    ASSERT_TRUE(finished[0][0].value<SyncReport>().ok());
    // Each line a percent further (and the last the result): no more than 101
    // lines on the way for 200 tasks, in the language of the sync.
    ASSERT_GE(lines.size(), 10);
    EXPECT_LE(lines.size(), 102);
    EXPECT_EQ(lines.removeDuplicates(), 0);
    EXPECT_EQ(lines[0], QStringLiteral("A sincronizar: 0 de %1 eventos enviados...").arg(tasks));
    EXPECT_TRUE(lines.last().startsWith("Sincronizado às")) << lines.last().toStdString();
}

TEST(SyncController, shouldStopASyncThatARestoreOvertookAndStartAnother)
{
    Folder *running = nullptr;
    QByteArray filesAtRestore;
    int reports = 0;
    const auto files = [&running] {
        QByteArray all;
        for (const char *name : {"Tasklyn.DAT", "Tasklyn.IDS"})
            all += TestFiles::readAll(running->device.folder() + QLatin1String(name));
        return all;
    };
    ScriptedServer server([&](const Request &r) {
        if (r.method == "PUT") {
            if (filesAtRestore.isEmpty()) {
                // A backup put back while the task is on its way to the server.
                running->device.tasks().filesRestored();
                filesAtRestore = files();
            }
            return ScriptedServer::response(201, {}, "text/plain", "ETag: \"e\"\r\n");
        }
        ++reports;
        return ScriptedServer::response(207, EmptyCalendar);
    });
    Folder folder(server.url(QStringLiteral("/cal/")));
    running = &folder;
    folder.secrets.secrets.insert(SyncAccount::read(folder.settings).secretKey(),
                                  QStringLiteral("pw"));
    folder.device.add(QStringLiteral("One"));
    folder.controller.setDelays(400, 3600 * 1000, 100, 400);
    QSignalSpy finished(&folder.controller, &SyncController::finished);
    folder.controller.start();
    ASSERT_TRUE(eventually([&] { return !filesAtRestore.isEmpty(); }));
    // The sync that began before writes nothing into the restored files ...
    QTest::qWait(200);
    EXPECT_EQ(files(), filesAtRestore);
    EXPECT_EQ(finished.size(), 0);
    // ... and a new one, on the files as they now are, goes through.
    ASSERT_TRUE(eventually([&] { return finished.size() == 1; }, 5000));
    EXPECT_TRUE(folder.controller.status().startsWith("Synchronised"))
        << folder.controller.status().toStdString();
    EXPECT_EQ(reports, 2);
}

TEST(SyncController, shouldAskItsQuestionsInTheLanguageChosenAtTheTimeOfTheSync)
{
    DavServer server(DavServer::Kind::Radicale);
    ASSERT_TRUE(server.started());
    Folder folder(server.calendar());
    folder.secrets.secrets.insert(SyncAccount::read(folder.settings).secretKey(), server.password);
    for (int i = 0; i < 6; ++i)
        folder.device.add(QStringLiteral("Task %1").arg(i));
    QStringList asked;
    folder.controller.setAsk([&asked](const QString &question) {
        asked << question;
        return false;
    });
    QSignalSpy finished(&folder.controller, &SyncController::finished);
    folder.controller.start();
    ASSERT_TRUE(eventually([&] { return finished.size() == 1; }, 10000));
    ASSERT_EQ(server.items().size(), 6);
    // Another client deletes them all; the user has since chosen Portuguese.
    for (const QString &path : server.items().keys())
        server.remove(path);
    folder.settings.setText(SettingKey::Language, QStringLiteral("Portuguese"));
    folder.controller.syncNow();
    ASSERT_TRUE(eventually([&] { return finished.size() == 2; }, 10000));
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked[0].startsWith("6 eventos foram apagados no servidor."))
        << asked[0].toStdString();
    // No: kept here and sent back.
    EXPECT_EQ(folder.device.list().size(), 6);
    EXPECT_EQ(server.items().size(), 6);
}

} // namespace
