#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

#include <functional>
#include <optional>

// How a task comes back once it is ticked, kept as iCalendar RRULE text in the
// side file of identities (the task files keep the older release's format). The
// editor's rules carry what they hang on (the weekday, the day of the month, the
// month) so that a task on the 31st comes back on the 31st after a short month.
// Any other rule (one set by another program) is kept as it came, as text.
class RepeatRule
{
public:
    enum class Unit {
        Never,
        Day,      // every N days
        Weekday,  // Monday to Friday
        Week,     // every N weeks on one weekday
        Month,    // every N months on one day of the month
        Year,     // every year on one day of one month
        Elsewhere // a rule the editor cannot express, kept as its text
    };
    // The largest interval the editor offers and a rule may have.
    static constexpr int MaxInterval = 999;

    RepeatRule() = default;
    // An editor's rule hung on the task's date.
    static RepeatRule every(Unit unit, int interval, const QDate &taskDate);
    // Reads RRULE text (with or without "RRULE:"); what an editor's rule leaves out
    // (BYDAY of a weekly rule, ...) is taken from the task's date. A rule that
    // cannot give dates (bad FREQ, INTERVAL 0 or too large, ...) reads as Never
    // with the reason.
    static RepeatRule parse(const QByteArray &rrule, const QDate &taskDate,
                            QString *reason = nullptr);

    Unit unit() const { return m_unit; }
    int interval() const { return m_interval; }
    bool repeats() const { return m_unit != Unit::Never; }
    // The weekday (1 Monday .. 7), day of month and month the rule hangs on.
    int weekday() const { return m_weekday; }
    int monthDay() const { return m_monthDay; }
    int month() const { return m_month; }
    // The RRULE text, without "RRULE:"; empty for Never.
    QByteArray text() const;
    // What the side file keeps, which parse reads back: the RRULE text, and for a
    // rule set elsewhere the date its series starts on (a COUNT counts from there).
    QByteArray stored() const;
    // A rule set elsewhere: the date its series started on; none for the others.
    QDate seriesStart() const;

    // The rule hung on another date (the editor's date changed): the editor's rules
    // follow it; a rule set elsewhere stays as it is.
    RepeatRule onDate(const QDate &taskDate) const;

    // A rule set elsewhere: the next date after `after` of the series that starts at
    // start, or none with the reason. Given by the iCalendar layer.
    using ElsewhereNext = std::function<std::optional<QDate>(
        const QByteArray &rrule, const QDate &start, const QDate &after, QString *reason)>;

    // The first date the rule gives after the later of today and the task's date,
    // or none (with the reason) when the rule gives none within reach.
    std::optional<QDate> next(const QDate &taskDate, const QDate &today,
                              const ElsewhereNext &elsewhere, QString *reason = nullptr) const;

    bool operator==(const RepeatRule &o) const
    {
        return m_unit == o.m_unit && m_interval == o.m_interval && m_weekday == o.m_weekday &&
               m_monthDay == o.m_monthDay && m_month == o.m_month && m_text == o.m_text;
    }

private:
    Unit m_unit = Unit::Never;
    int m_interval = 1;
    int m_weekday = 0;
    int m_monthDay = 0;
    int m_month = 0;
    QByteArray m_text; // Elsewhere: the rule as it came
};
