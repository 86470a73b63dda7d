#pragma once

#include <QDate>
#include <QSet>
#include <QString>
#include <utility>

// Wall-clock minutes since the start of the Julian calendar, counted without
// regard to time zones, as tasks are dated.
inline qint64 wallClockMinute(const QDate &day, int minuteOfDay)
{
    return day.toJulianDay() * 24 * 60 + minuteOfDay;
}

// The tasks alerted in this run, each by the minute it fell due and its text, so
// that a minute checked a second time (the clock was set back) alerts nobody twice
// while a task added since is still alerted.
class AlertedTasks
{
public:
    // `minute` as wallClockMinute numbers it.
    bool contains(qint64 minute, const QString &task) const
    {
        return m_alerted.contains({minute, task});
    }
    void insert(qint64 minute, const QString &task) { m_alerted.insert({minute, task}); }

private:
    QSet<std::pair<qint64, QString>> m_alerted;
};
