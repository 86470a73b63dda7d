#include "AlarmTimer.h"

#include "AlertedTasks.h"

#include <algorithm>

namespace {

constexpr qint64 MinutesPerDay = 24 * 60;

// Wall-clock minutes, counted without regard to time zones: an hour repeated
// when summer time ends reads as the clock going back, and an hour skipped when
// it begins is caught up like any late tick.
qint64 minuteNumber(const QDateTime &t)
{
    return wallClockMinute(t.date(), t.time().hour() * 60 + t.time().minute());
}

QDateTime minuteAt(qint64 number)
{
    const int ofDay = int(number % MinutesPerDay);
    return QDateTime(QDate::fromJulianDay(number / MinutesPerDay), QTime(ofDay / 60, ofDay % 60));
}

} // namespace

AlarmTimer::AlarmTimer(QObject *parent) : QObject(parent)
{
    m_timer.setObjectName(QStringLiteral("Timer1"));
    m_timer.setInterval(Period);
    connect(&m_timer, &QTimer::timeout, this, &AlarmTimer::tick);
}

void AlarmTimer::start()
{
    if (!m_timer.isActive())
        m_timer.start();
}

void AlarmTimer::stop()
{
    m_timer.stop();
    m_lastChecked.reset();
    m_lastAlerted = false;
}

void AlarmTimer::pause()
{
    m_timer.setInterval(PausePeriod);
}

void AlarmTimer::reset()
{
    m_timer.setInterval(Period);
}

std::optional<AlarmTimer::MinuteSpan> AlarmTimer::minutesToCheck(const QDateTime &now)
{
    const qint64 minute = minuteNumber(now);
    qint64 first = minute;
    if (m_lastChecked) {
        if (minute == *m_lastChecked && m_lastAlerted)
            return std::nullopt;
        // The clock was set back (corrected after running ahead): the minutes from
        // now on are checked again as they come; what they alerted before is not
        // alerted twice (AlertedTasks).
        if (minute < *m_lastChecked)
            m_lastAlerted = false;
        if (minute > *m_lastChecked) {
            first = std::max(*m_lastChecked + 1, minute - MaxCatchUpMinutes + 1);
            m_lastAlerted = false;
        }
    }
    m_lastChecked = minute;
    return MinuteSpan{minuteAt(first), minuteAt(minute)};
}

void AlarmTimer::alerted()
{
    m_lastAlerted = true;
    pause();
}

void AlarmTimer::tick()
{
    if (isPaused())
        reset();
    emit checkDue();
}
