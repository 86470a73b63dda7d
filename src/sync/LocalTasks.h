#pragma once

#include "store/TaskIdentities.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// The tasks of the program's files as the sync sees them: each identity with the
// record it is tied to, the records that have none yet, and the identities whose
// record is gone.
struct LocalTasks
{
    struct Record
    {
        qint64 offset = -1;
        QByteArray text; // without the length
        QByteArray key;  // TaskIdentities::identityKey
    };

    QHash<QString, Record> data;    // by UID: tied to a record of the task data file
    QHash<QString, Record> archive; // ... of the archive
    QList<Record> strays;           // task data records without identity, in file order
    QStringList gone;               // identities whose record is in neither file
    // Records a write in progress was replacing when a run ended: the new one was
    // appended, this old one not yet blanked.
    QList<Record> leftovers;

    // Both files' bytes (a missing one: none). An identity whose record is gone but
    // whose write in progress left the record it meant is tied to that one.
    static LocalTasks of(const QByteArray &data, const QByteArray &archive,
                         const TaskIdentities &identities);
};
