#pragma once

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
// the reason, a key of LanguageTables::backupTexts() with its argument.
struct Remark
{
    QString task;
    const char *reason = nullptr;
    QString detail;
};

struct Parsed
{
    std::vector<TaskRow> tasks; // the order field empty: an append sets it
    std::vector<Remark> changed;
    std::vector<Remark> skipped;
    QString error; // libical's reason the file is refused; then nothing else is set
};

// The calendar's tasks in the date format in force; DUE in local time, today for
// a VTODO without one.
Parsed parse(const QByteArray &text, const DateFormat &dates, const QDate &today);

// Reads path and appends its tasks through tasks (which writes them the usual way),
// adding the categories not yet listed to settings' [Category]. Nothing is written
// when the file cannot be read or is malformed (result.error). Throws StoreError
// when a write fails.
Parsed importFile(const QString &path, TaskList &tasks, Settings &settings, const DateFormat &dates,
                  const Clock &clock);

// What an import did, for a message box or standard output.
QString summary(const Parsed &result, Language language);

} // namespace IcsImport
