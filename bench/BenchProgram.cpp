#include "BenchProgram.h"

#include "BenchData.h"

#include "mainwindow/TForm1.h"
#include "platform/AppContext.h"
#include "platform/RealServices.h"
#include "reminders/AlarmTimer.h"
#include "store/DamagedFiles.h"
#include "store/DateFormat.h"
#include "store/FirstWriteOfDay.h"
#include "store/LargePages.h"
#include "store/Settings.h"
#include "tasks/DailyBackup.h"
#include "tasks/TaskList.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <QWindow>

MsgResult CountingMessages::show(QWidget *, const MessageRequest &request)
{
    ++shown;
    last = request.text.left(60);
    return request.buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Yes;
}

namespace {

QtMessageHandler qtDefaultHandler = nullptr;

// The offscreen platform says so for every raise() and size hint: noise among
// the figures.
void quietOffscreen(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (!text.startsWith(QLatin1String("This plugin does not support")))
        qtDefaultHandler(type, context, text);
}

} // namespace

void prepareBenchEnvironment()
{
    giveLargeBlocksBack(); // as the program's main() does
    qtDefaultHandler = qInstallMessageHandler(quietOffscreen);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", benchDir().filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", benchDir().filePath(QStringLiteral("data")).toUtf8());
}

bool waitForExposed(QWidget &w)
{
    const QDeadlineTimer deadline(5000);
    while (!w.windowHandle() || !w.windowHandle()->isExposed()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

namespace {

// Counts the events the application delivers, whoever they are for.
class DeliveryCount : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *) override
    {
        ++delivered;
        return false;
    }
    long delivered = 0;
};

} // namespace

void settle()
{
    DeliveryCount count;
    QCoreApplication::instance()->installEventFilter(&count);
    // A bound, in case something keeps posting for ever.
    for (int pass = 0; pass < 10000; ++pass) {
        const long before = count.delivered;
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (count.delivered == before)
            break;
    }
    QCoreApplication::instance()->removeEventFilter(&count);
}

struct BenchProgram::Parts
{
    QTemporaryDir dir; // a fresh program folder: the program rewrites its files
    AppContext ctx;
    std::unique_ptr<Settings> settings;
    DamagedFiles damagedFiles;
    DateFormat dates{QStringLiteral("dd/MM/yyyy")};
    RealPlatform platform;
    CountingMessages messages;
    FixedClock clock;
    FirstWriteOfDay firstWrite{clock};
    AlarmTimer alarm;
    std::unique_ptr<DailyBackup> backups;
};

BenchProgram::BenchProgram(const QString &taskFile, const QByteArray &settings, bool dailyBackup)
    : m(std::make_unique<Parts>())
{
    const QString folder = m->dir.path() + QLatin1Char('/');
    QFile::copy(taskFile, folder + FileNames::Data);
    if (!settings.isEmpty()) {
        QFile out(folder + FileNames::Settings);
        if (out.open(QIODevice::WriteOnly))
            out.write(settings);
    }
    AppContext &ctx = m->ctx;
    ctx.programFolder = folder;
    ctx.programPath = folder + QStringLiteral("nudgery");
    m->settings = std::make_unique<Settings>(ctx.file(FileNames::Settings));
    ctx.settings = m->settings.get();
    ctx.damagedFiles = &m->damagedFiles;
    ctx.dates = &m->dates;
    m->platform.wire(ctx);
    ctx.messages = &m->messages;
    ctx.clock = &m->clock;
    if (dailyBackup) {
        m->backups = std::make_unique<DailyBackup>(
            folder, QStringList{FileNames::Data, FileNames::Archive, FileNames::Settings},
            m->clock);
        DailyBackup *backups = m->backups.get();
        backups->watch(m->firstWrite);
        FirstWriteOfDay *firstWrite = &m->firstWrite;
        m->settings->file().setBeforeWrite([firstWrite] { firstWrite->beforeWrite(); });
        ctx.backups = backups;
    }
}

BenchProgram::~BenchProgram()
{
    // The other windows are the main window's children and go with it.
    m_window.reset();
    QCoreApplication::processEvents();
}

QString BenchProgram::start()
{
    m_tasks = std::make_unique<TaskList>(file(FileNames::Data), file(FileNames::Archive),
                                         m->damagedFiles);
    m_tasks->setSettings(m->settings.get());
    m_tasks->setFirstWriteOfDay(&m->firstWrite);
    m_window = std::make_unique<TForm1>(m->ctx, *m_tasks, m->alarm);
    if (!m_window->FormCreate())
        return QStringLiteral("start-up stopped in FormCreate");
    m_window->createDialogs();
    m_window->show();
    if (!waitForExposed(*m_window))
        return QStringLiteral("the window was never exposed");
    return {};
}

void BenchProgram::close()
{
    m_window->close();
}

QString BenchProgram::file(const QString &name) const
{
    return m->ctx.file(name);
}

CountingMessages &BenchProgram::messages()
{
    return m->messages;
}
