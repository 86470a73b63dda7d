#include "CommandLine.h"
#include "ProgramFiles.h"
#include "i18n/LanguageTables.h"
#include "mainwindow/TForm1.h"
#include "output/IcalRecurrence.h"
#include "platform/AppContext.h"
#include "platform/AppIcon.h"
#include "platform/DisplayConnectionWatch.h"
#include "platform/KeychainSecretStore.h"
#include "platform/ProgramFolder.h"
#include "platform/QtMessageService.h"
#include "platform/RealServices.h"
#include "platform/SessionEnd.h"
#include "platform/SingleInstance.h"
#include "platform/TerminationSignals.h"
#include "reminders/AlarmTimer.h"
#include "store/Clock.h"
#include "store/DateFormat.h"
#include "store/LargePages.h"
#include "store/StoreError.h"
#include "sync/SyncController.h"

#include <QApplication>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLocale>
#include <QTimer>

namespace {

// The sync asks through the program's message boxes, and for the password when
// the desktop's secret store has none.
void wireSync(SyncController &sync, const AppContext &ctx)
{
    MessageService *messages = ctx.messages;
    sync.setAsk(
        [messages](const QString &question) { return messages->confirm(nullptr, question); });
    sync.setPasswordPrompt([](QString question) -> std::optional<QString> {
        // The texts break lines with "\r"; a long reason of the secret store wraps
        // instead of pushing the buttons off the screen.
        question.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        QInputDialog dialog;
        dialog.setWindowTitle(AppTitle);
        dialog.setLabelText(question);
        dialog.setTextEchoMode(QLineEdit::Password);
        for (QLabel *label : dialog.findChildren<QLabel *>())
            label->setWordWrap(true);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.textValue();
    });
}

} // namespace

int main(int argc, char *argv[])
{
    giveLargeBlocksBack();
    if (const std::optional<int> status = CommandLine::run(argc, argv))
        return *status;

    // Before the application's own connection to the display (see the class).
    DisplayConnectionWatch display;
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(AppTitle);
    // The installed desktop entry's name: Wayland compositors match the window's
    // application id against it for the window's icon and name.
    QGuiApplication::setDesktopFileName(QStringLiteral(NUDGERY_APP_ID));
    QApplication::setWindowIcon(appIcon());
    // The main window hides to the tray, and a message box or dialog may then be
    // the only window on screen: closing it must not end the program. Closing the
    // main window does (TForm1::closeEvent).
    QApplication::setQuitOnLastWindowClosed(false);

    // First of all, so that a termination signal during any start-up box (a
    // damaged file's notice, "already running") ends the program as Exit does.
    SessionEnd sessionEnd;
    TerminationSignals terminationSignals;
    QObject::connect(&terminationSignals, &TerminationSignals::terminationRequested, &sessionEnd,
                     &SessionEnd::closeWindow);

    AppContext ctx;
    ctx.programPath = QCoreApplication::applicationFilePath();
    ctx.programFolder = programFolder(QFileInfo(ctx.programPath).absolutePath());
    ctx.arguments = QCoreApplication::arguments().mid(1);

    // Before any file of the folder is read: a second copy touches none.
    SingleInstance instance(ctx.programFolder);
    if (!instance.tryAcquire()) {
        QtMessageService messages;
        messages.show(nullptr, {QStringLiteral("Nudgery freeware"),
                                QStringLiteral("Nudgery is already running ..."), MsgIcon::None,
                                MsgButtons::Ok});
        if (!sessionEnd.ended())
            instance.askRunningCopyToRaise();
        return 0;
    }
    instance.listenForRaise();
    CommandLine::recoverCutShortSteps(ctx.programFolder);

    RealPlatform platform;
    platform.wire(ctx);
    ProgramFiles files(ctx.programFolder, *ctx.clock);
    DateFormat dates = DateFormat::fromLocale(QLocale::system());
    ctx.settings = &files.settings;
    ctx.damagedFiles = &files.damagedFiles;
    ctx.backups = &files.backups;
    ctx.dates = &dates;
    files.tasks.setRepeats(ctx.clock, &dates, &IcalRecurrence::next);

    bool identitiesRead = false;
    try {
        files.openIdentities();
        identitiesRead = true;
    } catch (const StoreError &e) {
        // The tasks work without it; only their identities are not followed (and
        // nothing is synchronised).
        ctx.messages->error(nullptr, e.message());
    }
    KeychainSecretStore secrets;
    SyncController sync(files.tasks, files.identities, files.settings, dates, *ctx.clock, secrets);
    wireSync(sync, ctx);
    if (identitiesRead)
        ctx.sync = &sync;

    AlarmTimer alarm;
    TForm1 w(ctx, files.tasks, alarm);
    if (!w.FormCreate())
        return 0; // the weekend stop: nothing else runs, no window is shown
    w.createDialogs();

    QObject::connect(&w, &TForm1::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    QObject::connect(&instance, &SingleInstance::raiseRequested, &w, [&w] { w.bringToFront(); });

    // Log-out, shutdown, SIGTERM, SIGINT or SIGHUP and the display going away close
    // the window as Exit does; one that came during the start-up closes it now.
    QObject::connect(&w, &TForm1::closed, &sessionEnd, &SessionEnd::windowClosed);
    QObject::connect(&display, &DisplayConnectionWatch::connectionLost, &sessionEnd,
                     &SessionEnd::closeWindow);
    display.start();
    sessionEnd.startUpDone(w);

    // Shown from inside the event loop: a signal during the start-up agenda then
    // ends the program too (a quit before exec() would be lost).
    QTimer::singleShot(0, &w, [&w, &sessionEnd, &sync, identitiesRead] {
        if (sessionEnd.ended())
            return;
        w.show();
        if (identitiesRead)
            sync.start(); // the first sync once the window is there
    });
    return app.exec();
}
