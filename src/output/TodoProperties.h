#pragma once

#include "store/TaskFields.h"
#include "store/TaskRow.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>

#include <libical/ical.h>

class DateFormat;

// The VTODO properties a task's fields map onto, one field group at a time: the
// export builds a VTODO from them, and the sync rewrites only the groups a task
// changed in the server's copy, so whatever else that copy holds survives.
namespace TodoProperties {

// Replaces what todo holds for the field with row's value: SUMMARY; DUE (floating
// local time, or a DATE without an hour); PRIORITY 1..5 as 1, 3, 5, 7, 9; the first
// CATEGORIES only; DESCRIPTION; the done mark as STATUS (with COMPLETED at
// completedAt when that is valid; untick leaves NEEDS-ACTION where a status was
// and drops COMPLETED and PERCENT-COMPLETE); the colour (IcsExport::ColourProperty). DUE
// comes from the sort key (the date text, in the short date format in force, only
// when the key does not read).
void write(icalcomponent *todo, TaskFields::Field field, const TaskRow &row,
           const DateFormat &dates, const QDate &today, const QDateTime &completedAt = {});

// Puts the task's repeat rule (RepeatRule's stored text, for a task on taskDate)
// in place of the to-do's RRULE; a rule that does not repeat leaves none.
void writeRule(icalcomponent *todo, const QByteArray &stored, const QDate &taskDate);

icaltimetype utc(const QDateTime &when);
// A VTODO with the UID, DTSTAMP and every field of row.
icalcomponent *newTodo(const QByteArray &uid, const TaskRow &row, const DateFormat &dates,
                       const QDate &today, const icaltimetype &stamp);
// A component's iCalendar text.
QByteArray text(icalcomponent *component);

} // namespace TodoProperties
