#include "IcsImportProgress.h"

#include "platform/MessageService.h"
#include "store/Clock.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <memory>

namespace IcsImport {

Parsed importWithProgress(QWidget *parent, const QString &path, TaskList &tasks, Settings &settings,
                          const DateFormat &dates, const Clock &clock, Language language)
{
    const auto text = [language](const char *key) {
        return LanguageTables::text(LanguageTables::backupTexts(), key, language);
    };
    IcsImportScan::Progress progress;
    Parsed result;
    const QDate today = clock.today();
    // The worker reads only what it is given here; the task list and the settings
    // are written on this thread once it is done.
    const std::unique_ptr<QThread> worker(
        QThread::create([&] { result = parseFile(path, dates, today, &progress); }));

    QProgressDialog dialog(text("ImportProgress").arg(QFileInfo(path).fileName()),
                           text("ImportCancel"), 0, 1000, parent);
    dialog.setObjectName(QStringLiteral("ImportProgress"));
    dialog.setWindowTitle(AppTitle);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(400);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    QEventLoop loop;
    QTimer tick;
    tick.setInterval(50);
    QObject::connect(&tick, &QTimer::timeout, &dialog, [&] {
        if (dialog.wasCanceled())
            progress.cancel.store(true);
        else
            dialog.setValue(progress.permille.load());
    });
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog,
                     [&] { progress.cancel.store(true); });
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    tick.start();
    loop.exec();
    tick.stop();
    // The loop also ends when the program quits: the parse is then abandoned.
    if (!worker->isFinished())
        progress.cancel.store(true);
    worker->wait();
    if (progress.cancel.load()) {
        result = Parsed{};
        result.cancelled = true;
        return result;
    }
    store(result, tasks, settings);
    return result;
}

} // namespace IcsImport
