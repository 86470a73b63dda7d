// kill -9 at random moments of `nudgery --sync` against a real Radicale, with
// changes on both sides between the runs: once a run goes through, nothing is
// lost and nothing doubled, here or on the server.
#include "SyncFixture.h"
#include "store/Settings.h"

#include <QElapsedTimer>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <csignal>

namespace {

constexpr int Here = 60;  // tasks made here before the first run
constexpr int There = 60; // ... and on the server
constexpr int Kills = 25;

class SyncKill : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.started());
        Settings settings(folder + QStringLiteral("Tasklyn.INI"));
        settings.setText(SettingKey::SyncCalendar, server.calendar().toString());
        settings.setText(SettingKey::SyncUser, server.user);
        settings.setFlag(SettingKey::SyncEnabled, true);
    }

    // `nudgery --sync`, killed after ms (or let finish when ms < 0); its exit code,
    // -1 when killed.
    int runSync(int ms, QByteArray *output = nullptr)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("NUDGERY_HOME"), folder);
        // Its own lock, whatever other test programs run beside.
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        // No secret store: the password comes on standard input.
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                   QStringLiteral("unix:path=/nonexistent"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(NUDGERY_BINARY), {QStringLiteral("--sync")});
        p.write(server.password.toUtf8());
        p.closeWriteChannel();
        if (ms >= 0 && !p.waitForFinished(ms)) {
            ::kill(pid_t(p.processId()), SIGKILL);
            p.waitForFinished(10000);
            return -1;
        }
        p.waitForFinished(60000);
        lastOutput = p.readAllStandardOutput() + p.readAllStandardError();
        if (output)
            *output = lastOutput;
        return p.exitCode();
    }

    QStringList serverTexts()
    {
        static const QRegularExpression summary(QStringLiteral("\nSUMMARY:([^\r\n]*)\r?\n"));
        QStringList out;
        for (const QByteArray &ics : server.items())
            out << summary.match(QString::fromUtf8(ics)).captured(1);
        out.sort();
        return out;
    }

    QStringList localTexts()
    {
        Device device(folder);
        QStringList out;
        for (const QString &t : device.list())
            out << t.section(QLatin1Char('|'), 0, 0);
        out.sort();
        return out;
    }

    // The tasks lost and the tasks too many, by name.
    static void expectSame(const QStringList &found, const QStringList &expected, const char *where)
    {
        QStringList lost = expected, extra = found;
        for (const QString &t : found)
            lost.removeOne(t);
        for (const QString &t : expected)
            extra.removeOne(t);
        EXPECT_TRUE(lost.isEmpty() && extra.isEmpty())
            << where << ": lost " << lost.join(QStringLiteral(", ")).toStdString() << "; extra "
            << extra.join(QStringLiteral(", ")).toStdString();
    }

    QString pickStartingWith(const QStringList &texts, const QString &start)
    {
        const QStringList some = texts.filter(QRegularExpression(QStringLiteral("^") + start));
        return some.value(int(random.bounded(int(some.size()))));
    }

    QByteArray lastOutput;
    DavServer server{DavServer::Kind::Radicale};
    QTemporaryDir dir;
    QString folder = dir.path() + QLatin1Char('/');
    QTemporaryDir runtimeDir;
    QString runtime = runtimeDir.path();

    // NUDGERY_KILL_SEED runs other kills than the usual ones.
    QRandomGenerator random{quint32(qEnvironmentVariableIntValue("NUDGERY_KILL_SEED") + 20261210)};
};

TEST_F(SyncKill, shouldLoseAndDoubleNothingWhenRunsAreKilledAtRandomMoments)
{
    QStringList expected;
    {
        Device device(folder);
        for (int i = 0; i < Here; ++i) {
            device.add(QStringLiteral("here %1").arg(i));
            expected << QStringLiteral("here %1").arg(i);
        }
    }
    for (int i = 0; i < There; ++i) {
        const QByteArray ics =
            "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//other//EN\r\n"
            "BEGIN:VTODO\r\nUID:there-" +
            QByteArray::number(i) + "\r\nDTSTAMP:20261210T020000Z\r\nSUMMARY:there " +
            QByteArray::number(i) + "\r\nDUE;VALUE=DATE:20261224\r\nEND:VTODO\r\nEND:VCALENDAR\r\n";
        ASSERT_EQ(server.put(server.calendar().path() + QStringLiteral("there-%1.ics").arg(i), ics)
                      .status,
                  201);
        expected << QStringLiteral("there %1").arg(i);
    }
    int finished = 0;
    for (int k = 0; k < Kills; ++k) {
        const int code = runSync(int(random.bounded(600)));
        finished += code == 0 ? 1 : 0;
        ASSERT_NE(code, 1) << "run " << k << " failed: " << lastOutput.toStdString();
        // Between runs, changes on each side, never to one task on both.
        for (int c = 0; c < 8; ++c) {
            const QString from = pickStartingWith(expected, QStringLiteral("there "));
            const QMap<QString, QByteArray> items = server.items();
            for (auto it = items.cbegin(); it != items.cend(); ++it) {
                QByteArray ics = it.value();
                const QByteArray line = "SUMMARY:" + from.toUtf8();
                const qsizetype at = ics.indexOf(line + '\n') >= 0 ? ics.indexOf(line + '\n')
                                                                   : ics.indexOf(line + '\r');
                if (at < 0)
                    continue;
                const QString to = from.section(QLatin1Char(' '), 0, 1) +
                                   QStringLiteral(" changed %1.%2").arg(k).arg(c);
                ics.replace(at, line.size(), "SUMMARY:" + to.toUtf8());
                ASSERT_EQ(server.put(it.key(), ics).status / 100, 2);
                expected[expected.indexOf(from)] = to;
                break;
            }
        }
        Device device(folder);
        for (int c = 0; c < 8; ++c) {
            const QString from = pickStartingWith(expected, QStringLiteral("here "));
            if (device.has(from)) {
                const QString to = from.section(QLatin1Char(' '), 0, 1) +
                                   QStringLiteral(" renamed %1.%2").arg(k).arg(c);
                device.rename(from, to);
                expected[expected.indexOf(from)] = to;
            }
        }
    }
    QByteArray output;
    ASSERT_EQ(runSync(-1, &output), 0) << output.toStdString();
    expected.sort();
    expectSame(localTexts(), expected, "here");
    expectSame(serverTexts(), expected, "on the server");
    // Nothing left over for another run.
    ASSERT_EQ(runSync(-1, &output), 0);
    EXPECT_TRUE(output.contains("Sent 0, received 0")) << output.toStdString();
    std::cout << finished << " of " << Kills << " killed runs finished before the kill\n";
}

} // namespace
