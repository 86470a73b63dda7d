#include "IcsExport.h"

#include "platform/Clock.h"
#include "store/DateFormat.h"
#include "store/SaveFile.h"
#include "store/StoreError.h"
#include "store/TaskIdentities.h"
#include "store/TaskRecord.h"
#include "store/TaskTable.h"

#include <QFile>

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
                    const QDateTime &stamp, const TaskIdentities *identities)
{
    std::optional<TaskIdentities::Claims> claims;
    if (identities)
        claims.emplace(*identities, TaskIdentities::Place::Data);
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
        const TaskRow row = table.row(r);
        icalcomponent *todo = icalcomponent_new(ICAL_VTODO_COMPONENT);
        QByteArray uid = claims ? claims->take(table.recordText(r)).toUtf8() : QByteArray();
        if (uid.isEmpty()) {
            // Made from the content, not from the offset the order field holds.
            uid = TaskIdentities::contentHash(row).toLatin1();
            if (const int n = seen[uid]++; n > 0)
                uid += '-' + QByteArray::number(n + 1);
            uid += "@nudgery";
        }
        add(todo, icalproperty_new_uid(uid.constData()));
        add(todo, icalproperty_new_dtstamp(dtstamp));
        add(todo, icalproperty_new_summary(row[Col::Task].toUtf8().constData()));
        if (const std::optional<QDate> date = dates.parseDate(row[Col::Date], today)) {
            const QString hour = row[Col::Hour].trimmed();
            const std::optional<QDateTime> at =
                hour.isEmpty()
                    ? std::nullopt
                    : dates.parseDateTime(row[Col::Date] + QLatin1Char(' ') + hour, today);
            const QTime time = at ? at->time() : QTime();
            add(todo, icalproperty_new_due(localTime(*date, at ? &time : nullptr)));
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

int exportFile(const QString &dataPath, const QString &identitiesPath, const QString &target,
               const DateFormat &dates, const Clock &clock, QString *error)
{
    TaskIdentities identities(identitiesPath);
    try {
        if (!identitiesPath.isEmpty())
            identities.load(true);
    } catch (const StoreError &e) {
        *error = e.message();
        return -1;
    }
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
    const QByteArray text = calendar(table, dates, clock.today(), clock.now(), &identities);
    if (!SaveFile::replace(target, text, &reason)) {
        *error = StoreError::cannotCreate(target, reason).message();
        return -1;
    }
    return table.taskCount();
}

} // namespace IcsExport
