#include "CalendarObject.h"

#include "output/IcsImport.h"
#include "output/TodoProperties.h"
#include "store/DateFormat.h"
#include "store/TaskFields.h"
#include "tasks/RepeatRule.h"

#include <memory>

namespace CalendarObject {

namespace {

using Component = std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)>;

Component parsed(const QByteArray &text)
{
    return Component(icalparser_parse_string(text.constData()), icalcomponent_free);
}

// The to-do itself, not one of its occurrences changed on their own.
icalcomponent *masterTodo(icalcomponent *calendar)
{
    // A calendar object is one VCALENDAR; anything else cannot be written back whole.
    if (!calendar || icalcomponent_isa(calendar) != ICAL_VCALENDAR_COMPONENT)
        return nullptr;
    icalcomponent *first = nullptr;
    for (icalcomponent *c = icalcomponent_get_first_component(calendar, ICAL_VTODO_COMPONENT); c;
         c = icalcomponent_get_next_component(calendar, ICAL_VTODO_COMPONENT)) {
        if (!icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY))
            return c;
        if (!first)
            first = c;
    }
    return first;
}

void replace(icalcomponent *todo, icalproperty_kind kind, icalproperty *property)
{
    while (icalproperty *p = icalcomponent_get_first_property(todo, kind)) {
        icalcomponent_remove_property(todo, p);
        icalproperty_free(p);
    }
    icalcomponent_add_property(todo, property);
}

// A repeating to-do's series starts at its DTSTART: moved by as many days as the
// task's date moved, so that the next occurrence another program works out is
// the task's date here.
void moveStart(icalcomponent *todo, int days)
{
    icalproperty *start = icalcomponent_get_first_property(todo, ICAL_DTSTART_PROPERTY);
    if (!start || days == 0 || !icalcomponent_get_first_property(todo, ICAL_RRULE_PROPERTY))
        return;
    icaltimetype when = icalproperty_get_dtstart(start);
    icaltime_adjust(&when, days, 0, 0, 0);
    icalproperty_set_dtstart(start, when);
}

} // namespace

Read read(const QByteArray &text, const DateFormat &dates, const QDate &fallbackDate)
{
    Read result;
    const Component calendar = parsed(text);
    icalcomponent *todo = masterTodo(calendar.get());
    if (!calendar || icalcomponent_isa(calendar.get()) != ICAL_VCALENDAR_COMPONENT) {
        result.reason = "ReasonNoCalendar";
        return result;
    }
    if (!todo) {
        result.kind = Read::NotATask;
        result.reason = "ReasonNoTodo";
        return result;
    }
    // Control bytes do not survive a write of the object (libical drops a stray
    // CR): the UID as it reads after one. Dropped before the bytes are read as
    // UTF-8, as the write drops them, for they may stand inside a character.
    QByteArray uid = icalcomponent_get_uid(todo);
    uid.removeIf([](char c) { return quint8(c) < 0x20 || c == 0x7f; });
    result.uid = QString::fromUtf8(uid).trimmed();
    if (result.uid.isEmpty()) {
        result.kind = Read::NoUid;
        result.reason = "ReasonNoUid";
        return result;
    }
    // The import's own reading, so a task reads alike from a file and a server; of
    // the to-do itself, with the time zones it may name.
    icalcomponent *alone =
        icalcomponent_vanew(ICAL_VCALENDAR_COMPONENT, icalproperty_new_version("2.0"), nullptr);
    for (icalcomponent *z =
             icalcomponent_get_first_component(calendar.get(), ICAL_VTIMEZONE_COMPONENT);
         z; z = icalcomponent_get_next_component(calendar.get(), ICAL_VTIMEZONE_COMPONENT))
        icalcomponent_add_component(alone, icalcomponent_new_clone(z));
    icalcomponent_add_component(alone, icalcomponent_new_clone(todo));
    const QByteArray single = TodoProperties::text(alone);
    icalcomponent_free(alone);
    const IcsImport::Parsed p = IcsImport::parse(single, dates, fallbackDate);
    if (p.refused()) {
        result.reason = "ReasonUnreadable";
        return result;
    }
    if (p.tasks.empty()) {
        result.kind = Read::NotATask;
        result.reason = "ReasonNoSummary";
        return result;
    }
    result.kind = Read::Task;
    result.row = p.tasks.front();
    result.rule = p.rules.front();
    return result;
}

QByteArray created(const QString &uid, const TaskRow &row, const QByteArray &rule,
                   const DateFormat &dates, const QDate &today, const QDateTime &now)
{
    icalcomponent *cal =
        icalcomponent_vanew(ICAL_VCALENDAR_COMPONENT, icalproperty_new_version("2.0"),
                            icalproperty_new_prodid("-//Nudgery//Nudgery task list//EN"), nullptr);
    icalcomponent *todo =
        TodoProperties::newTodo(uid.toUtf8(), row, dates, today, TodoProperties::utc(now));
    TodoProperties::writeRule(todo, rule, TaskFields::dateOf(row, dates, today));
    icalcomponent_add_component(cal, todo);
    const QByteArray out = TodoProperties::text(cal);
    icalcomponent_free(cal);
    return out;
}

QByteArray patched(const QByteArray &text, const TaskRow &row, const QByteArray &rule,
                   const DateFormat &dates, const QDate &today, const QDateTime &now)
{
    const Read was = read(text, dates, dates.parseDate(row[Col::Date], today).value_or(today));
    const Component calendar = parsed(text);
    icalcomponent *todo = masterTodo(calendar.get());
    if (was.kind != Read::Task || !todo)
        return {};
    bool changed = false;
    for (const TaskFields::Field f : TaskFields::All) {
        if (TaskFields::same(f, was.row, row, dates, today))
            continue;
        if (f == TaskFields::Field::Due) {
            const QDate from = TaskFields::dateOf(was.row, dates, today);
            const QDate to = TaskFields::dateOf(row, dates, today);
            if (from.isValid() && to.isValid())
                moveStart(todo, int(from.daysTo(to)));
        }
        TodoProperties::write(todo, f, row, dates, today, now);
        changed = true;
    }
    // Compared as RRULE text: a rule set elsewhere keeps its series' start apart.
    const QDate date = TaskFields::dateOf(row, dates, today);
    if (RepeatRule::parse(rule, date).text() != RepeatRule::parse(was.rule, date).text()) {
        TodoProperties::writeRule(todo, rule, date);
        changed = true;
    }
    if (!changed)
        return text;
    const icaltimetype stamp = TodoProperties::utc(now);
    replace(todo, ICAL_DTSTAMP_PROPERTY, icalproperty_new_dtstamp(stamp));
    replace(todo, ICAL_LASTMODIFIED_PROPERTY, icalproperty_new_lastmodified(stamp));
    if (icalproperty *p = icalcomponent_get_first_property(todo, ICAL_SEQUENCE_PROPERTY))
        icalproperty_set_sequence(p, icalproperty_get_sequence(p) + 1);
    return TodoProperties::text(calendar.get());
}

} // namespace CalendarObject
