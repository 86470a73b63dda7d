#include "FirstWriteOfDay.h"

#include "Clock.h"

void FirstWriteOfDay::beforeWrite()
{
    const QDate today = m_clock.today();
    if (today == m_lastDay)
        return;
    m_lastDay = today;
    if (m_step)
        m_step();
}
