#pragma once

#include <QDate>
#include <QHash>
#include <QString>

class DateFormat;

// Whether a task's date text, read in the short date format in force, is today.
// A text that is no date is never today. Results are kept per text: a long list
// holds few distinct dates, and the agenda reads every row.
class TodayMatcher
{
public:
    TodayMatcher(const DateFormat &dates, const QDate &today);
    bool isToday(const QString &dateText);

private:
    const DateFormat &m_dates;
    QDate m_today;
    QString m_todayText; // today in the short date format: the common case, no parsing
    QHash<QString, bool> m_seen;
};
