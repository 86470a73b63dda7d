#include "mainwindow/TForm1.h"
#include "output/IcsExport.h"
#include "output/IcsImport.h"
#include "platform/AppContext.h"
#include "platform/AppIcon.h"
#include "platform/DisplayConnectionWatch.h"
#include "platform/ProgramFolder.h"
#include "platform/QtMessageService.h"
#include "platform/RealServices.h"
#include "platform/SessionEnd.h"
#include "platform/SingleInstance.h"
#include "platform/TerminationSignals.h"
#include "reminders/AlarmTimer.h"
#include "store/AppendJournal.h"
#include "store/Clock.h"
#include "store/DamagedFiles.h"
#include "store/DateFormat.h"
#include "store/FirstWriteOfDay.h"
#include "store/LargePages.h"
#include "store/Settings.h"
#include "store/StoreError.h"
#include "tasks/DailyBackup.h"
#include "tasks/TaskList.h"

#include <QApplication>
#include <QFileInfo>
#include <QLocale>
#include <QTimer>

#include <cstdio>

namespace {

// nudgery --export-ics FILE: the task list written as an iCalendar file. It only
// reads the program's files, so it runs beside a running copy, and needs no display.
DateFormat datesOf(const Settings &settings)
{
    DateFormat dates = DateFormat::fromLocale(QLocale::system());
    const QString myFormat = settings.text(SettingKey::MyDateFormat);
    if (!myFormat.isEmpty())
        dates.setShortFormat(myFormat);
    dates.normaliseShortFormat();
    return dates;
}

// Before anything reads the files, with no other copy running: an import cut
// short by a kill is taken back, a day's backup cut short is finished, then a
// restore cut short is finished or undone (a restore comes after any import that
// a start has not yet taken back, and replaces the file whole).
void recoverCutShortSteps(const QString &folder)
{
    AppendJournal(folder + FileNames::Data).recover();
    DailyBackup::recoverPendingCopies(folder);
    DailyBackup::recoverRestore(folder);
}

// The files of a run and what writes them, the same for the window and for
// --import-ics: the settings, what is known of damaged record files, the task list,
// and the daily backup, made before the first write of each day.
struct ProgramFiles
{
    ProgramFiles(const QString &folder, const Clock &clock)
        : settings(folder + FileNames::Settings),
          tasks(folder + FileNames::Data, folder + FileNames::Archive, damagedFiles),
          backups(folder, {FileNames::Data, FileNames::Archive, FileNames::Settings}, clock),
          firstWrite(clock)
    {
        backups.watch(firstWrite);
        settings.file().setBeforeWrite([this] { firstWrite.beforeWrite(); });
        tasks.setFirstWriteOfDay(&firstWrite);
        tasks.setSettings(&settings);
    }
    ProgramFiles(const ProgramFiles &) = delete;
    ProgramFiles &operator=(const ProgramFiles &) = delete;

    Settings settings;
    DamagedFiles damagedFiles;
    TaskList tasks;
    DailyBackup backups;
    FirstWriteOfDay firstWrite;
};

QString folderOfProgram()
{
    return programFolder(QFileInfo(QCoreApplication::applicationFilePath()).absolutePath());
}

int exportIcs(int argc, char *argv[], const QString &target)
{
    QCoreApplication app(argc, argv);
    const QString folder = folderOfProgram();
    const Settings settings(folder + FileNames::Settings);
    const DateFormat dates = datesOf(settings);
    QString error;
    const int count =
        IcsExport::exportFile(folder + FileNames::Data, target, dates, SystemClock(), &error);
    if (count < 0) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::printf("%d\n", count);
    return 0;
}

// nudgery --import-ics FILE: the calendar's tasks appended to the task list. It
// writes the program's files, so not while a copy is running (that copy would
// overwrite them on exit).
int importIcs(int argc, char *argv[], const QString &source)
{
    QCoreApplication app(argc, argv);
    const QString folder = folderOfProgram();
    SingleInstance instance(folder);
    if (!instance.tryAcquire()) {
        std::fprintf(stderr, "Nudgery is running: close it before importing \"%s\".\n",
                     qPrintable(source));
        return 1;
    }
    recoverCutShortSteps(folder);
    const SystemClock clock;
    ProgramFiles files(folder, clock);
    const DateFormat dates = datesOf(files.settings);
    const Language language = chosenLanguage(files.settings);
    try {
        const IcsImport::Parsed result =
            IcsImport::importFile(source, files.tasks, files.settings, dates, clock);
        const QString summary = IcsImport::summary(result, language);
        if (result.refused()) {
            std::fprintf(stderr, "%s\n", qUtf8Printable(summary));
            return 1;
        }
        std::printf("%s\n", qUtf8Printable(summary));
    } catch (const StoreError &e) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(e.message()));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    giveLargeBlocksBack();
    for (int i = 1; i + 1 < argc; ++i)
        if (qstrcmp(argv[i], "--export-ics") == 0)
            return exportIcs(argc, argv, QString::fromLocal8Bit(argv[i + 1]));
        else if (qstrcmp(argv[i], "--import-ics") == 0)
            return importIcs(argc, argv, QString::fromLocal8Bit(argv[i + 1]));

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
    recoverCutShortSteps(ctx.programFolder);

    RealPlatform platform;
    platform.wire(ctx);
    ProgramFiles files(ctx.programFolder, *ctx.clock);
    DateFormat dates = DateFormat::fromLocale(QLocale::system());
    ctx.settings = &files.settings;
    ctx.damagedFiles = &files.damagedFiles;
    ctx.backups = &files.backups;
    ctx.dates = &dates;

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
    QTimer::singleShot(0, &w, [&w, &sessionEnd] {
        if (!sessionEnd.ended())
            w.show();
    });
    return app.exec();
}
