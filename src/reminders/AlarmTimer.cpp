#include "AlarmTimer.h"

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
}

void AlarmTimer::pause()
{
    m_timer.setInterval(PausePeriod);
}

void AlarmTimer::reset()
{
    m_timer.setInterval(Period);
}

void AlarmTimer::tick()
{
    if (isPaused())
        reset();
    emit checkDue();
}
