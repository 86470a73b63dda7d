// File > Restore from backup.
#include "BackupReport.h"
#include "CategoryFilter.h"
#include "TForm1.h"
#include "TaskPane.h"

#include "i18n/LanguageTables.h"
#include "platform/MessageService.h"
#include "tasks/DailyBackup.h"
#include "tasks/TaskList.h"

#include <QInputDialog>

void TForm1::Menu_RestoreClick()
{
    if (!m_ctx.backups)
        return;
    const Language language = chosenLanguage(*m_ctx.settings);
    const auto text = [language](const char *key) {
        return LanguageTables::text(LanguageTables::backupTexts(), key, language);
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
            {AppTitle,
             text("RestoreRefused").arg(m_ctx.backups->folder(), BackupReport::withReason(reason)),
             MsgIcon::Warning, MsgButtons::Ok});
        return;
    case DailyBackup::Restored::Done:
        break;
    }
    reloadAfterRestore();
}

void TForm1::reloadAfterRestore()
{
    // What was done before the restore cannot be taken back in the restored files;
    // the filter and the editor read the restored categories. Then every task is
    // shown as at a start.
    m_tasks.filesRestored();
    m_filter->fill();
    applyStoredLanguage();
    loadAtStartUp();
    m_pane->restoreSort();
    m_pane->ApplySort();
    AdjustLayout();
}
