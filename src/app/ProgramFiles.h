#pragma once

#include "platform/AppContext.h"
#include "store/DamagedFiles.h"
#include "store/FirstWriteOfDay.h"
#include "store/Settings.h"
#include "store/TaskIdentities.h"
#include "tasks/DailyBackup.h"
#include "tasks/TaskList.h"

// The files of a run and what writes them, the same for the window and for the
// command line: the settings, what is known of damaged record files, the task
// list, the side file of task identities, and the daily backup, made before the
// first write of each day (the side file with the others, and marked restored by
// a restore in the same step).
struct ProgramFiles
{
    ProgramFiles(const QString &folder, const Clock &clock)
        : settings(folder + FileNames::Settings),
          tasks(folder + FileNames::Data, folder + FileNames::Archive, damagedFiles),
          identities(folder + FileNames::Identities), backups(folder, FileNames::backedUp(), clock),
          firstWrite(clock)
    {
        backups.watch(firstWrite);
        settings.file().setBeforeWrite([this] { firstWrite.beforeWrite(); });
        identities.setBeforeWrite([this] { firstWrite.beforeWrite(); });
        backups.markOnRestore(FileNames::Identities, &TaskIdentities::markedRestored);
        tasks.setFirstWriteOfDay(&firstWrite);
        tasks.setSettings(&settings);
    }
    ProgramFiles(const ProgramFiles &) = delete;
    ProgramFiles &operator=(const ProgramFiles &) = delete;

    // The side file read and followed by the task list; throws StoreError.
    void openIdentities()
    {
        identities.load();
        tasks.setIdentities(&identities);
    }

    Settings settings;
    DamagedFiles damagedFiles;
    TaskList tasks;
    TaskIdentities identities;
    DailyBackup backups;
    FirstWriteOfDay firstWrite;
};
