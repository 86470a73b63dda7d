// The daily backups: a failed one told, and File > Restore from backup.
#include "TForm1.h"

#include "editor/TFormAddEdit.h"
#include "i18n/LanguageTables.h"
#include "platform/MessageService.h"
#include "tasks/DailyBackup.h"
#include "tasks/TaskList.h"

#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>

#include <utility>

namespace {

QString withReason(const QString &reason)
{
    return reason.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(reason);
}

} // namespace

void TForm1::backupFailed(const QString &folder, const QString &reason)
{
    // Met inside a write: told once that command is over, after any box of its own.
    m_backupReport = LanguageTables::text(LanguageTables::backupTexts(), "BackupFailed", language())
                         .arg(folder, withReason(reason));
    QTimer::singleShot(0, this, &TForm1::showBackupReport);
}

void TForm1::showBackupReport()
{
    if (m_backupReport.isEmpty())
        return;
    // Never two boxes at once (a dialog left open, as the editor after a failed Ok,
    // does not hold it back).
    if (qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
        QTimer::singleShot(250, this, &TForm1::showBackupReport);
        return;
    }
    const QString text = std::exchange(m_backupReport, QString());
    m_ctx.messages->show(isVisible() ? this : nullptr,
                         {AppTitle, text, MsgIcon::Warning, MsgButtons::Ok});
}

void TForm1::Menu_RestoreClick()
{
    if (!m_ctx.backups)
        return;
    auto text = [this](const char *key) {
        return LanguageTables::text(LanguageTables::backupTexts(), key, language());
    };
    const QList<DailyBackup::Backup> backups = m_ctx.backups->list();
    if (backups.isEmpty()) {
        m_ctx.messages->notice(this, text("NoBackup"));
        return;
    }
    QStringList items;
    for (const DailyBackup::Backup &b : backups) {
        const QString day = b.date.toString(QStringLiteral("yyyy-MM-dd"));
        items << (b.kind == DailyBackup::Kind::Daily
                      ? text("RestoreItem").arg(day).arg(b.tasks).arg(b.archived)
                      : text("RestoreItemBeforeRestore")
                            .arg(day, b.time.toString(QStringLiteral("HH:mm:ss")))
                            .arg(b.tasks)
                            .arg(b.archived));
    }
    bool chosen = false;
    const QString item = QInputDialog::getItem(this, text("RestoreTitle"), text("RestoreLabel"),
                                               items, 0, false, &chosen);
    const qsizetype index = items.indexOf(item);
    if (!chosen || index < 0)
        return;
    QString reason;
    switch (m_ctx.backups->restore(backups[index].path, &reason)) {
    case DailyBackup::Restored::Empty:
        m_ctx.messages->show(this,
                             {AppTitle, text("RestoreEmpty"), MsgIcon::Warning, MsgButtons::Ok});
        return;
    case DailyBackup::Restored::NotBackedUp:
        m_ctx.messages->show(
            this,
            {AppTitle, text("RestoreRefused").arg(m_ctx.backups->folder(), withReason(reason)),
             MsgIcon::Warning, MsgButtons::Ok});
        return;
    case DailyBackup::Restored::Done:
        break;
    }
    reloadAfterRestore();
}

void TForm1::reloadAfterRestore()
{
    // What was done before the restore cannot be taken back in the restored files.
    m_tasks.filesRestored();
    const QList<QAction *> items = Menu_Category->actions();
    for (qsizetype i = 4; i < items.size(); ++i) {
        Menu_Category->removeAction(items[i]);
        delete items[i];
    }
    fillCategories();
    if (FormAddEdit)
        FormAddEdit->fillCategories();
    applyStoredLanguage();
    loadAtStartUp();
    restoreSort();
    ApplySort();
    AdjustLayout();
}
