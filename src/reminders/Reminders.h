#pragma once

#include <QDateTime>
#include <QString>

class AlertedTasks;
class TaskTable;
class DateFormat;

// The texts of the start-up agenda and the alert, built from the task table
// alone so the check that runs every few seconds can be measured on its own.
// Each listed task adds "\r<row> - <task>", the row being its current table row.
// A row whose date is no date in the short date format is never listed.
namespace Reminders {

inline const QString AgendaHeading = QStringLiteral("Things ToDo today :");
inline const QString AlertHeading = QStringLiteral("Alert :");

// "Things ToDo today :\r" and a line for every open task dated today, whatever
// its hour. Just the heading when the table is empty.
QString agendaText(const TaskTable &table, const DateFormat &dates, const QDate &today);

// "Alert :\r" and a line for every open task dated today whose hour is now's
// "hh:nn", compared as text.
QString alertText(const TaskTable &table, const DateFormat &dates, const QDateTime &now);

// The same for every minute from `first` to `last` (both included, at most a day
// apart): an open task is listed when its hour is one of these minutes' "hh:nn"
// and its date is that minute's day. Each task once, in table order. With
// `alerted`, a task it already holds for that minute is left out, and every task
// listed is added to it.
QString alertText(const TaskTable &table, const DateFormat &dates, const QDateTime &first,
                  const QDateTime &last, AlertedTasks *alerted = nullptr);

// The task lines of a text built above, without its heading, joined by "\n".
QString taskLines(const QString &text);

// Whether a text built above lists at least one task: it differs from its heading
// once stripped of blanks and control characters at both ends.
bool listsTasks(const QString &text, const QString &heading);

} // namespace Reminders
