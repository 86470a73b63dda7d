#include "IcsImportZones.h"

#include <libical/ical.h>

#include <QDate>

#include <algorithm>
#include <cstdlib>

namespace {

int entries(const short *list, int size)
{
    int n = 0;
    while (n < size && list[n] != ICAL_RECURRENCE_ARRAY_MAX)
        ++n;
    return n;
}

// A yearly rule that names at most one day a year, the shape of every real zone's.
bool isYearlyRule(const icalrecurrencetype &r)
{
    if (r.freq != ICAL_YEARLY_RECURRENCE || r.interval < 1 || (r.rscale && *r.rscale))
        return false;
    if (entries(r.by_second, ICAL_BY_SECOND_SIZE) || entries(r.by_minute, ICAL_BY_MINUTE_SIZE) ||
        entries(r.by_hour, ICAL_BY_HOUR_SIZE) || entries(r.by_year_day, ICAL_BY_YEARDAY_SIZE) ||
        entries(r.by_week_no, ICAL_BY_WEEKNO_SIZE) || entries(r.by_set_pos, ICAL_BY_SETPOS_SIZE))
        return false;
    const int months = entries(r.by_month, ICAL_BY_MONTH_SIZE);
    const int days = entries(r.by_day, ICAL_BY_DAY_SIZE);
    const int monthDays = entries(r.by_month_day, ICAL_BY_MONTHDAY_SIZE);
    if (months > 1 || days > 1 || monthDays > 7)
        return false;
    int longest = 31;
    if (months == 1) {
        const int month = icalrecurrencetype_month_month(r.by_month[0]);
        if (month < 1 || month > 12 || icalrecurrencetype_month_is_leap(r.by_month[0]))
            return false;
        longest = month == 2 ? 29 : QDate(2001, month, 1).daysInMonth();
    }
    // A day that no month has would be searched for year after year.
    for (int k = 0; k < monthDays; ++k)
        if (r.by_month_day[k] == 0 || std::abs(r.by_month_day[k]) > longest)
            return false;
    if (days == 1) {
        const int position = icalrecurrencetype_day_position(r.by_day[0]);
        // Every such weekday of the month: only with the days of one week.
        if (position == 0 && monthDays == 0)
            return false;
        if (std::abs(position) > (months == 1 ? 5 : 53))
            return false;
    }
    return true;
}

// The years of rules libical expands for zone up to lastYear; -1 for a zone it
// must not be given.
qint64 cost(icalcomponent *zone, int lastYear)
{
    qint64 total = 0;
    for (icalcomponent *o = icalcomponent_get_first_component(zone, ICAL_ANY_COMPONENT); o;
         o = icalcomponent_get_next_component(zone, ICAL_ANY_COMPONENT)) {
        ++total;
        const icaltimetype start = icalcomponent_get_dtstart(o);
        for (icalproperty *p = icalcomponent_get_first_property(o, ICAL_RRULE_PROPERTY); p;
             p = icalcomponent_get_next_property(o, ICAL_RRULE_PROPERTY)) {
            if (!isYearlyRule(icalproperty_get_rrule(p)))
                return -1;
            total += std::max(0, lastYear - start.year + 1);
        }
        for (icalproperty *p = icalcomponent_get_first_property(o, ICAL_RDATE_PROPERTY); p;
             p = icalcomponent_get_next_property(o, ICAL_RDATE_PROPERTY))
            ++total;
    }
    return total;
}

// The year of a DUE or DTSTART in one of the calendar's zones, by TZID.
void noteYear(icalproperty *p, QHash<QByteArray, int> &lastYear)
{
    icalparameter *tzid = p ? icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER) : nullptr;
    if (!tzid)
        return;
    const QByteArray name = icalparameter_get_tzid(tzid);
    const int year = icalvalue_get_datetime(icalproperty_get_value(p)).year;
    auto it = lastYear.find(name);
    if (it == lastYear.end())
        lastYear.insert(name, year);
    else
        *it = std::max(*it, year);
}

} // namespace

IcsImportZones::IcsImportZones(icalcomponent *calendar, int thisYear, qint64 &budget)
{
    QHash<QByteArray, int> lastYear;
    for (icalcomponent *todo = icalcomponent_get_first_component(calendar, ICAL_VTODO_COMPONENT);
         todo; todo = icalcomponent_get_next_component(calendar, ICAL_VTODO_COMPONENT)) {
        noteYear(icalcomponent_get_first_property(todo, ICAL_DUE_PROPERTY), lastYear);
        noteYear(icalcomponent_get_first_property(todo, ICAL_DTSTART_PROPERTY), lastYear);
    }
    // A TZID given twice is usable only when every definition is.
    QHash<QByteArray, qint64> costs;
    for (icalcomponent *zone =
             icalcomponent_get_first_component(calendar, ICAL_VTIMEZONE_COMPONENT);
         zone; zone = icalcomponent_get_next_component(calendar, ICAL_VTIMEZONE_COMPONENT)) {
        icalproperty *tzid = icalcomponent_get_first_property(zone, ICAL_TZID_PROPERTY);
        if (!tzid)
            continue;
        const QByteArray name = icalproperty_get_tzid(tzid);
        if (!lastYear.contains(name))
            continue; // no to-do needs it: libical never expands it
        const int last = std::min(9999, std::max(lastYear.value(name), thisYear) + 10);
        const qint64 c = cost(zone, last);
        qint64 &sum = costs[name];
        sum = c < 0 || sum < 0 ? -1 : sum + c;
    }
    for (auto it = costs.cbegin(); it != costs.cend(); ++it) {
        const bool fits = *it >= 0 && *it <= budget;
        if (fits)
            budget -= *it;
        m_own.insert(it.key(), fits);
        if (!fits)
            continue;
        // Expanded once, as far as its to-dos need, so that no conversion expands
        // it again.
        if (icaltimezone *zone = icalcomponent_get_timezone(calendar, it.key().constData())) {
            icaltimetype t = icaltime_null_time();
            t.year = std::max(1, lastYear.value(it.key()));
            t.month = 12;
            t.day = 31;
            (void)icaltime_as_timet_with_zone(t, zone);
        }
    }
}

bool IcsImportZones::usable(const icaltimezone *zone) const
{
    if (!zone)
        return true;
    const char *tzid = icaltimezone_get_tzid(const_cast<icaltimezone *>(zone));
    return m_own.value(QByteArray(tzid ? tzid : ""), true);
}
