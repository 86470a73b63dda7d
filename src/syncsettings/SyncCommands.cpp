#include "SyncCommands.h"

#include "SyncDialog.h"
#include "i18n/LanguageTables.h"
#include "platform/AppContext.h"
#include "platform/NotificationService.h"
#include "store/Settings.h"
#include "sync/SyncController.h"
#include "widgets/DesignCaptions.h"

#include <QAction>
#include <QMenu>

namespace {

// A menu caption as a notification's action shows it: no "&", no key.
QString plainCaption(QString caption)
{
    return caption.section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&'));
}

} // namespace

SyncCommands::SyncCommands(AppContext &ctx, QWidget *window)
    : QObject(window), m_ctx(ctx), m_window(window)
{
    SyncController *sync = m_ctx.sync;
    if (!sync)
        return;
    // In the sync's language: the settings file is not read again at each step of
    // a long sync.
    connect(sync, &SyncController::statusChanged, this,
            [this, sync] { showStatus(sync->language()); });
    connect(sync, &SyncController::failed, this, [this, sync](const QString &message) {
        if (!m_ctx.notifications)
            return;
        const Language language = sync->language();
        m_ctx.notifications->notify(
            LanguageTables::text(LanguageTables::syncTexts(), "SyncFailed", language), message,
            NotificationService::Urgency::Normal,
            plainCaption(LanguageTables::text(LanguageTables::mainWindow(), "Menu_Sync", language)),
            [this] { openDialog(); });
    });
}

void SyncCommands::addTo(QMenu *menu)
{
    const DesignCaptions captions(LanguageTables::mainWindow());
    m_dialog = captions.item(menu, "Menu_Sync");
    m_now = captions.item(menu, "Menu_SyncNow");
    m_status = menu->addAction(QString());
    m_status->setObjectName(QStringLiteral("Menu_SyncStatus"));
    m_status->setEnabled(false);
    const bool withSync = m_ctx.sync != nullptr;
    m_dialog->setEnabled(withSync);
    m_now->setEnabled(withSync);
    m_status->setVisible(withSync);
    connect(m_dialog, &QAction::triggered, this, &SyncCommands::openDialog);
    connect(m_now, &QAction::triggered, this, [this] {
        if (m_ctx.sync)
            m_ctx.sync->syncNow();
    });
    // The language may have changed since the line was written.
    connect(menu, &QMenu::aboutToShow, this, [this] { m_status->setText(status()); });
    showStatus(chosenLanguage(*m_ctx.settings));
}

QString SyncCommands::status() const
{
    return m_ctx.sync ? m_ctx.sync->status(chosenLanguage(*m_ctx.settings)) : QString();
}

void SyncCommands::openDialog()
{
    if (!m_ctx.sync)
        return;
    SyncDialog dialog(m_ctx, *m_ctx.sync, m_window);
    dialog.exec();
}

void SyncCommands::showStatus(Language language)
{
    const QString line = m_ctx.sync ? m_ctx.sync->status(language) : QString();
    if (m_status)
        m_status->setText(line);
    emit statusChanged(line);
}
