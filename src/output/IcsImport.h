#pragma once

#include "IcsImportScan.h"
#include "i18n/LanguageTables.h"
#include "store/TaskRow.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

#include <vector>

class Clock;
class DateFormat;
class Settings;
class TaskList;

// Tasks read from an iCalendar file (RFC 5545), parsed by libical: every VTODO
// becomes a task, everything else is ignored.
namespace IcsImport {

// A task that was changed or skipped: its text (or the UID when it has none) and
// the reason, a key of LanguageTables::backupTexts(), with what it concerns (a
// time zone, a value as written) when there is one. Also why a file is refused.
struct Remark
{
    QString task;
    const char *reason = nullptr;
    QString detail;
};

struct Parsed
{
    std::vector<TaskRow> tasks;    // the order field empty: an append sets it
    std::vector<QString> uids;     // each task's UID, as the file gives it (may be empty)
    std::vector<QByteArray> rules; // each task's repeat rule (RepeatRule::stored); empty: none
    // Tasks the list held already under their UID (an earlier import of the same
    // file, an export of the list): updated in place, not added again.
    int updated = 0;
    std::vector<Remark> changed;
    std::vector<Remark> skipped;
    // Why the file is refused; then nothing else is set.
    Remark refusal;
    bool refused() const { return refusal.reason != nullptr; }
    bool onlyEvents = false; // no to-do, but events
    bool cancelled = false;  // stopped by the user: nothing is written
    // What the write found on its way (a damaged task file cut back).
    QStringList notices;
};

// The calendar's tasks in the date format in force; DUE in local time, DTSTART
// for a VTODO without one, else today. progress: where it stands, and a request to
// stop, from another thread.
Parsed parse(const QByteArray &text, const DateFormat &dates, const QDate &today,
             IcsImportScan::Progress *progress = nullptr);
// The same for a file, refused unread when it is too large.
Parsed parseFile(const QString &path, const DateFormat &dates, const QDate &today,
                 IcsImportScan::Progress *progress = nullptr);

// Appends the parsed tasks through tasks in one step that is all or nothing (one
// undo step), adding the categories not yet listed to settings' [Category] in one
// write; a task the list holds already under its UID is updated in its place
// instead, and a new one keeps its UID. Throws StoreError when a write fails;
// nothing is then imported.
void store(Parsed &result, TaskList &tasks, Settings &settings);

// parseFile, then store unless the file is refused.
Parsed importFile(const QString &path, TaskList &tasks, Settings &settings, const DateFormat &dates,
                  const Clock &clock);

// Takes out of result the tasks the list holds already under their UID, updating
// each in place, and gives the others their UID (done by store).
void keepUids(Parsed &result, TaskList &tasks);

// What an import did, for a message box or standard output: remarks grouped by
// reason, each with its number of tasks and the first few of them.
QString summary(const Parsed &result, Language language);

} // namespace IcsImport
