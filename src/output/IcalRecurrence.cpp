#include "IcalRecurrence.h"

#include "tasks/RepeatRule.h"

#include <libical/ical.h>

#include <memory>

namespace {

// Enough for a daily rule to cross decades of missed days; a rule that takes more
// steps than this to pass a date is taken to have none.
constexpr int MaxSteps = 100000;

// A date without a time or zone, as libical reads one (a value put together field
// by field sets the weekday of a weekly rule a day early).
icaltimetype dayOf(const QDate &date)
{
    return icaltime_from_string(date.toString(QStringLiteral("yyyyMMdd")).toLatin1().constData());
}

} // namespace

namespace IcalRecurrence {

std::optional<QDate> next(const QByteArray &rrule, const QDate &start, const QDate &after,
                          QString *reason)
{
    const auto none = [reason](const QString &why) -> std::optional<QDate> {
        if (reason)
            *reason = why;
        return std::nullopt;
    };
    if (!start.isValid())
        return none(QStringLiteral("the task has no valid date"));
    icalerror_clear_errno();
    const icalrecurrencetype rule = icalrecurrencetype_from_string(rrule.constData());
    if (rule.freq == ICAL_NO_RECURRENCE || icalerrno != ICAL_NO_ERROR) {
        icalerror_clear_errno();
        return none(QStringLiteral("the rule \"%1\" cannot be read").arg(QString(rrule)));
    }
    if (rule.freq < ICAL_DAILY_RECURRENCE)
        return none(QStringLiteral("it repeats more often than once a day"));
    if (rule.interval < 1 || rule.interval > RepeatRule::MaxInterval)
        return none(QStringLiteral("its interval (%1) is not between 1 and %2")
                        .arg(rule.interval)
                        .arg(RepeatRule::MaxInterval));
    const std::unique_ptr<icalrecur_iterator, decltype(&icalrecur_iterator_free)> it(
        icalrecur_iterator_new(rule, dayOf(start)), &icalrecur_iterator_free);
    if (!it) {
        icalerror_clear_errno();
        return none(QStringLiteral("the rule \"%1\" cannot be followed").arg(QString(rrule)));
    }
    // Without a COUNT the iterator may start near the date wanted; with one it must
    // count from the start.
    if (rule.count == 0 && after > start)
        icalrecur_iterator_set_start(it.get(), dayOf(after));
    for (int step = 0; step < MaxSteps; ++step) {
        const icaltimetype t = icalrecur_iterator_next(it.get());
        if (icaltime_is_null_time(t))
            break;
        const QDate d(t.year, t.month, t.day);
        if (!d.isValid() || d.year() > 9999)
            break;
        if (d > after)
            return d;
    }
    icalerror_clear_errno();
    return none(QStringLiteral("the rule gives no further date"));
}

} // namespace IcalRecurrence
