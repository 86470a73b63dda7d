#include "HelpText.h"

#include "platform/AppContext.h"
#include "platform/MessageService.h"
#include "platform/Services.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace HelpText {

QString locate(const AppContext &ctx)
{
    return locate(ctx, QStandardPaths::standardLocations(QStandardPaths::AppDataLocation));
}

QString locate(const AppContext &ctx, const QStringList &dataFolders)
{
    // Then beside the program: a copy started at log-in runs in another directory,
    // and the program folder may be a data folder away from the executable.
    const QString besideExecutable = QFileInfo(ctx.programPath).dir().filePath(FileName);
    QStringList candidates{QDir::current().absoluteFilePath(FileName), ctx.file(FileName),
                           besideExecutable};
    // Last: an installed copy's executable and its help text live apart.
    for (const QString &folder : dataFolders)
        candidates << QDir(folder).filePath(FileName);
    for (const QString &path : candidates) {
        const QFileInfo info(path);
        if (info.isFile())
            return info.absoluteFilePath();
    }
    return {};
}

void open(AppContext &ctx, QWidget *parent)
{
    const QString path = locate(ctx);
    if (path.isEmpty()) {
        ctx.messages->notice(parent, QStringLiteral("'Tasklyn.txt'  not found..."));
        return;
    }
    if (ctx.textViewer)
        ctx.textViewer->openFile(path);
}

} // namespace HelpText
