#include "Reminders.h"

#include "TodayMatcher.h"
#include "store/DateFormat.h"
#include "store/TaskTable.h"

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
    QString text = AlertHeading + QLatin1Char('\r');
    const QString minute = dates.formatTime(now.time(), QStringLiteral("hh:nn"));
    TodayMatcher matcher(dates, now.date());
    // Every condition is a pure test, so the cheap hour comparison goes first: on a
    // long list almost every row stops there. An empty hour never equals "hh:nn".
    for (int r = 1; r < table.rowCount(); ++r) {
        if (table.cell(Col::Hour, r) == minute && table.cell(Col::Done, r) != DoneMark &&
            matcher.isToday(table.cell(Col::Date, r)))
            appendLine(text, r, table.shownTask(r));
    }
    return text;
}

bool listsTasks(const QString &text, const QString &heading)
{
    return stripped(text) != heading;
}

} // namespace Reminders
