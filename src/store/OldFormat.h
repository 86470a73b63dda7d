#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

class DamagedFiles;
class FirstWriteOfDay;
class DateFormat;
class ProfileData;
class ProfileFile;

// The layout of an older release that kept its tasks in a profile file:
// [Records] Quantity and one [Events<n>] section per task.
namespace OldFormat {

// The record texts of every old task, in order. Throws StoreError, naming the
// task's section, when a task's date and time or its MemoLines do not parse;
// nothing is written then.
QList<QByteArray> ConvertOldFormat(const ProfileData &source, const DateFormat &dates,
                                   const QDate &today);
// Removes [Events<Quantity-1>] .. [Events0] and [Records] from the settings file.
void EraseOldFormat(ProfileFile &settings);

struct FirstStartPaths
{
    QString settings;   // Tasklyn.INI
    QString dataFile;   // Tasklyn.DAT
    QString archive;    // Tasklyn.ARK
    QString oldArchive; // Tasklyn.ARH
};

// The first start without a task data file: converts the old tasks and the old
// archive, then removes the old layout. Returns true when the user is to be told
// "Converted to new format database file..." (the new task data file is not empty).
// Both lists are built before anything is written; an existing archive is never
// replaced: converted old archive records are appended to it. The writes
// heed damaged, the run's record of damaged files, and run firstWrite first.
bool convertAtFirstStart(const FirstStartPaths &paths, ProfileFile &settings,
                         const DateFormat &dates, const QDate &today, DamagedFiles &damaged,
                         FirstWriteOfDay *firstWrite = nullptr);

inline const QString ConvertedMessage = QStringLiteral("Converted to new format database file...");

} // namespace OldFormat
