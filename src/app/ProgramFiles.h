#pragma once

#include "platform/AppContext.h"
#include "store/DamagedFiles.h"
#include "store/FirstWriteOfDay.h"
#include "store/Settings.h"
#include "store/TaskIdentities.h"
#include "tasks/DailyBackup.h"
#include "tasks/TaskList.h"

// The files of a run and what writes them, the same for the window and for the
// commands that write them: the settings, what is known of damaged record files,
// the task list, the side file of identities, and the daily backup, made before
// the first write of each day. Only while no other copy of the program runs.
struct ProgramFiles
{
    ProgramFiles(const QString &folder, const Clock &clock)
        : settings(folder + FileNames::Settings),
          tasks(folder + FileNames::Data, folder + FileNames::Archive, damagedFiles),
          identities(folder + FileNames::Identities), backups(folder, FileNames::backedUp(), clock),
          firstWrite(clock)
    {
        firstWrite.setStep([this] { backups.makeTodaysCopy(); });
        backups.markOnRestore(FileNames::Identities, &TaskIdentities::markedRestored);
        settings.file().setBeforeWrite([this] { firstWrite.beforeWrite(); });
        identities.setBeforeWrite([this] { firstWrite.beforeWrite(); });
        tasks.setFirstWriteOfDay(&firstWrite);
        tasks.setSettings(&settings);
    }
    ProgramFiles(const ProgramFiles &) = delete;
    ProgramFiles &operator=(const ProgramFiles &) = delete;

    // Reads the side file of identities and has the task list follow them.
    // Throws StoreError.
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
