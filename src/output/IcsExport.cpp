#include "IcsExport.h"

#include "store/Clock.h"
#include "store/DateFormat.h"
#include "store/SaveFile.h"
#include "store/StoreError.h"
#include "store/TaskRecord.h"
#include "store/TaskTable.h"

#include <QFile>

#include <QCryptographicHash>
#include <QHash>

#include <libical/ical.h>

#include <cstdlib>

namespace {

icaltimetype localTime(const QDate &date, const QTime *time)
{
    icaltimetype t = icaltime_null_time();
    t.year = date.year();
    t.month = date.month();
    t.day = date.day();
    if (time) {
        t.hour = time->hour();
        t.minute = time->minute();
    } else {
        t.is_date = 1;
    }
    return t;
}

struct Due
{
    QDate date;
    std::optional<QTime> time; // none for a task without an hour
};

// The due date and hour. The sort key is written the same way in every locale, so
// a file carried from another locale's desktop keeps its dates; the date text,
// read in the short date format in force, serves only a key that does not parse.
std::optional<Due> dueOf(const TaskRow &row, const DateFormat &dates, const QDate &today)
{
    const QString hour = row[Col::Hour].trimmed();
    if (const std::optional<QDateTime> key = DateFormat::parseSortKey(row[Col::SortKey])) {
        if (hour.isEmpty())
            return Due{key->date(), std::nullopt};
        return Due{key->date(), key->time()};
    }
    const std::optional<QDate> date = dates.parseDate(row[Col::Date], today);
    if (!date)
        return std::nullopt;
    const std::optional<QDateTime> at =
        hour.isEmpty() ? std::nullopt
                       : dates.parseDateTime(row[Col::Date] + QLatin1Char(' ') + hour, today);
    return Due{*date, at ? std::optional(at->time()) : std::nullopt};
}

// 1 (highest) .. 5 onto iCalendar's 1 .. 9; none is 0 (undefined).
int icalPriority(const QString &priority)
{
    bool ok = false;
    const int p = priority.trimmed().toInt(&ok);
    return ok && p >= 1 && p <= 5 ? 2 * p - 1 : 0;
}

void add(icalcomponent *todo, icalproperty *property)
{
    icalcomponent_add_property(todo, property);
}

} // namespace

namespace IcsExport {

QByteArray calendar(const TaskTable &table, const DateFormat &dates, const QDate &today,
                    const QDateTime &stamp)
{
    icalcomponent *cal =
        icalcomponent_vanew(ICAL_VCALENDAR_COMPONENT, icalproperty_new_version("2.0"),
                            icalproperty_new_prodid("-//Nudgery//Nudgery task list//EN"), nullptr);
    const QDateTime utc = stamp.toUTC();
    icaltimetype dtstamp = localTime(utc.date(), nullptr);
    dtstamp.is_date = 0;
    dtstamp.hour = utc.time().hour();
    dtstamp.minute = utc.time().minute();
    dtstamp.second = utc.time().second();
    dtstamp.zone = icaltimezone_get_utc_timezone();
    QHash<QByteArray, int> seen; // identical tasks get numbered UIDs
    for (int r = 1; r <= table.taskCount(); ++r) {
        TaskRow row = table.row(r);
        icalcomponent *todo = icalcomponent_new(ICAL_VTODO_COMPONENT);
        // The identity is the content, not the offset the order field holds.
        row[Col::Order].clear();
        QByteArray content;
        for (const QString &field : row)
            content += field.toUtf8() + '\x1f';
        QByteArray uid = QCryptographicHash::hash(content, QCryptographicHash::Sha1).toHex();
        if (const int n = seen[uid]++; n > 0)
            uid += '-' + QByteArray::number(n + 1);
        add(todo, icalproperty_new_uid((uid + "@nudgery").constData()));
        add(todo, icalproperty_new_dtstamp(dtstamp));
        add(todo, icalproperty_new_summary(row[Col::Task].toUtf8().constData()));
        if (const std::optional<Due> due = dueOf(row, dates, today)) {
            const QTime time = due->time.value_or(QTime());
            add(todo, icalproperty_new_due(localTime(due->date, due->time ? &time : nullptr)));
        }
        if (const int priority = icalPriority(row[Col::Priority]))
            add(todo, icalproperty_new_priority(priority));
        if (!row[Col::Category].trimmed().isEmpty())
            add(todo, icalproperty_new_categories(row[Col::Category].toUtf8().constData()));
        if (!row[Col::Note].isEmpty()) {
            QString note = row[Col::Note];
            note.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            add(todo, icalproperty_new_description(note.toUtf8().constData()));
        }
        if (row[Col::Done] == DoneMark)
            add(todo, icalproperty_new_status(ICAL_STATUS_COMPLETED));
        icalproperty *colour = icalproperty_new_x(row[Col::TextColor].toUtf8().constData());
        icalproperty_set_x_name(colour, ColourProperty);
        add(todo, colour);
        icalcomponent_add_component(cal, todo);
    }
    char *text = icalcomponent_as_ical_string_r(cal);
    const QByteArray out(text);
    std::free(text);
    icalcomponent_free(cal);
    return out;
}

int exportFile(const QString &dataPath, const QString &target, const DateFormat &dates,
               const Clock &clock, QString *error)
{
    QFile data(dataPath);
    QByteArray bytes;
    if (data.exists()) {
        if (!data.open(QIODevice::ReadOnly)) {
            *error = StoreError::cannotOpen(dataPath, data.errorString()).message();
            return -1;
        }
        bytes = data.readAll();
    }
    TaskTable table;
    table.clearTasks();
    qint64 pos = 0;
    while (const std::optional<QByteArray> text = TaskRecord::textAt(bytes, pos)) {
        if (!TaskRecord::isBlank(*text)) {
            const int row = table.isEmpty() ? 1 : table.rowCount();
            table.setRowCount(std::max(table.rowCount(), row + 1));
            table.setRow(row, TaskRecord::split(*text));
        }
        pos += 4 + text->size();
    }
    QString reason;
    if (!SaveFile::replace(target, calendar(table, dates, clock.today(), clock.now()), &reason)) {
        *error = StoreError::cannotCreate(target, reason).message();
        return -1;
    }
    return table.taskCount();
}

} // namespace IcsExport
