// The about box, the new-version check and the web links; the interface language.

#include "TForm1.h"

#include "about/TEXEVersionData.h"
#include "about/TFormAbout.h"
#include "about/VersionBlock.h"
#include "about/WebLinks.h"
#include "platform/MessageService.h"
#include "platform/Services.h"
#include "store/Settings.h"
#include "updates/VersionCheckLogic.h"
#include "widgets/ApplyLanguage.h"

void TForm1::Menu_AboutClick()
{
    if (FormAbout)
        FormAbout->exec();
}

void TForm1::Menu_CheckNewVersionClick()
{
    const WebLinks links = WebLinks::fromBuild();
    TEXEVersionData own;
    ReadVersionData(VersionBlock::program(), own);
    Downloader *downloader = m_ctx.downloader;
    const VersionCheckLogic::Result result = VersionCheckLogic::check(
        [downloader](const QUrl &address, const QString &localPath) {
            return downloader->download(address, localPath);
        },
        m_ctx.file(VersionCheckLogic::LocalFileName), links.versionSource1, links.versionSource2,
        own.FileVersion);

    if (result.outcome == VersionCheckLogic::Outcome::DownloadFailed)
        m_ctx.messages->show(
            this, {QStringLiteral("Warning"), result.text, MsgIcon::Warning, MsgButtons::Ok});
    else
        m_ctx.messages->show(this, {QStringLiteral("Information"), result.text,
                                    MsgIcon::Information, MsgButtons::Ok});
}

void TForm1::Menu_SoftwareNewsClick()
{
    const QString page = WebLinks::fromBuild().newsPage;
    if (!page.isEmpty())
        m_ctx.urls->open(QUrl(page));
}

void TForm1::Menu_DonationsClick()
{
    const QString page = WebLinks::fromBuild().donationPage;
    if (!page.isEmpty())
        m_ctx.urls->open(QUrl(page));
}

void TForm1::applyStoredLanguage()
{
    ApplyLanguageMain(this, m_ctx.settings->text(SettingKey::Language));
}
