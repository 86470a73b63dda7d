#include "CommandLine.h"
#include "ProgramFiles.h"

#include "output/IcsExport.h"
#include "output/IcsImport.h"
#include "platform/AppContext.h"
#include "platform/KeychainSecretStore.h"
#include "platform/ProgramFolder.h"
#include "platform/SingleInstance.h"
#include "store/AppendJournal.h"
#include "store/Clock.h"
#include "store/DamagedFiles.h"
#include "store/DateFormat.h"
#include "store/Settings.h"
#include "store/StoreError.h"
#include "store/TaskIdentities.h"
#include "sync/Discovery.h"
#include "sync/SyncAccount.h"
#include "sync/SyncSession.h"
#include "sync/SyncText.h"
#include "tasks/DailyBackup.h"
#include "tasks/TaskList.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <cstdio>

namespace {

void say(FILE *out, const QString &text)
{
    std::fprintf(out, "%s\n", qUtf8Printable(text));
}

QString folderOfProgram()
{
    return programFolder(QFileInfo(QCoreApplication::applicationFilePath()).absolutePath());
}

DateFormat datesOf(const Settings &settings)
{
    DateFormat dates = DateFormat::fromLocale(QLocale::system());
    const QString myFormat = settings.text(SettingKey::MyDateFormat);
    if (!myFormat.isEmpty())
        dates.setShortFormat(myFormat);
    dates.normaliseShortFormat();
    return dates;
}

// The program folder's files as a command that writes them opens them, with
// the run's clock, dates and language. Only while no copy of the program runs
// (it would write them too).
struct CommandFiles
{
    QString folder = folderOfProgram();
    SystemClock clock;
    ProgramFiles files{folder, clock};
    Settings &settings = files.settings;
    TaskList &tasks = files.tasks;
    TaskIdentities &identities = files.identities;
    DateFormat dates = datesOf(settings);
    Language language = chosenLanguage(settings);

    // Throws StoreError.
    void openIdentities() { files.openIdentities(); }
};

// The lock that keeps a second copy from writing the files; once it is held,
// what a kill cut short is put right before anything reads them.
bool refusedBesideRunningCopy(SingleInstance &instance, const QString &what)
{
    if (!instance.tryAcquire()) {
        say(stderr, QStringLiteral("Nudgery is running: close it before %1.").arg(what));
        return true;
    }
    CommandLine::recoverCutShortSteps(folderOfProgram());
    return false;
}

// Standard input up to its end, without the last line end.
QString passwordFromInput()
{
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return {};
    QByteArray text = in.readAll();
    if (text.endsWith('\n'))
        text.chop(1);
    if (text.endsWith('\r'))
        text.chop(1);
    return QString::fromUtf8(text);
}

template <typename Signal, typename Object> void waitFor(Object *object, Signal signal)
{
    QEventLoop loop;
    QObject::connect(object, signal, &loop, &QEventLoop::quit);
    loop.exec();
}

int exportIcs(const QString &target)
{
    // It only reads the program's files, so it runs beside a running copy.
    const QString folder = folderOfProgram();
    const Settings settings(folder + FileNames::Settings);
    QString error;
    const int count =
        IcsExport::exportFile(folder + FileNames::Data, folder + FileNames::Identities, target,
                              datesOf(settings), SystemClock(), &error);
    if (count < 0) {
        say(stderr, error);
        return 1;
    }
    std::printf("%d\n", count);
    return 0;
}

int importIcs(const QString &source)
{
    SingleInstance instance(folderOfProgram());
    if (refusedBesideRunningCopy(instance, QStringLiteral("importing \"%1\"").arg(source)))
        return 1;
    CommandFiles files;
    try {
        files.openIdentities();
        const IcsImport::Parsed result =
            IcsImport::importFile(source, files.tasks, files.settings, files.dates, files.clock);
        const QString summary = IcsImport::summary(result, files.language);
        if (result.refused()) {
            say(stderr, summary);
            return 1;
        }
        say(stdout, summary);
    } catch (const StoreError &e) {
        say(stderr, e.message());
        return 1;
    }
    return 0;
}

// The calendar a name names: its display name or the last part of its path.
const Discovery::Calendar *named(const QList<Discovery::Calendar> &found, const QString &name)
{
    for (const Discovery::Calendar &c : found) {
        const QString last = c.url.path().section(QLatin1Char('/'), -2, -2);
        if (c.name.compare(name, Qt::CaseInsensitive) == 0 ||
            last.compare(name, Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

int syncSetup(const QStringList &args)
{
    SingleInstance instance(folderOfProgram());
    if (refusedBesideRunningCopy(instance, QStringLiteral("setting up the sync")))
        return 1;
    const QString address = args.value(0);
    QString user, calendarName;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--user"))
            user = args[i + 1];
        else if (args[i] == QLatin1String("--calendar"))
            calendarName = args[i + 1];
    }
    const QUrl url = QUrl::fromUserInput(address);
    if (address.isEmpty() || !url.isValid() ||
        (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https"))) {
        say(stderr, QStringLiteral("\"%1\" is no http or https address.").arg(address));
        return 1;
    }
    const QString password = user.isEmpty() ? QString() : passwordFromInput();
    CommandFiles files;
    SyncAccount account = SyncAccount::read(files.settings);
    const bool sameServer = account.configured() && account.calendar.host() == url.host();
    account.calendar = url;
    account.user = user;
    if (!sameServer)
        account.trustedCertificate.clear();
    if (account.needsPlainHttpConsent()) {
        say(stderr, QStringLiteral("\"%1\" is a plain http address: the password would go "
                                   "unencrypted to %2. Use https, or allow it in Nudgery's "
                                   "Synchronisation dialog.")
                        .arg(address, url.host()));
        return 1;
    }
    DavClient client;
    account.applyTo(client, password);
    Discovery discovery(client);
    QList<Discovery::Calendar> found;
    QString error;
    QObject::connect(&discovery, &Discovery::finished,
                     [&](const QList<Discovery::Calendar> &c, const QString &e, const DavReply &) {
                         found = c;
                         error = e;
                     });
    discovery.start(url);
    waitFor(&discovery, &Discovery::finished);
    if (!error.isEmpty()) {
        say(stderr, error);
        return 1;
    }
    const Discovery::Calendar *chosen = nullptr;
    const QString wanted = calendarName.isEmpty() ? QStringLiteral("Nudgery") : calendarName;
    if (!calendarName.isEmpty())
        chosen = named(found, calendarName);
    else if (found.size() == 1)
        chosen = &found.first();
    else
        chosen = named(found, wanted);
    Discovery::Calendar made;
    if (!chosen &&
        (found.isEmpty() || wanted.compare(QLatin1String("Nudgery"), Qt::CaseInsensitive) == 0)) {
        QObject::connect(&discovery, &Discovery::created,
                         [&](const Discovery::Calendar &c, const QString &e, const DavReply &) {
                             made = c;
                             error = e;
                         });
        discovery.create(wanted);
        waitFor(&discovery, &Discovery::created);
        if (!error.isEmpty()) {
            say(stderr, error);
            return 1;
        }
        chosen = &made;
    }
    if (!chosen) {
        QStringList names;
        for (const Discovery::Calendar &c : found)
            names << QStringLiteral("\"%1\"").arg(c.name);
        say(stderr, (calendarName.isEmpty()
                         ? QStringLiteral("The server has several task calendars: %1. Choose "
                                          "one with --calendar NAME.")
                         : QStringLiteral("The server has no task calendar named \"%1\"; it "
                                          "has %2.")
                               .arg(calendarName))
                        .arg(names.join(QStringLiteral(", "))));
        return 1;
    }
    account.calendar = chosen->url;
    account.enabled = true;
    try {
        account.write(files.settings);
    } catch (const StoreError &e) {
        say(stderr, e.message());
        return 1;
    }
    if (!user.isEmpty()) {
        KeychainSecretStore secrets;
        SecretStore::Answer stored;
        bool answered = false;
        secrets.write(account.secretKey(), password, [&](const SecretStore::Answer &a) {
            stored = a;
            answered = true;
        });
        QEventLoop loop;
        while (!answered)
            loop.processEvents(QEventLoop::WaitForMoreEvents);
        if (!stored.ok)
            say(stderr, syncText("SecretStoreFailed", Language::English).arg(stored.error) +
                            QStringLiteral(" The password is not kept: it is asked for at each "
                                           "sync."));
    }
    say(stdout, QStringLiteral("%1 %2").arg(chosen->name, chosen->url.toString()));
    return 0;
}

int syncNow()
{
    SingleInstance instance(folderOfProgram());
    if (refusedBesideRunningCopy(instance, QStringLiteral("synchronising")))
        return 1;
    CommandFiles files;
    const SyncAccount account = SyncAccount::read(files.settings);
    if (!account.configured()) {
        say(stderr, QStringLiteral("No sync account is set up: give one with --sync-setup URL."));
        return 1;
    }
    QString password;
    if (!account.user.isEmpty()) {
        KeychainSecretStore secrets;
        SecretStore::Answer got;
        bool answered = false;
        secrets.read(account.secretKey(), [&](const SecretStore::Answer &a) {
            got = a;
            answered = true;
        });
        QEventLoop loop;
        while (!answered)
            loop.processEvents(QEventLoop::WaitForMoreEvents);
        // No store, or no password in it: asked for on standard input, for this run only.
        password = got.ok ? got.secret : passwordFromInput();
    }
    DavClient client;
    account.applyTo(client, password);
    try {
        files.openIdentities();
        files.tasks.load(AllItems);
    } catch (const StoreError &e) {
        say(stderr, e.message());
        return 1;
    }
    SyncSession::Setup setup;
    setup.calendar = account.calendar;
    setup.language = files.language;
    client.setLanguage(files.language);
    SyncSession session(client, files.tasks, files.identities, files.dates, files.clock, setup);
    session.start();
    if (!session.over())
        waitFor(&session, &SyncSession::finished);
    const SyncReport &r = session.report();
    for (const QString &note : r.notes)
        say(stdout, note);
    if (!r.ok()) {
        say(stderr, r.error);
        return 1;
    }
    say(stdout, QStringLiteral("Sent %1, received %2, merged %3, conflict copies %4 (%5 requests).")
                    .arg(r.sent)
                    .arg(r.received)
                    .arg(r.merged)
                    .arg(r.conflicts)
                    .arg(r.requests));
    return 0;
}

} // namespace

namespace CommandLine {

void recoverCutShortSteps(const QString &folder)
{
    AppendJournal(folder + FileNames::Data).recover();
    DailyBackup::recoverPendingCopies(folder);
    DailyBackup::recoverRestore(folder);
}

std::optional<int> run(int argc, char *argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const qsizetype exportAt = args.indexOf(QStringLiteral("--export-ics"));
    const qsizetype importAt = args.indexOf(QStringLiteral("--import-ics"));
    const qsizetype setupAt = args.indexOf(QStringLiteral("--sync-setup"));
    const bool sync = args.contains(QStringLiteral("--sync"));
    const auto valueAfter = [&](qsizetype at) { return args.value(at + 1); };
    if (exportAt >= 0 && exportAt + 1 < args.size()) {
        QCoreApplication app(argc, argv);
        return exportIcs(valueAfter(exportAt));
    }
    if (importAt >= 0 && importAt + 1 < args.size()) {
        QCoreApplication app(argc, argv);
        return importIcs(valueAfter(importAt));
    }
    if (setupAt >= 0) {
        QCoreApplication app(argc, argv);
        return syncSetup(args.mid(setupAt + 1));
    }
    if (sync) {
        QCoreApplication app(argc, argv);
        return syncNow();
    }
    return std::nullopt;
}

} // namespace CommandLine
