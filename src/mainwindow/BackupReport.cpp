#include "BackupReport.h"

#include "i18n/LanguageTables.h"
#include "platform/AppContext.h"
#include "platform/MessageService.h"
#include "tasks/DailyBackup.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <utility>

BackupReport::BackupReport(AppContext &ctx, DailyBackup &backups, QWidget *window)
    : QObject(window), m_ctx(ctx), m_window(window)
{
    connect(&backups, &DailyBackup::failed, this, &BackupReport::backupFailed);
}

QString BackupReport::withReason(const QString &reason)
{
    return reason.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(reason);
}

void BackupReport::backupFailed(const QString &folder, const QString &reason)
{
    // Met inside a write: told once that command is over, after any box of its own.
    m_pending = LanguageTables::text(LanguageTables::backupTexts(), "BackupFailed",
                                     chosenLanguage(*m_ctx.settings))
                    .arg(folder, withReason(reason));
    QTimer::singleShot(0, this, &BackupReport::showPending);
}

void BackupReport::showPending()
{
    if (m_pending.isEmpty())
        return;
    // Never two boxes at once (a dialog left open, as the editor after a failed Ok,
    // does not hold it back).
    if (qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
        QTimer::singleShot(250, this, &BackupReport::showPending);
        return;
    }
    const QString text = std::exchange(m_pending, QString());
    m_ctx.messages->show(m_window->isVisible() ? m_window : nullptr,
                         {AppTitle, text, MsgIcon::Warning, MsgButtons::Ok});
}
