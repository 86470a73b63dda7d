#include "VersionCheckCommand.h"

#include "TEXEVersionData.h"
#include "VersionBlock.h"
#include "WebLinks.h"
#include "platform/AppContext.h"
#include "platform/MessageService.h"
#include "platform/Services.h"
#include "updates/VersionCheckLogic.h"

void checkNewVersion(QWidget *parent, const AppContext &ctx)
{
    const WebLinks links = WebLinks::fromBuild();
    TEXEVersionData own;
    ReadVersionData(VersionBlock::program(), own);
    Downloader *downloader = ctx.downloader;
    const VersionCheckLogic::Result result = VersionCheckLogic::check(
        [downloader](const QUrl &address, const QString &localPath) {
            return downloader->download(address, localPath);
        },
        ctx.file(VersionCheckLogic::LocalFileName), links.versionSource1, links.versionSource2,
        own.FileVersion);

    if (result.outcome == VersionCheckLogic::Outcome::DownloadFailed)
        ctx.messages->show(
            parent, {QStringLiteral("Warning"), result.text, MsgIcon::Warning, MsgButtons::Ok});
    else
        ctx.messages->show(parent, {QStringLiteral("Information"), result.text,
                                    MsgIcon::Information, MsgButtons::Ok});
}
