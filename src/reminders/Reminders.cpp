#include "Reminders.h"

#include "AlertedTasks.h"
#include "TodayMatcher.h"
#include "store/DateFormat.h"
#include "store/TaskTable.h"

#include <QHash>
#include <optional>

namespace Reminders {

namespace {

void appendLine(QString &text, int row, const QString &task)
{
    text += QLatin1Char('\r');
    text += QString::number(row);
    text += QLatin1String(" - ");
    text += task;
}

bool isBlankOrControl(QChar c)
{
    return c.unicode() <= 0x20 || c.category() == QChar::Other_Control || c.isSpace();
}

QString stripped(const QString &text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && isBlankOrControl(text[from]))
        ++from;
    while (to > from && isBlankOrControl(text[to - 1]))
        --to;
    return text.mid(from, to - from);
}

} // namespace

QString agendaText(const TaskTable &table, const DateFormat &dates, const QDate &today)
{
    QString text = AgendaHeading + QLatin1Char('\r');
    if (table.isEmpty())
        return text;
    TodayMatcher matcher(dates, today);
    for (int r = 1; r < table.rowCount(); ++r) {
        if (table.cell(Col::Done, r) != DoneMark && matcher.isToday(table.cell(Col::Date, r)))
            appendLine(text, r, table.shownTask(r));
    }
    return text;
}

QString alertText(const TaskTable &table, const DateFormat &dates, const QDateTime &now)
{
    return alertText(table, dates, now, now);
}

QString alertText(const TaskTable &table, const DateFormat &dates, const QDateTime &first,
                  const QDateTime &last, AlertedTasks *alerted)
{
    QString text = AlertHeading + QLatin1Char('\r');
    const QDate firstDay = first.date();
    const QDate lastDay = last.date();
    // No more than a day: every "hh:nn" names at most one minute of the span.
    QHash<QString, qint64> minuteOf;
    for (QDate day = firstDay; day <= lastDay; day = day.addDays(1)) {
        const int from = day == firstDay ? first.time().hour() * 60 + first.time().minute() : 0;
        const int to =
            day == lastDay ? last.time().hour() * 60 + last.time().minute() : 24 * 60 - 1;
        for (int m = from; m <= to; ++m)
            minuteOf.insert(dates.formatTime(QTime(m / 60, m % 60), QStringLiteral("hh:nn")),
                            wallClockMinute(day, m));
    }
    TodayMatcher onFirstDay(dates, firstDay);
    TodayMatcher onLastDay(dates, lastDay);
    // The ordinary check looks at one minute: a plain comparison is the fast path.
    const QString onlyHour = minuteOf.size() == 1 ? minuteOf.begin().key() : QString();
    const qint64 onlyMinute = minuteOf.size() == 1 ? minuteOf.begin().value() : 0;
    const auto minuteOfHour = [&](const QString &hour) -> std::optional<qint64> {
        if (!onlyHour.isNull())
            return hour == onlyHour ? std::optional(onlyMinute) : std::nullopt;
        const auto found = minuteOf.constFind(hour);
        return found == minuteOf.constEnd() ? std::nullopt : std::optional(*found);
    };
    const qint64 firstDayStart = wallClockMinute(firstDay, 0);
    // Every condition is a pure test, so the cheap hour test goes first: on a long
    // list almost every row stops there. An empty hour names no minute.
    for (int r = 1; r < table.rowCount(); ++r) {
        const std::optional<qint64> minute = minuteOfHour(table.cell(Col::Hour, r));
        if (!minute || table.cell(Col::Done, r) == DoneMark)
            continue;
        TodayMatcher &matcher = *minute < firstDayStart + 24 * 60 ? onFirstDay : onLastDay;
        if (!matcher.isToday(table.cell(Col::Date, r)))
            continue;
        const QString task = table.shownTask(r);
        if (alerted) {
            if (alerted->contains(*minute, task))
                continue;
            alerted->insert(*minute, task);
        }
        appendLine(text, r, task);
    }
    return text;
}

QString taskLines(const QString &text)
{
    // "<heading>\r" then "\r<line>" for each task.
    return text.section(QLatin1Char('\r'), 2).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

bool listsTasks(const QString &text, const QString &heading)
{
    return stripped(text) != heading;
}

} // namespace Reminders
