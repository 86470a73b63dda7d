#include "IcsCommands.h"

#include "IcsExport.h"
#include "IcsImportProgress.h"
#include "platform/AppContext.h"
#include "platform/MessageService.h"
#include "store/Settings.h"
#include "store/StoreError.h"
#include "tasks/TaskList.h"

#include <QFileDialog>

namespace {

QString text(const AppContext &ctx, const char *key)
{
    return LanguageTables::text(LanguageTables::backupTexts(), key, chosenLanguage(*ctx.settings));
}

} // namespace

namespace IcsCommands {

void exportTasks(QWidget *parent, const AppContext &ctx, const TaskList &tasks)
{
    const QString target = QFileDialog::getSaveFileName(
        parent, text(ctx, "ExportTitle"), ctx.programFolder + QStringLiteral("Nudgery.ics"),
        QStringLiteral("iCalendar (*.ics)"));
    if (target.isEmpty())
        return;
    QString error;
    const int count = IcsExport::exportFile(tasks.dataFileName(), ctx.file(FileNames::Identities),
                                            target, *ctx.dates, *ctx.clock, &error);
    if (count < 0)
        throw StoreError(error);
    ctx.messages->notice(parent, text(ctx, "Exported").arg(count).arg(target));
}

void importTasks(QWidget *parent, const AppContext &ctx, TaskList &tasks)
{
    const QString source =
        QFileDialog::getOpenFileName(parent, text(ctx, "ImportTitle"), ctx.programFolder,
                                     QStringLiteral("iCalendar (*.ics *.ical *.ifb);;* (*)"));
    if (source.isEmpty())
        return;
    const Language language = chosenLanguage(*ctx.settings);
    const IcsImport::Parsed result = IcsImport::importWithProgress(
        parent, source, tasks, *ctx.settings, *ctx.dates, *ctx.clock, language);
    if (!result.cancelled)
        ctx.messages->show(parent,
                           {AppTitle, IcsImport::summary(result, language),
                            result.refused() ? MsgIcon::Warning : MsgIcon::None, MsgButtons::Ok});
}

} // namespace IcsCommands
