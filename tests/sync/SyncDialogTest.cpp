// The Synchronisation dialog as a user meets it: the task calendars found at a
// server's address, the account stored with the password in the secret store
// only, and a sync at once; a password over plain http to another machine only
// after a yes, asked once; a certificate that does not verify trusted only after
// its fingerprint was shown, and then for the syncs too.
#include "syncsettings/SyncDialog.h"
#include "ScriptedServer.h"
#include "SyncFixture.h"
#include "common/Eventually.h"
#include "common/Fakes.h"
#include "common/TestFiles.h"
#include "common/Ui.h"
#include "platform/AppContext.h"
#include "store/Settings.h"
#include "sync/SyncAccount.h"
#include "sync/SyncController.h"
#include "syncsettings/SyncCommands.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QNetworkInterface>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QSslCertificate>
#include <QSslKey>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Request = ScriptedServer::Request;

// A computer with the window's side of the sync: settings, secret store, message
// boxes and the controller the dialog hands the account to.
struct Computer
{
    Device device;
    Settings settings{device.folder() + QStringLiteral("Tasklyn.INI")};
    FakeSecretStore secrets;
    FakeClock clock;
    FakeMessageService messages;
    SyncController controller{device.tasks(), device.identities(), settings, device.dates(), clock,
                              secrets};
    AppContext ctx;

    Computer()
    {
        ctx.programFolder = device.folder();
        ctx.settings = &settings;
        ctx.messages = &messages;
        ctx.clock = &clock;
        ctx.sync = &controller;
    }
    // A dialog filled in as the user types, then the button pressed.
    std::unique_ptr<SyncDialog> dialog(const QString &address, const QString &user,
                                       const QString &password)
    {
        auto d = std::make_unique<SyncDialog>(ctx, controller, nullptr);
        ui<QLineEdit>(d.get(), "Edit_syncAddress")->setText(address);
        ui<QLineEdit>(d.get(), "Edit_syncUser")->setText(user);
        ui<QLineEdit>(d.get(), "Edit_syncPassword")->setText(password);
        return d;
    }
    QByteArray settingsFile()
    {
        return TestFiles::readAll(device.folder() + QStringLiteral("Tasklyn.INI"));
    }
};

QString result(const SyncDialog &d)
{
    return ui<QLabel>(&d, "Label_syncResult")->text();
}

void press(const SyncDialog &d, const char *button)
{
    ui<QPushButton>(&d, button)->click();
}

QStringList calendars(const SyncDialog &d)
{
    QStringList names;
    const auto *box = ui<QComboBox>(&d, "ComboBox_syncCalendar");
    for (int i = 0; i < box->count(); ++i)
        names << box->itemText(i);
    return names;
}

TEST(SyncDialog, shouldFindTheCalendarsKeepThePasswordOutOfTheFilesAndSyncAtOnce)
{
    DavServer server(DavServer::Kind::Radicale);
    ASSERT_TRUE(server.started());
    Computer here;
    here.device.add(QStringLiteral("Buy stamps"));
    // The server's address alone: its task calendar is found under the user's home.
    auto d = here.dialog(server.root().toString(), server.user, QStringLiteral("wrong"));
    press(*d, "Button_syncTest");
    ASSERT_TRUE(eventually([&] { return result(*d).startsWith("Not connected"); }, 10000))
        << result(*d).toStdString();
    ui<QLineEdit>(d.get(), "Edit_syncPassword")->setText(server.password);
    press(*d, "Button_syncTest");
    ASSERT_TRUE(eventually([&] { return result(*d).startsWith("Connected"); }, 10000))
        << result(*d).toStdString();
    EXPECT_EQ(calendars(*d), QStringList({"Tasks", "Create one named Nudgery"}));
    QSignalSpy finished(&here.controller, &SyncController::finished);
    press(*d, "Button_syncOk");
    ASSERT_TRUE(eventually([&] { return d->result() == QDialog::Accepted; }, 10000));
    ASSERT_TRUE(eventually([&] { return finished.size() == 1; }, 10000));
    EXPECT_TRUE(finished[0][0].value<SyncReport>().ok());
    EXPECT_EQ(server.items().size(), 1);
    const SyncAccount stored = SyncAccount::read(here.settings);
    EXPECT_EQ(stored.calendar, server.calendar());
    EXPECT_TRUE(stored.enabled);
    EXPECT_EQ(here.secrets.secrets.value(stored.secretKey()), server.password);
    EXPECT_FALSE(here.settingsFile().contains(server.password.toUtf8()));
    EXPECT_FALSE(here.settingsFile().contains("wrong"));
    // Opened again: the account as stored, the password kept where it was, and
    // the last sync's result; Ok with nothing changed asks the server nothing new.
    auto again = std::make_unique<SyncDialog>(here.ctx, here.controller, nullptr);
    EXPECT_EQ(ui<QLineEdit>(again.get(), "Edit_syncAddress")->text(), server.calendar().toString());
    EXPECT_TRUE(ui<QLineEdit>(again.get(), "Edit_syncPassword")->text().isEmpty());
    EXPECT_TRUE(ui<QLabel>(again.get(), "Label_syncLast")->text().contains("1 sent"))
        << ui<QLabel>(again.get(), "Label_syncLast")->text().toStdString();
    press(*again, "Button_syncOk");
    ASSERT_TRUE(eventually([&] { return again->result() == QDialog::Accepted; }));
    EXPECT_EQ(SyncAccount::read(here.settings).calendar, server.calendar());
    EXPECT_EQ(here.secrets.secrets.value(stored.secretKey()), server.password);
}

// An address of this machine that is not the loopback; none: empty.
QHostAddress otherAddress()
{
    for (const QHostAddress &a : QNetworkInterface::allAddresses())
        if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback())
            return a;
    return {};
}

const QByteArray TaskCalendar =
    "<?xml version=\"1.0\"?><D:multistatus xmlns:D=\"DAV:\" "
    "xmlns:C=\"urn:ietf:params:xml:ns:caldav\"><D:response><D:href>/cal/</D:href><D:propstat>"
    "<D:prop><D:resourcetype><D:collection/><C:calendar/></D:resourcetype>"
    "<D:displayname>Jobs</D:displayname><C:supported-calendar-component-set>"
    "<C:comp name=\"VTODO\"/></C:supported-calendar-component-set></D:prop>"
    "<D:status>HTTP/1.1 200 OK</D:status></D:propstat></D:response></D:multistatus>";
const QByteArray EmptyCalendar = "<?xml version=\"1.0\"?><D:multistatus xmlns:D=\"DAV:\">"
                                 "<D:sync-token>t1</D:sync-token></D:multistatus>";

QByteArray calendarServer(const Request &r)
{
    return ScriptedServer::response(207, r.method == "PROPFIND" ? TaskCalendar : EmptyCalendar);
}

TEST(SyncCommands, shouldTellAFailureOnceAndTheLastResultInTheMenuInTheChosenLanguage)
{
    bool down = true;
    ScriptedServer server([&](const Request &r) {
        if (down)
            return ScriptedServer::response(503, "busy", "text/plain");
        return calendarServer(r);
    });
    Computer here;
    FakeNotifications notifications;
    here.ctx.notifications = &notifications;
    SyncAccount account;
    account.calendar = server.url(QStringLiteral("/cal/"));
    account.enabled = true;
    account.write(here.settings);
    here.settings.setText(SettingKey::Language, QStringLiteral("Portuguese"));
    QWidget window;
    SyncCommands commands(here.ctx, &window);
    QMenu file;
    commands.addTo(&file);
    QSignalSpy told(&commands, &SyncCommands::statusChanged);
    const auto line = [&file] { return ui<QAction>(&file, "Menu_SyncStatus")->text(); };
    EXPECT_EQ(line(), "Ainda não sincronizado.");
    here.controller.setDelays(50, 3600 * 1000, 50, 100);
    QSignalSpy finished(&here.controller, &SyncController::finished);
    here.controller.start();
    // Three failures, one after another: told once, and the line says the last.
    ASSERT_TRUE(eventually([&] { return finished.size() >= 3; }));
    ASSERT_EQ(notifications.sent.size(), 1);
    EXPECT_EQ(notifications.sent[0].summary, "Nudgery: não sincronizado");
    EXPECT_TRUE(notifications.sent[0].body.contains("503"))
        << notifications.sent[0].body.toStdString();
    EXPECT_EQ(notifications.sent[0].actionLabel, "Sincronização...");
    EXPECT_TRUE(line().startsWith("Não sincronizado às 10:00: ")) << line().toStdString();
    EXPECT_EQ(told.last()[0].toString(), line());
    // Back again: the line says so, in the language chosen since, when the menu opens.
    down = false;
    here.settings.setText(SettingKey::Language, QStringLiteral("English"));
    ui<QAction>(&file, "Menu_SyncNow")->trigger();
    ASSERT_TRUE(eventually([&] { return finished.last()[0].value<SyncReport>().ok(); }));
    emit file.aboutToShow();
    EXPECT_EQ(line(), "Synchronised at 10:00: 0 sent, 0 received.");
    EXPECT_EQ(notifications.sent.size(), 1);
}

TEST(SyncDialog, shouldSendAPasswordOverPlainHttpToAnotherMachineOnlyAfterAYesAskedOnce)
{
    const QHostAddress address = otherAddress();
    if (address.isNull())
        GTEST_SKIP() << "this machine has no address but the loopback";
    ScriptedServer server(calendarServer, address);
    Computer here;
    const QString url = server.url(QStringLiteral("/cal/")).toString();
    auto d = here.dialog(url, QStringLiteral("alice"), QStringLiteral("pw"));
    here.messages.answers = {MsgResult::No};
    press(*d, "Button_syncTest");
    ASSERT_EQ(here.messages.shown.size(), 1);
    EXPECT_TRUE(here.messages.shown[0].text.contains("unencrypted to " + address.toString()))
        << here.messages.shown[0].text.toStdString();
    EXPECT_TRUE(result(*d).startsWith("Not connected")) << result(*d).toStdString();
    QTest::qWait(100);
    EXPECT_EQ(server.requests(), 0);
    press(*d, "Button_syncTest"); // answered Yes this time
    ASSERT_TRUE(eventually([&] { return result(*d).startsWith("Connected"); }))
        << result(*d).toStdString();
    press(*d, "Button_syncTest");
    ASSERT_TRUE(eventually([&] {
        return server.requests() == 2 && ui<QPushButton>(d.get(), "Button_syncOk")->isEnabled();
    }));
    EXPECT_EQ(here.messages.shown.size(), 2);
    press(*d, "Button_syncOk");
    ASSERT_TRUE(eventually([&] { return d->result() == QDialog::Accepted; }))
        << result(*d).toStdString() << here.messages.shown.size();
    // Kept with the account: the syncs send it there without asking.
    QSignalSpy finished(&here.controller, &SyncController::finished);
    ASSERT_TRUE(eventually([&] { return finished.size() == 1; }));
    EXPECT_TRUE(finished[0][0].value<SyncReport>().ok())
        << finished[0][0].value<SyncReport>().error.toStdString();
    EXPECT_EQ(here.messages.shown.size(), 2);
}

// A locked keyring answers after the user closed the dialog (its unlock prompt
// waited): the answer touches nothing of the dialog gone, and the account it
// stored is still synced with the password typed.
TEST(SyncDialog, shouldSyncTheStoredAccountWhenTheSecretStoreAnswersAfterTheDialogClosed)
{
    ScriptedServer server(calendarServer);
    Computer here;
    here.secrets.holding = true;
    auto d = here.dialog(server.url(QStringLiteral("/cal/")).toString(), QStringLiteral("alice"),
                         QStringLiteral("pw"));
    press(*d, "Button_syncOk");
    ASSERT_TRUE(eventually([&] { return !here.secrets.held.isEmpty(); }));
    press(*d, "Button_syncCancel");
    d.reset();
    QSignalSpy finished(&here.controller, &SyncController::finished);
    here.secrets.answerHeld();
    ASSERT_TRUE(eventually([&] { return finished.size() == 1; }));
    EXPECT_TRUE(finished[0][0].value<SyncReport>().ok())
        << finished[0][0].value<SyncReport>().error.toStdString();
    EXPECT_EQ(here.secrets.secrets.value(SyncAccount::read(here.settings).secretKey()), "pw");
    // Opened again, the kept password read for a test, closed before the answer:
    // nothing goes to the server.
    d = std::make_unique<SyncDialog>(here.ctx, here.controller, nullptr);
    press(*d, "Button_syncTest");
    ASSERT_EQ(here.secrets.held.size(), 1);
    press(*d, "Button_syncCancel");
    d.reset();
    const int requests = server.requests();
    here.secrets.answerHeld();
    QTest::qWait(100);
    EXPECT_EQ(server.requests(), requests);
}

TEST(SyncDialog, shouldSayInItsLanguageThatThePasswordIsNotKeptWithoutASecretStore)
{
    ScriptedServer server(calendarServer);
    Computer here;
    here.settings.setText(SettingKey::Language, QStringLiteral("Portuguese"));
    here.secrets.available = false;
    auto d = here.dialog(server.url(QStringLiteral("/cal/")).toString(), QStringLiteral("alice"),
                         QStringLiteral("pw"));
    QSignalSpy finished(&here.controller, &SyncController::finished);
    press(*d, "Button_syncOk");
    ASSERT_TRUE(eventually([&] { return finished.size() == 1; }));
    ASSERT_EQ(here.messages.shown.size(), 1);
    EXPECT_EQ(here.messages.shown[0].text,
              QStringLiteral("Não foi possível usar o cofre de senhas do ambiente de trabalho "
                             "(no store).\r\rA palavra-passe não fica guardada: o Nudgery "
                             "pede-a uma vez de cada vez que arranca."));
    // The password typed serves this run.
    EXPECT_TRUE(finished[0][0].value<SyncReport>().ok());
}

// A certificate of its own for 127.0.0.1, signed by itself.
QSslConfiguration selfSigned(const QString &folder)
{
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                   "-nodes", "-days", "2", "-subj", "/CN=127.0.0.1", "-keyout", folder + "/key.pem",
                   "-out", folder + "/cert.pem"});
    openssl.waitForFinished(30000);
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setPeerVerifyMode(QSslSocket::VerifyNone);
    tls.setLocalCertificate(QSslCertificate(TestFiles::readAll(folder + "/cert.pem")));
    tls.setPrivateKey(QSslKey(TestFiles::readAll(folder + "/key.pem"), QSsl::Ec));
    return tls;
}

TEST(SyncDialog, shouldTrustACertificateThatDoesNotVerifyOnlyAfterShowingItsFingerprint)
{
    QTemporaryDir folder;
    const QSslConfiguration tls = selfSigned(folder.path());
    ASSERT_FALSE(tls.localCertificate().isNull());
    ScriptedServer server(calendarServer, QHostAddress(QHostAddress::LocalHost), tls);
    Computer here;
    auto d = here.dialog(server.url(QStringLiteral("/cal/")).toString(), QStringLiteral("alice"),
                         QStringLiteral("pw"));
    here.messages.answers = {MsgResult::No};
    press(*d, "Button_syncTest");
    ASSERT_TRUE(eventually([&] { return result(*d).startsWith("Not connected"); }))
        << result(*d).toStdString();
    ASSERT_EQ(here.messages.shown.size(), 1);
    // The fingerprint in pairs, AB:CD:..., the one the server's certificate has.
    const QByteArray sha = tls.localCertificate().digest(QCryptographicHash::Sha256);
    QString shown = here.messages.shown[0].text;
    EXPECT_TRUE(shown.contains(QString::fromLatin1(sha.left(3).toHex(':').toUpper())))
        << shown.toStdString();
    EXPECT_TRUE(shown.remove(QLatin1Char('\r'))
                    .remove(QLatin1Char(':'))
                    .contains(QString::fromLatin1(sha.toHex().toUpper())));
    EXPECT_EQ(server.requests(), 0); // refused before a request went out
    press(*d, "Button_syncTest");    // trusted this time
    ASSERT_TRUE(eventually([&] { return result(*d).startsWith("Connected"); }))
        << result(*d).toStdString();
    EXPECT_EQ(calendars(*d), QStringList({"Jobs", "Create one named Nudgery"}));
    QSignalSpy finished(&here.controller, &SyncController::finished);
    press(*d, "Button_syncOk");
    ASSERT_TRUE(eventually([&] { return d->result() == QDialog::Accepted; }));
    EXPECT_EQ(SyncAccount::read(here.settings).trustedCertificate, sha.toHex());
    // The syncs trust that one certificate too, without another question.
    ASSERT_TRUE(eventually([&] { return finished.size() == 1; }));
    EXPECT_TRUE(finished[0][0].value<SyncReport>().ok())
        << finished[0][0].value<SyncReport>().error.toStdString();
    EXPECT_EQ(here.messages.shown.size(), 2);
}

} // namespace
