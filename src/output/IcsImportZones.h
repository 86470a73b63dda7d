#pragma once

#include <QByteArray>
#include <QHash>

typedef struct icalcomponent_impl icalcomponent;
typedef struct _icaltimezone icaltimezone;

// Which of a calendar's own time zones (VTIMEZONE) a time may be converted in.
// libical expands a zone's rules from their start up to the year it converts, and
// again for every later year asked: a rule that repeats every second, thousands of
// rules or rules from year 1 would run for hours. Real zones change once or twice a
// year by yearly rules, so only such rules are taken, within a budget of work for
// the whole import; each zone is expanded once, up to the last year its to-dos
// need. libical's built-in zones (read from the system) and UTC are always usable.
class IcsImportZones
{
public:
    // Years of rules libical may expand in one import, all zones together: about
    // a second and a half of work on a common machine.
    static constexpr qint64 Budget = 1000000;

    // calendar: a VCALENDAR; thisYear: libical expands at least this far; budget:
    // what is left of Budget, lowered by the zones taken here.
    IcsImportZones(icalcomponent *calendar, int thisYear, qint64 &budget);

    bool usable(const icaltimezone *zone) const;

private:
    QHash<QByteArray, bool> m_own; // the calendar's zones by TZID
};
