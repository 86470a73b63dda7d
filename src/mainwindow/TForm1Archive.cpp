// Archiving tasks and opening the archive viewer.

#include "TForm1.h"

#include "archive/TFormArchive.h"
#include "platform/MessageService.h"
#include "store/Settings.h"
#include "store/TaskTable.h"
#include "tasks/TaskList.h"
#include "widgets/TaskGrid.h"

void TForm1::Menu_ArchiveTaskClick(QObject *trigger)
{
    if (m_table->isEmpty())
        return;
    const Settings &s = *m_ctx.settings;
    const bool ask = trigger == Menu_ArchiveTask || (s.flag(SettingKey::AutoArchiv, false) &&
                                                     !s.flag(SettingKey::AutoArchivAsk, false));
    if (ask && !m_ctx.messages->confirm(isVisible() ? this : nullptr,
                                        QStringLiteral("Sure to archive this Task ?")))
        return;

    m_tasks.archive(StringGrid1->selectionTop(), StringGrid1->selectionBottom());
}

void TForm1::Menu_OpenArchiveClick()
{
    if (FormArchive)
        FormArchive->exec();
}
