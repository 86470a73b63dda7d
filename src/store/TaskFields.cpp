#include "TaskFields.h"

#include "DateFormat.h"
#include "TaskTable.h"

namespace TaskFields {

namespace {

QString hourOf(const TaskRow &row)
{
    const QString hour = row[Col::Hour].trimmed();
    return hour.isEmpty() ? QStringLiteral("00:00") : hour;
}

bool sameDate(const QString &a, const QString &b, const DateFormat &dates, const QDate &today)
{
    if (a == b)
        return true;
    const std::optional<QDate> da = dates.parseDate(a, today);
    const std::optional<QDate> db = dates.parseDate(b, today);
    return da && db && *da == *db;
}

} // namespace

bool same(Field field, const TaskRow &a, const TaskRow &b, const DateFormat &dates,
          const QDate &today)
{
    switch (field) {
    case Field::Done:
        return (a[Col::Done] == DoneMark) == (b[Col::Done] == DoneMark);
    case Field::Task:
        return a[Col::Task] == b[Col::Task];
    case Field::Due:
        return sameDate(a[Col::Date], b[Col::Date], dates, today) && hourOf(a) == hourOf(b);
    case Field::Priority:
        return a[Col::Priority].trimmed() == b[Col::Priority].trimmed();
    case Field::Category:
        return a[Col::Category] == b[Col::Category];
    case Field::Colour:
        return a[Col::TextColor].trimmed() == b[Col::TextColor].trimmed();
    case Field::Note:
        return a[Col::Note] == b[Col::Note];
    }
    return true;
}

bool sameTask(const TaskRow &a, const TaskRow &b, const DateFormat &dates, const QDate &today)
{
    for (const Field f : All)
        if (!same(f, a, b, dates, today))
            return false;
    return true;
}

void take(Field field, TaskRow &a, const TaskRow &b)
{
    switch (field) {
    case Field::Done:
        a[Col::Done] = b[Col::Done];
        break;
    case Field::Task:
        a[Col::Task] = b[Col::Task];
        break;
    case Field::Due:
        a[Col::Date] = b[Col::Date];
        a[Col::Hour] = b[Col::Hour];
        a[Col::SortKey] = b[Col::SortKey];
        break;
    case Field::Priority:
        a[Col::Priority] = b[Col::Priority];
        break;
    case Field::Category:
        a[Col::Category] = b[Col::Category];
        break;
    case Field::Colour:
        a[Col::TextColor] = b[Col::TextColor];
        break;
    case Field::Note:
        a[Col::Note] = b[Col::Note];
        break;
    }
}

QDate dateOf(const TaskRow &row, const DateFormat &dates, const QDate &today)
{
    if (const std::optional<QDateTime> key = DateFormat::parseSortKey(row[Col::SortKey]))
        return key->date();
    return dates.parseDate(row[Col::Date], today).value_or(QDate());
}

} // namespace TaskFields
