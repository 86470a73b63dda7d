#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

class Clock;
class DateFormat;
class TaskIdentities;
class TaskTable;

// The tasks as an iCalendar file (RFC 5545), one VTODO a task, written by libical.
namespace IcsExport {

// The calendar's text (UTF-8, CR LF lines). DUE comes from a task's sort key, the
// same in every locale (its date text, read in the short date format in force,
// only when the key does not read); floating local time, or a DATE when the task
// has no hour.
// stamp: the DTSTAMP of every VTODO (UTC). A task keeps the UID identities give
// it (the one it syncs under); one without gets a UID made from its content.
QByteArray calendar(const TaskTable &table, const DateFormat &dates, const QDate &today,
                    const QDateTime &stamp, const TaskIdentities *identities = nullptr);

// Every task of a task data file (read, never changed; a missing file holds none)
// written to target whole, with the UIDs of the side file at identitiesPath (read,
// never changed). The number of tasks, or -1 with the message why not.
int exportFile(const QString &dataPath, const QString &identitiesPath, const QString &target,
               const DateFormat &dates, const Clock &clock, QString *error);

// The X- property that keeps a task's text colour (an index of the colour table).
inline constexpr const char *ColourProperty = "X-NUDGERY-TEXT-COLOUR";

} // namespace IcsExport
