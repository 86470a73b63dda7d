#pragma once

#include "store/TaskRow.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

class DateFormat;

// One calendar object resource of the server (a VCALENDAR holding one task) and
// the task it is, mapped as the iCalendar import and export map them.
namespace CalendarObject {

struct Read
{
    enum Kind { Task, NotATask, NoUid, Unreadable };
    Kind kind = Unreadable;
    QString uid;
    TaskRow row;     // a Task's fields (order empty)
    QByteArray rule; // its RRULE as the import keeps it (RepeatRule's stored text)
    // Why it is no task the program can hold: the key of the sync's text.
    const char *reason = nullptr;
};

// fallbackDate: the date a to-do without one gets (its date here, for one the
// program holds already, so that it does not move every day).
Read read(const QByteArray &text, const DateFormat &dates, const QDate &fallbackDate);

// A new object for a task, with the task's repeat rule (RepeatRule's stored text).
QByteArray created(const QString &uid, const TaskRow &row, const QByteArray &rule,
                   const DateFormat &dates, const QDate &today, const QDateTime &now);

// The server's object with only the properties rewritten whose field reads
// otherwise in row: whatever else it holds (repeat rules, alarms, further
// categories, other programs' properties, text the task file cannot hold)
// survives. The RRULE is rewritten when the task's rule reads otherwise, and a
// repeating to-do's DTSTART moves with its DUE, as a tick moves a repeating task.
// The text unchanged when nothing differs; empty when it cannot be read.
QByteArray patched(const QByteArray &text, const TaskRow &row, const QByteArray &rule,
                   const DateFormat &dates, const QDate &today, const QDateTime &now);

} // namespace CalendarObject
