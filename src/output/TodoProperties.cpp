#include "TodoProperties.h"

#include "IcsExport.h"
#include "store/DateFormat.h"
#include "store/TaskTable.h"
#include "tasks/RepeatRule.h"

#include <cstdlib>
#include <vector>

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

bool isColour(icalproperty *p)
{
    return qstrcmp(icalproperty_get_x_name(p), IcsExport::ColourProperty) == 0;
}

// Takes out every property of the kind (that passes the test); whether there was one.
bool removeAll(icalcomponent *todo, icalproperty_kind kind, bool (*test)(icalproperty *) = nullptr)
{
    bool removed = false;
    icalproperty *p = icalcomponent_get_first_property(todo, kind);
    while (p) {
        icalproperty *next = icalcomponent_get_next_property(todo, kind);
        if (!test || test(p)) {
            icalcomponent_remove_property(todo, p);
            icalproperty_free(p);
            removed = true;
        }
        p = next;
    }
    return removed;
}

} // namespace

namespace TodoProperties {

void write(icalcomponent *todo, TaskFields::Field field, const TaskRow &row,
           const DateFormat &dates, const QDate &today, const QDateTime &completedAt)
{
    using TaskFields::Field;
    switch (field) {
    case Field::Task:
        removeAll(todo, ICAL_SUMMARY_PROPERTY);
        add(todo, icalproperty_new_summary(row[Col::Task].toUtf8().constData()));
        break;
    case Field::Due:
        removeAll(todo, ICAL_DUE_PROPERTY);
        if (const std::optional<Due> due = dueOf(row, dates, today)) {
            const QTime time = due->time.value_or(QTime());
            add(todo, icalproperty_new_due(localTime(due->date, due->time ? &time : nullptr)));
        }
        break;
    case Field::Priority:
        removeAll(todo, ICAL_PRIORITY_PROPERTY);
        if (const int priority = icalPriority(row[Col::Priority]))
            add(todo, icalproperty_new_priority(priority));
        break;
    case Field::Category: {
        // Only the first, which is the task's: a list keeps the others behind it.
        std::vector<icalproperty *> others;
        if (icalproperty *first =
                icalcomponent_get_first_property(todo, ICAL_CATEGORIES_PROPERTY)) {
            icalcomponent_remove_property(todo, first);
            icalproperty_free(first);
        }
        while (icalproperty *p = icalcomponent_get_first_property(todo, ICAL_CATEGORIES_PROPERTY)) {
            icalcomponent_remove_property(todo, p);
            others.push_back(p);
        }
        if (!row[Col::Category].trimmed().isEmpty())
            add(todo, icalproperty_new_categories(row[Col::Category].toUtf8().constData()));
        for (icalproperty *p : others)
            add(todo, p);
        break;
    }
    case Field::Note:
        removeAll(todo, ICAL_DESCRIPTION_PROPERTY);
        if (!row[Col::Note].isEmpty()) {
            QString note = row[Col::Note];
            note.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            add(todo, icalproperty_new_description(note.toUtf8().constData()));
        }
        break;
    case Field::Done: {
        const bool hadStatus = removeAll(todo, ICAL_STATUS_PROPERTY);
        if (row[Col::Done] == DoneMark) {
            add(todo, icalproperty_new_status(ICAL_STATUS_COMPLETED));
            if (completedAt.isValid()) {
                removeAll(todo, ICAL_COMPLETED_PROPERTY);
                add(todo, icalproperty_new_completed(utc(completedAt)));
            }
            if (removeAll(todo, ICAL_PERCENTCOMPLETE_PROPERTY))
                add(todo, icalproperty_new_percentcomplete(100));
        } else {
            removeAll(todo, ICAL_COMPLETED_PROPERTY);
            removeAll(todo, ICAL_PERCENTCOMPLETE_PROPERTY);
            if (hadStatus)
                add(todo, icalproperty_new_status(ICAL_STATUS_NEEDSACTION));
        }
        break;
    }
    case Field::Colour: {
        removeAll(todo, ICAL_X_PROPERTY, isColour);
        icalproperty *colour = icalproperty_new_x(row[Col::TextColor].toUtf8().constData());
        icalproperty_set_x_name(colour, IcsExport::ColourProperty);
        add(todo, colour);
        break;
    }
    }
}

void writeRule(icalcomponent *todo, const QByteArray &stored, const QDate &taskDate)
{
    removeAll(todo, ICAL_RRULE_PROPERTY);
    const RepeatRule rule = RepeatRule::parse(stored, taskDate);
    if (rule.repeats())
        add(todo, icalproperty_new_rrule(icalrecurrencetype_from_string(rule.text().constData())));
}

icaltimetype utc(const QDateTime &when)
{
    const QDateTime u = when.toUTC();
    icaltimetype t = icaltime_null_time();
    t.year = u.date().year();
    t.month = u.date().month();
    t.day = u.date().day();
    t.hour = u.time().hour();
    t.minute = u.time().minute();
    t.second = u.time().second();
    t.zone = icaltimezone_get_utc_timezone();
    return t;
}

icalcomponent *newTodo(const QByteArray &uid, const TaskRow &row, const DateFormat &dates,
                       const QDate &today, const icaltimetype &stamp)
{
    using TaskFields::Field;
    icalcomponent *todo = icalcomponent_new(ICAL_VTODO_COMPONENT);
    add(todo, icalproperty_new_uid(uid.constData()));
    add(todo, icalproperty_new_dtstamp(stamp));
    for (const Field f : {Field::Task, Field::Due, Field::Priority, Field::Category, Field::Note,
                          Field::Done, Field::Colour})
        write(todo, f, row, dates, today);
    return todo;
}

QByteArray text(icalcomponent *component)
{
    char *t = icalcomponent_as_ical_string_r(component);
    const QByteArray out(t);
    std::free(t);
    return out;
}

} // namespace TodoProperties
