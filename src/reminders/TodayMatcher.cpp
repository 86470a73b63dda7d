#include "TodayMatcher.h"

#include "store/DateFormat.h"

TodayMatcher::TodayMatcher(const DateFormat &dates, const QDate &today)
    : m_dates(dates), m_today(today), m_todayText(dates.shortDate(today))
{
}

bool TodayMatcher::isToday(const QString &dateText)
{
    if (dateText == m_todayText)
        return true;
    const auto seen = m_seen.constFind(dateText);
    if (seen != m_seen.constEnd())
        return *seen;
    const auto date = m_dates.parseDate(dateText, m_today);
    const bool today = date && *date == m_today;
    m_seen.insert(dateText, today);
    return today;
}
