#include "HelpText.h"

#include "platform/AppContext.h"
#include "platform/MessageService.h"
#include "platform/Services.h"

#include <QDir>
#include <QFileInfo>

namespace HelpText {

QString locate(const AppContext &ctx)
{
    // Then beside the program: a copy started at log-in runs in another directory,
    // and the program folder may be a data folder away from the executable.
    const QString besideExecutable = QFileInfo(ctx.programPath).dir().filePath(FileName);
    for (const QString &path :
         {QDir::current().absoluteFilePath(FileName), ctx.file(FileName), besideExecutable}) {
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
