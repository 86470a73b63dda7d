#include "RepeatRule.h"

#include <QByteArrayList>
#include <QMap>

#include <algorithm>

namespace {

const QByteArrayList DayCodes = {"MO", "TU", "WE", "TH", "FR", "SA", "SU"};
const QByteArray WorkDays = "MO,TU,WE,TH,FR";
const QByteArray StartPart = "DTSTART=";

// The parts of RRULE text by name (upper case); none when a part has no '='.
std::optional<QMap<QByteArray, QByteArray>> partsOf(const QByteArray &rrule)
{
    QMap<QByteArray, QByteArray> parts;
    for (const QByteArray &part : rrule.split(';')) {
        if (part.trimmed().isEmpty())
            continue;
        const qsizetype eq = part.indexOf('=');
        if (eq <= 0)
            return std::nullopt;
        parts.insert(part.left(eq).trimmed().toUpper(), part.mid(eq + 1).trimmed().toUpper());
    }
    return parts;
}

QDate clampedDate(int year, int month, int day)
{
    const QDate first(year, month, 1);
    if (!first.isValid())
        return {};
    return QDate(year, month, std::min(day, first.daysInMonth()));
}

// The first date of the series step(1), step(2), ... after ref; step(k) grows
// with k. The guess is close: a few steps reach it.
template <typename Step> QDate firstAfter(const QDate &ref, qint64 guess, Step step)
{
    for (qint64 k = std::max<qint64>(1, guess - 1), tries = 0; tries < 6; ++k, ++tries) {
        const QDate d = step(k);
        if (!d.isValid())
            return {};
        if (d > ref)
            return d;
    }
    return {};
}

} // namespace

RepeatRule RepeatRule::every(Unit unit, int interval, const QDate &taskDate)
{
    RepeatRule r;
    r.m_unit = unit;
    r.m_interval = unit == Unit::Weekday || unit == Unit::Year ? 1 : interval;
    return r.onDate(taskDate);
}

RepeatRule RepeatRule::onDate(const QDate &taskDate) const
{
    RepeatRule r = *this;
    if (!taskDate.isValid() || m_unit == Unit::Elsewhere)
        return r;
    r.m_weekday = m_unit == Unit::Week ? taskDate.dayOfWeek() : 0;
    r.m_monthDay = m_unit == Unit::Month || m_unit == Unit::Year ? taskDate.day() : 0;
    r.m_month = m_unit == Unit::Year ? taskDate.month() : 0;
    return r;
}

RepeatRule RepeatRule::parse(const QByteArray &given, const QDate &taskDate, QString *reason)
{
    const auto refuse = [reason](const QString &why) {
        if (reason)
            *reason = why;
        return RepeatRule();
    };
    QByteArray rrule = given.trimmed();
    if (rrule.toUpper().startsWith("RRULE:"))
        rrule = rrule.mid(6);
    if (rrule.isEmpty())
        return {};
    QDate start;
    if (rrule.startsWith(StartPart)) {
        const qsizetype end = rrule.indexOf(';');
        start = QDate::fromString(QString::fromLatin1(rrule.mid(StartPart.size(), 8)),
                                  QStringLiteral("yyyyMMdd"));
        rrule = end < 0 ? QByteArray() : rrule.mid(end + 1);
    }
    const std::optional<QMap<QByteArray, QByteArray>> parts = partsOf(rrule);
    if (!parts)
        return refuse(QStringLiteral("the rule \"%1\" cannot be read").arg(QString(rrule)));
    const QByteArray freq = parts->value("FREQ");
    if (freq == "SECONDLY" || freq == "MINUTELY" || freq == "HOURLY")
        return refuse(QStringLiteral("it repeats more often than once a day"));
    Unit unit = Unit::Never;
    if (freq == "DAILY")
        unit = Unit::Day;
    else if (freq == "WEEKLY")
        unit = Unit::Week;
    else if (freq == "MONTHLY")
        unit = Unit::Month;
    else if (freq == "YEARLY")
        unit = Unit::Year;
    else
        return refuse(QStringLiteral("the rule has no frequency that gives dates"));
    int interval = 1;
    if (parts->contains("INTERVAL")) {
        bool ok = false;
        interval = parts->value("INTERVAL").toInt(&ok);
        if (!ok || interval < 1 || interval > MaxInterval)
            return refuse(QStringLiteral("its interval (%1) is not between 1 and %2")
                              .arg(QString(parts->value("INTERVAL")))
                              .arg(MaxInterval));
    }

    RepeatRule r = every(unit, interval, taskDate);
    r.m_interval = interval;
    QMap<QByteArray, QByteArray> rest = *parts;
    rest.remove("FREQ");
    rest.remove("INTERVAL");
    rest.remove("WKST");
    const QByteArray byDay = rest.take("BYDAY");
    const QByteArray byMonthDay = rest.take("BYMONTHDAY");
    const QByteArray byMonth = rest.take("BYMONTH");
    const auto number = [](const QByteArray &text, int low, int high) {
        bool ok = false;
        const int n = text.toInt(&ok);
        return ok && n >= low && n <= high ? n : 0;
    };
    bool editable = rest.isEmpty();
    switch (unit) {
    case Unit::Day:
        editable = editable && byDay.isEmpty() && byMonthDay.isEmpty() && byMonth.isEmpty();
        break;
    case Unit::Week:
        editable = editable && byMonthDay.isEmpty() && byMonth.isEmpty();
        if (byDay == WorkDays && interval == 1) {
            r = every(Unit::Weekday, 1, taskDate);
        } else if (!byDay.isEmpty()) {
            const qsizetype day = DayCodes.indexOf(byDay);
            editable = editable && day >= 0;
            r.m_weekday = int(day) + 1;
        }
        break;
    case Unit::Month:
        editable = editable && byDay.isEmpty() && byMonth.isEmpty();
        if (!byMonthDay.isEmpty()) {
            r.m_monthDay = number(byMonthDay, 1, 31);
            editable = editable && r.m_monthDay > 0;
        }
        break;
    default: // Year
        editable = editable && byDay.isEmpty();
        if (!byMonth.isEmpty()) {
            r.m_month = number(byMonth, 1, 12);
            editable = editable && r.m_month > 0;
        }
        if (!byMonthDay.isEmpty()) {
            r.m_monthDay = number(byMonthDay, 1, 31);
            editable = editable && r.m_monthDay > 0;
        }
        break;
    }
    if (editable &&
        (r.m_weekday > 0 || r.m_monthDay > 0 || r.m_unit == Unit::Day || r.m_unit == Unit::Weekday))
        return r;
    RepeatRule elsewhere;
    elsewhere.m_unit = Unit::Elsewhere;
    elsewhere.m_interval = interval;
    const QDate from = start.isValid() ? start : taskDate;
    elsewhere.m_text =
        from.isValid()
            ? StartPart + from.toString(QStringLiteral("yyyyMMdd")).toLatin1() + ';' + rrule
            : rrule;
    return elsewhere;
}

QByteArray RepeatRule::text() const
{
    const QByteArray every =
        m_interval > 1 ? ";INTERVAL=" + QByteArray::number(m_interval) : QByteArray();
    switch (m_unit) {
    case Unit::Never:
        return {};
    case Unit::Day:
        return "FREQ=DAILY" + every;
    case Unit::Weekday:
        return "FREQ=WEEKLY;BYDAY=" + WorkDays;
    case Unit::Week:
        return "FREQ=WEEKLY" + every + ";BYDAY=" + DayCodes.value(m_weekday - 1);
    case Unit::Month:
        return "FREQ=MONTHLY" + every + ";BYMONTHDAY=" + QByteArray::number(m_monthDay);
    case Unit::Year:
        return "FREQ=YEARLY" + every + ";BYMONTH=" + QByteArray::number(m_month) +
               ";BYMONTHDAY=" + QByteArray::number(m_monthDay);
    case Unit::Elsewhere:
        break;
    }
    if (m_text.startsWith(StartPart)) {
        const qsizetype end = m_text.indexOf(';');
        return end < 0 ? QByteArray() : m_text.mid(end + 1);
    }
    return m_text;
}

QByteArray RepeatRule::stored() const
{
    return m_unit == Unit::Elsewhere ? m_text : text();
}

QDate RepeatRule::seriesStart() const
{
    if (!m_text.startsWith(StartPart))
        return {};
    return QDate::fromString(QString::fromLatin1(m_text.mid(StartPart.size(), 8)),
                             QStringLiteral("yyyyMMdd"));
}

std::optional<QDate> RepeatRule::next(const QDate &taskDate, const QDate &today,
                                      const ElsewhereNext &elsewhere, QString *reason) const
{
    const auto none = [reason](const QString &why) -> std::optional<QDate> {
        if (reason)
            *reason = why;
        return std::nullopt;
    };
    if (!taskDate.isValid())
        return none(QStringLiteral("the task has no valid date"));
    const QDate ref = std::max(today, taskDate);
    const qint64 n = m_interval;
    QDate found;
    switch (m_unit) {
    case Unit::Never:
        return none(QStringLiteral("the task does not repeat"));
    case Unit::Day:
        found = taskDate.addDays((taskDate.daysTo(ref) / n + 1) * n);
        break;
    case Unit::Weekday:
        found = ref.addDays(1);
        while (found.dayOfWeek() > 5)
            found = found.addDays(1);
        break;
    case Unit::Week: {
        // The series runs on its weekday from the task's week on.
        const QDate start = taskDate.addDays((m_weekday - taskDate.dayOfWeek() + 7) % 7);
        found = start > ref ? start : start.addDays((start.daysTo(ref) / (7 * n) + 1) * 7 * n);
        break;
    }
    case Unit::Month: {
        const qint64 first = qint64(taskDate.year()) * 12 + taskDate.month() - 1;
        const qint64 at = qint64(ref.year()) * 12 + ref.month() - 1;
        found = firstAfter(ref, (at - first) / n, [&](qint64 k) {
            const qint64 m = first + k * n;
            return clampedDate(int(m / 12), int(m % 12) + 1, m_monthDay);
        });
        break;
    }
    case Unit::Year:
        found = firstAfter(ref, (ref.year() - taskDate.year()) / n, [&](qint64 k) {
            return clampedDate(int(taskDate.year() + k * n), m_month, m_monthDay);
        });
        break;
    case Unit::Elsewhere: {
        if (!elsewhere)
            return none(QStringLiteral("its rule cannot be followed here"));
        const QDate start = seriesStart().isValid() ? seriesStart() : taskDate;
        return elsewhere(text(), start, ref, reason);
    }
    }
    if (!found.isValid() || found.year() > 9999)
        return none(QStringLiteral("the rule gives no further date"));
    return found;
}
