// Archiving tasks and opening the archive viewer.

#include "TForm1.h"

#include "widgets/TaskGrid.h"
#include "archive/TFormArchive.h"
#include "platform/MessageService.h"
#include "store/Settings.h"
#include "store/StoreError.h"
#include "store/TaskDataFile.h"
#include "store/TaskTable.h"

#include <QFile>

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

    // The archive is opened before any record moves, so a missing folder or a
    // locked file stops the command with nothing written. A missing archive is made.
    const QString archivePath = m_ctx.file(FileNames::Archive);
    {
        QFile archive(archivePath);
        if (!archive.open(QIODevice::ReadWrite))
            throw StoreError::cannotOpen(archivePath, archive.errorString());
    }
    // The grid is left alone until every record has moved, so the selection's row
    // numbers hold for the whole loop.
    const int top = StringGrid1->selectionTop();
    const int bottom = StringGrid1->selectionBottom();
    const TaskDataFile records = dataFile();
    for (int r = top; r <= bottom; ++r)
        records.moveRecordTo(TaskDataFile::orderOffset(m_table->cell(Col::Order, r)), archivePath);

    LoadTasks(categoryFilter());
    ApplySort();
    AdjustLayout();
}

void TForm1::Menu_OpenArchiveClick()
{
    if (FormArchive)
        FormArchive->exec();
}
