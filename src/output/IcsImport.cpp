#include "IcsImport.h"

#include "IcsExport.h"
#include "platform/Clock.h"
#include "store/DateFormat.h"
#include "store/Settings.h"
#include "store/StoreError.h"
#include "store/TaskTable.h"
#include "store/Win1252.h"
#include "tasks/CategoryList.h"
#include "tasks/TaskList.h"

#include <QDateTime>
#include <QFile>

#include <libical/ical.h>

#include <memory>

namespace {

constexpr char16_t FieldSeparator = 0x00A6; // "¦" splits a task record
constexpr int ColourCount = 19;             // the text colour table's entries
constexpr int DefaultColour = 18;

using Component = std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)>;

// The closest text Windows-1252 holds: a character it lacks becomes its
// compatibility decomposition without accents when that fits, else "?".
QString storable(const QString &text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (Win1252::canEncode(c)) {
            out += c;
            continue;
        }
        QString whole(c);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            whole += text.at(++i);
        QString near;
        for (const QChar d : whole.normalized(QString::NormalizationForm_KD))
            if (d.category() != QChar::Mark_NonSpacing)
                near += d;
        const bool fits = !near.isEmpty() && Win1252::firstUnencodable(near) < 0;
        out += fits ? near : QStringLiteral("?");
    }
    return out;
}

// A field as the task file can hold it; a remark on the task when it changed.
QString field(const char *value, bool keepLines, const QString &task,
              std::vector<IcsImport::Remark> &changed)
{
    QString text = QString::fromUtf8(value ? value : "");
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QString out = storable(text);
    if (out != text)
        changed.push_back({task, "ImportCharacters", {}});
    const QString before = out;
    out.replace(FieldSeparator, QLatin1Char('|'));
    for (QChar &c : out)
        if (c.unicode() < 0x20 && !(keepLines && c == QLatin1Char('\n')))
            c = QLatin1Char(' ');
    if (out != before)
        changed.push_back({task, "ImportSeparator", {}});
    if (keepLines)
        out.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return out;
}

// 1 .. 9 back onto 1 (highest) .. 5; 0 (undefined) is none.
QString priorityOf(int icalPriority)
{
    return icalPriority >= 1 && icalPriority <= 9 ? QString::number((icalPriority + 1) / 2)
                                                  : QString();
}

QString colourOf(icalcomponent *todo)
{
    for (icalproperty *p = icalcomponent_get_first_property(todo, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(todo, ICAL_X_PROPERTY)) {
        if (qstrcmp(icalproperty_get_x_name(p), IcsExport::ColourProperty) != 0)
            continue;
        bool ok = false;
        const int index = QByteArray(icalproperty_get_x(p)).trimmed().toInt(&ok);
        if (ok && index >= 0 && index < ColourCount)
            return QString::number(index);
    }
    return QString::number(DefaultColour);
}

// The first parse error libical left in the tree, or none.
QString firstError(icalcomponent *component)
{
    if (icalproperty *p = icalcomponent_get_first_property(component, ICAL_XLICERROR_PROPERTY))
        return QString::fromUtf8(icalproperty_get_xlicerror(p));
    for (icalcomponent *c = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT)) {
        const QString error = firstError(c);
        if (!error.isEmpty())
            return error;
    }
    return {};
}

// DUE as local date and time; no time for a DATE value.
struct Due
{
    QDate date;
    std::optional<QTime> time;
};

Due localDue(icaltimetype due, const QString &task, std::vector<IcsImport::Remark> &changed)
{
    if (due.is_date)
        return {QDate(due.year, due.month, due.day), std::nullopt};
    if (!due.zone) // floating: the local time as written
        return {QDate(due.year, due.month, due.day), QTime(due.hour, due.minute)};
    const QDateTime local =
        QDateTime::fromSecsSinceEpoch(icaltime_as_timet_with_zone(due, due.zone)).toLocalTime();
    const char *zone = icaltimezone_get_tzid(const_cast<icaltimezone *>(due.zone));
    if (local.time() != QTime(due.hour, due.minute) ||
        local.date() != QDate(due.year, due.month, due.day))
        changed.push_back({task, "ImportTimeZone", QString::fromUtf8(zone ? zone : "UTC")});
    return {local.date(), QTime(local.time().hour(), local.time().minute())};
}

} // namespace

namespace IcsImport {

Parsed parse(const QByteArray &text, const DateFormat &dates, const QDate &today)
{
    Parsed result;
    icalerror_clear_errno();
    Component calendar(icalparser_parse_string(text.constData()), icalcomponent_free);
    if (!calendar) {
        result.error = icalerrno != ICAL_NO_ERROR ? QString::fromUtf8(icalerror_strerror(icalerrno))
                                                  : QStringLiteral("No iCalendar data found");
        return result;
    }
    if (const QString error = firstError(calendar.get()); !error.isEmpty()) {
        result.error = error;
        return result;
    }
    if (icalcomponent_isa(calendar.get()) != ICAL_VCALENDAR_COMPONENT) {
        result.error = QStringLiteral("No VCALENDAR component found");
        return result;
    }
    for (icalcomponent *todo =
             icalcomponent_get_first_component(calendar.get(), ICAL_VTODO_COMPONENT);
         todo; todo = icalcomponent_get_next_component(calendar.get(), ICAL_VTODO_COMPONENT)) {
        const char *uid = icalcomponent_get_uid(todo);
        const QString summaryText = QString::fromUtf8(icalcomponent_get_summary(todo)).simplified();
        const QString name =
            summaryText.isEmpty() ? QString::fromUtf8(uid ? uid : "") : summaryText;
        if (summaryText.isEmpty()) {
            result.skipped.push_back({name, "ImportNoSummary", {}});
            continue;
        }
        std::vector<Remark> changed;
        TaskRow row;
        row[Col::Task] = field(icalcomponent_get_summary(todo), false, name, changed).trimmed();
        Due due{today, std::nullopt};
        if (icalcomponent_get_first_property(todo, ICAL_DUE_PROPERTY))
            due = localDue(icalcomponent_get_due(todo), name, changed);
        else
            changed.push_back({name, "ImportNoDue", {}});
        if (!due.date.isValid()) {
            result.skipped.push_back({name, "ImportBadDue", {}});
            continue;
        }
        row[Col::Date] = dates.shortDate(due.date);
        row[Col::Hour] =
            due.time ? dates.formatTime(*due.time, QStringLiteral("hh:nn")) : QString();
        row[Col::SortKey] =
            dates.formatDateTime(QDateTime(due.date, due.time.value_or(QTime(0, 0))),
                                 QStringLiteral("yyyy-MM-dd HH:mm"));
        if (icalproperty *p = icalcomponent_get_first_property(todo, ICAL_PRIORITY_PROPERTY))
            row[Col::Priority] = priorityOf(icalproperty_get_priority(p));
        if (icalproperty *p = icalcomponent_get_first_property(todo, ICAL_CATEGORIES_PROPERTY)) {
            row[Col::Category] =
                field(icalproperty_get_categories(p), false, name, changed).trimmed();
            if (icalcomponent_get_next_property(todo, ICAL_CATEGORIES_PROPERTY))
                changed.push_back({name, "ImportCategories", row[Col::Category]});
        }
        if (icalproperty *p = icalcomponent_get_first_property(todo, ICAL_DESCRIPTION_PROPERTY))
            row[Col::Note] = field(icalproperty_get_description(p), true, name, changed);
        row[Col::Done] = icalcomponent_get_status(todo) == ICAL_STATUS_COMPLETED
                             ? DoneMark
                             : QStringLiteral(" ");
        row[Col::TextColor] = colourOf(todo);
        // One remark per reason and task.
        for (const Remark &remark : changed) {
            const bool seen =
                std::any_of(result.changed.begin(), result.changed.end(), [&](const Remark &r) {
                    return r.task == remark.task && qstrcmp(r.reason, remark.reason) == 0;
                });
            if (!seen)
                result.changed.push_back(remark);
        }
        result.tasks.push_back(row);
    }
    return result;
}

Parsed importFile(const QString &path, TaskList &tasks, Settings &settings, const DateFormat &dates,
                  const Clock &clock)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Parsed result;
        result.error = StoreError::cannotOpen(path, file.errorString()).message();
        return result;
    }
    Parsed result = parse(file.readAll(), dates, clock.today());
    if (!result.error.isEmpty())
        return result;
    // Loaded only now: a load creates a missing task file, and a refused file
    // must leave the folder as it was.
    if (!result.tasks.empty() && !tasks.loaded())
        tasks.load(tasks.filter());
    CategoryList categories(settings);
    QStringList listed = categories.names();
    for (const TaskRow &task : result.tasks) {
        const QString &category = task[Col::Category];
        if (!category.isEmpty() && !listed.contains(category)) {
            categories.add(category);
            listed << category;
            tasks.tellCategoryAdded(category);
        }
        tasks.add(task);
    }
    return result;
}

QString summary(const Parsed &result, Language language)
{
    const auto text = [language](const char *key) {
        return LanguageTables::text(LanguageTables::backupTexts(), key, language);
    };
    if (!result.error.isEmpty())
        return text("ImportRefused").arg(result.error);
    QString out = text("Imported").arg(result.tasks.size());
    const auto list = [&](const char *heading, const std::vector<Remark> &remarks) {
        if (remarks.empty())
            return;
        out += QStringLiteral("\n\n") + text(heading);
        for (const Remark &r : remarks) {
            const QString reason =
                r.detail.isEmpty() ? text(r.reason) : text(r.reason).arg(r.detail);
            out += QStringLiteral("\n  \"%1\": %2").arg(r.task, reason);
        }
    };
    list("ImportChanged", result.changed);
    list("ImportSkipped", result.skipped);
    return out;
}

} // namespace IcsImport
