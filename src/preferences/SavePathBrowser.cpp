#include "SavePathBrowser.h"

#include "platform/AppContext.h"
#include "platform/MessageService.h"
#include "platform/Services.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Drops the last two characters, then cuts after the last '/': the parent
// folder of "a/b/gone/" and of "a/b/gone" alike.
QString oneLevelUp(const QString &path)
{
    const QString shorter = path.left(std::max(0, int(path.size()) - 2));
    return shorter.left(shorter.lastIndexOf(QLatin1Char('/')) + 1);
}

} // namespace

QString chooseSavePath(QWidget *owner, AppContext &ctx, const QString &fieldText)
{
    QDir::setCurrent(ctx.programFolder);
    // Relative text resolves against the program folder; a trailing separator stays.
    const QString start =
        QDir::isAbsolutePath(fieldText) ? fieldText : ctx.programFolder + fieldText;

    QString preselect = start;
    if (!QFileInfo(start).isDir()) {
        ctx.messages->notice(owner, SavePathGoneMessage);
        // The root always exists here, so the parent is tried; where that has gone
        // too, the browser opens at the program folder instead.
        const QString parent = oneLevelUp(start);
        preselect = QFileInfo(parent).isDir() ? parent : ctx.programFolder;
    }

    const std::optional<QString> chosen =
        ctx.folders->browse(owner, SavePathBrowserTitle, preselect);
    if (!chosen || chosen->isEmpty())
        return start;
    QString result = *chosen;
    while (result.size() > 1 && result.endsWith(QLatin1Char('/')))
        result.chop(1);
    return result;
}
