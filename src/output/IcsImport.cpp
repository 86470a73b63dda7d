#include "IcsImport.h"

#include "IcsExport.h"
#include "IcsImportZones.h"
#include "store/Clock.h"
#include "store/DateFormat.h"
#include "store/Settings.h"
#include "store/StoreError.h"
#include "store/TaskIdentities.h"
#include "store/TaskTable.h"
#include "store/Win1252.h"
#include "tasks/CategoryList.h"
#include "tasks/RepeatRule.h"
#include "tasks/TaskList.h"

#include <QDateTime>
#include <QFile>
#include <QSet>

#include <libical/ical.h>

#include <optional>

namespace {

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
    out.replace(QLatin1Char(FieldSeparator), QLatin1Char(SeparatorStandIn));
    for (QChar &c : out)
        if (c.unicode() < 0x20 && !(keepLines && c == QLatin1Char('\n')))
            c = QLatin1Char(' ');
    if (out != before)
        changed.push_back({task, "ImportSeparator", {}});
    if (keepLines)
        out.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return out;
}

QString colourOf(icalcomponent *todo)
{
    for (icalproperty *p = icalcomponent_get_first_property(todo, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(todo, ICAL_X_PROPERTY)) {
        if (qstrcmp(icalproperty_get_x_name(p), IcsExport::ColourProperty) != 0)
            continue;
        bool ok = false;
        const int index = QByteArray(icalproperty_get_x(p)).trimmed().toInt(&ok);
        if (ok && index >= 0 && index < TextColourCount)
            return QString::number(index);
    }
    return QString::number(DefaultTextColour);
}

// A DUE or DTSTART as a local date, and hour when it has one.
struct When
{
    QDate date;
    std::optional<QTime> time;
};

enum class Reading { Usable, Missing, Invalid };

// Where a to-do's remarks go, one per reason.
struct Remarks
{
    QString task;
    std::vector<IcsImport::Remark> list;
    void add(const char *reason, const QString &detail = {})
    {
        for (const IcsImport::Remark &r : list)
            if (qstrcmp(r.reason, reason) == 0)
                return;
        list.push_back({task, reason, detail});
    }
};

// The TZID as the file writes it ("UTC" for a time in UTC), for the remarks.
QString zoneName(icalproperty *p, const icaltimetype &t)
{
    if (icalparameter *tzid = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER))
        return QString::fromUtf8(icalparameter_get_tzid(tzid));
    return icaltime_is_utc(t) ? QStringLiteral("UTC") : QString();
}

// A DUE or DTSTART in local time. Missing: a date outside the years 1 to 9999,
// before or after the conversion, which the task file cannot hold; Invalid: a
// date no calendar has.
Reading readWhen(icalproperty *p, icaltimetype t, const IcsImportZones &zones, Remarks &remarks,
                 When &when)
{
    when = {};
    if (t.year < 1 || t.year > 9999) {
        remarks.add("ImportOutOfRange");
        return Reading::Missing;
    }
    when.date = QDate(t.year, t.month, t.day);
    if (!when.date.isValid())
        return Reading::Invalid;
    if (t.is_date)
        return Reading::Usable;
    if (t.hour > 23 || t.minute > 59 || t.second > 60) {
        remarks.add("ImportBadHour", QStringLiteral("%1:%2")
                                         .arg(t.hour, 2, 10, QLatin1Char('0'))
                                         .arg(t.minute, 2, 10, QLatin1Char('0')));
        return Reading::Usable; // the date as written, without an hour
    }
    when.time = QTime(t.hour, t.minute);
    const QString zone = zoneName(p, t);
    if (!t.zone) {
        // Floating: the local time as written. A TZID libical does not know is too.
        if (!zone.isEmpty())
            remarks.add("ImportUnknownZone", zone);
        return Reading::Usable;
    }
    if (!zones.usable(t.zone)) {
        remarks.add("ImportUnusableZone", zone);
        return Reading::Usable;
    }
    const QDateTime local = QDateTime::fromSecsSinceEpoch(icaltime_as_timet_with_zone(t, t.zone));
    if (!local.isValid() || local.date().year() < 1 || local.date().year() > 9999) {
        remarks.add("ImportOutOfRange");
        return Reading::Missing;
    }
    if (local.date() != when.date || local.time() != *when.time)
        remarks.add("ImportTimeZone", zone);
    when = {local.date(), QTime(local.time().hour(), local.time().minute())};
    return Reading::Usable;
}

bool isDone(icalcomponent *todo, Remarks &remarks)
{
    if (icalcomponent_get_first_property(todo, ICAL_STATUS_PROPERTY)) {
        const icalproperty_status status = icalcomponent_get_status(todo);
        if (status == ICAL_STATUS_CANCELLED)
            remarks.add("ImportCancelled");
        return status == ICAL_STATUS_COMPLETED || status == ICAL_STATUS_CANCELLED;
    }
    // Without a status, a completion time or 100 % say it.
    if (icalcomponent_get_first_property(todo, ICAL_COMPLETED_PROPERTY))
        return true;
    icalproperty *p = icalcomponent_get_first_property(todo, ICAL_PERCENTCOMPLETE_PROPERTY);
    return p && icalproperty_get_percentcomplete(p) >= 100;
}

// PRIORITY 1 .. 9 back onto 1 (highest) .. 5; 0 (undefined) is none, and so is a
// value outside 0 .. 9, with a remark. written: the value as the file has it when
// it is no number (libical reads it as 0).
QString priorityOf(icalcomponent *todo, const QByteArray *written, Remarks &remarks)
{
    icalproperty *p = icalcomponent_get_first_property(todo, ICAL_PRIORITY_PROPERTY);
    if (!p)
        return {};
    const int value = icalproperty_get_priority(p);
    if (written || value < 0 || value > 9) {
        remarks.add("ImportBadPriority",
                    written ? QString::fromUtf8(written->left(20)) : QString::number(value));
        return {};
    }
    return value >= 1 ? QString::number((value + 1) / 2) : QString();
}

struct Context
{
    const DateFormat &dates;
    QDate today;
    const IcsImportScan::Scan &scan;
};

void readTodo(icalcomponent *todo, int ordinal, const IcsImportZones &zones, const Context &ctx,
              IcsImport::Parsed &result)
{
    const char *uid = icalcomponent_get_uid(todo);
    const QString summaryText = QString::fromUtf8(icalcomponent_get_summary(todo)).simplified();
    if (summaryText.isEmpty()) {
        result.skipped.push_back({QString::fromUtf8(uid ? uid : ""), "ImportNoSummary", {}});
        return;
    }
    Remarks remarks{summaryText, {}};
    TaskRow row;
    row[Col::Task] =
        field(icalcomponent_get_summary(todo), false, remarks.task, remarks.list).trimmed();

    When when{ctx.today, std::nullopt};
    Reading due = Reading::Missing;
    if (icalproperty *p = icalcomponent_get_first_property(todo, ICAL_DUE_PROPERTY))
        due = readWhen(p, icalcomponent_get_due(todo), zones, remarks, when);
    if (due == Reading::Invalid) {
        result.skipped.push_back({remarks.task, "ImportBadDue", {}});
        return;
    }
    if (due == Reading::Missing) {
        icalproperty *p = icalcomponent_get_first_property(todo, ICAL_DTSTART_PROPERTY);
        if (p &&
            readWhen(p, icalcomponent_get_dtstart(todo), zones, remarks, when) == Reading::Usable) {
            remarks.add("ImportStartDate");
        } else {
            when = {ctx.today, std::nullopt};
            remarks.add("ImportNoDue");
        }
    }
    row[Col::Date] = ctx.dates.shortDate(when.date);
    row[Col::Hour] =
        when.time ? ctx.dates.formatTime(*when.time, QStringLiteral("hh:nn")) : QString();
    row[Col::SortKey] = ctx.dates.formatDateTime(
        QDateTime(when.date, when.time.value_or(QTime(0, 0))), QStringLiteral("yyyy-MM-dd HH:mm"));

    const auto written = ctx.scan.priorities.constFind(ordinal);
    row[Col::Priority] =
        priorityOf(todo, written == ctx.scan.priorities.constEnd() ? nullptr : &*written, remarks);
    if (icalproperty *p = icalcomponent_get_first_property(todo, ICAL_CATEGORIES_PROPERTY)) {
        row[Col::Category] =
            field(icalproperty_get_categories(p), false, remarks.task, remarks.list).trimmed();
        if (icalcomponent_get_next_property(todo, ICAL_CATEGORIES_PROPERTY))
            remarks.add("ImportCategories", row[Col::Category]);
    }
    if (icalproperty *p = icalcomponent_get_first_property(todo, ICAL_DESCRIPTION_PROPERTY))
        row[Col::Note] = field(icalproperty_get_description(p), true, remarks.task, remarks.list);
    row[Col::Done] = isDone(todo, remarks) ? DoneMark : QStringLiteral(" ");
    row[Col::TextColor] = colourOf(todo);
    // The rule comes with the task, kept as it came when the editor cannot make it;
    // one that gives no dates leaves a task that does not repeat.
    QByteArray rule;
    if (icalproperty *p = icalcomponent_get_first_property(todo, ICAL_RRULE_PROPERTY)) {
        QString why;
        const RepeatRule parsed =
            RepeatRule::parse(icalproperty_get_value_as_string(p), when.date, &why);
        if (parsed.repeats())
            rule = parsed.stored();
        else
            remarks.add("ImportRepeat", why);
    }
    // Until tasks carry alarms of their own.
    if (icalcomponent_get_first_component(todo, ICAL_VALARM_COMPONENT))
        remarks.add("ImportAlarm");

    // field() may have added a reason twice.
    Remarks once{remarks.task, {}};
    for (const IcsImport::Remark &r : remarks.list)
        once.add(r.reason, r.detail);
    result.changed.insert(result.changed.end(), once.list.begin(), once.list.end());
    result.tasks.push_back(row);
    QString uidText = QString::fromUtf8(uid ? uid : "").trimmed();
    // The rule lives with an identity: a repeating task without a UID gets one.
    if (uidText.isEmpty() && !rule.isEmpty())
        uidText = TaskIdentities::newUid();
    result.uids.push_back(uidText);
    result.rules.push_back(rule);
}

// The calendars of a parse: the root, or the VCALENDARs under libical's XROOT.
std::vector<icalcomponent *> calendarsOf(icalcomponent *root)
{
    if (icalcomponent_isa(root) == ICAL_VCALENDAR_COMPONENT)
        return {root};
    std::vector<icalcomponent *> out;
    if (icalcomponent_isa(root) != ICAL_XROOT_COMPONENT)
        return out;
    for (icalcomponent *c = icalcomponent_get_first_component(root, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(root, ICAL_ANY_COMPONENT)) {
        if (icalcomponent_isa(c) != ICAL_VCALENDAR_COMPONENT)
            return {};
        out.push_back(c);
    }
    return out;
}

void refuse(IcsImport::Parsed &result, const char *reason, const QString &detail)
{
    result = IcsImport::Parsed{};
    result.refusal = {QString(), reason, detail};
}

} // namespace

namespace IcsImport {

Parsed parse(const QByteArray &text, const DateFormat &dates, const QDate &today,
             IcsImportScan::Progress *progress)
{
    Parsed result;
    const IcsImportScan::Scan scan = IcsImportScan::scan(text);
    if (scan.refusal) {
        refuse(result, scan.refusal, scan.detail);
        return result;
    }
    icalerror_clear_errno();
    icalcomponent *root = IcsImportScan::parse(text, progress);
    if (progress && progress->cancel.load()) {
        result.cancelled = true;
        return result;
    }
    if (!root) {
        refuse(result, "ImportReason",
               icalerrno != ICAL_NO_ERROR ? QString::fromUtf8(icalerror_strerror(icalerrno))
                                          : QStringLiteral("No iCalendar data found"));
        return result;
    }
    const std::vector<icalcomponent *> calendars = calendarsOf(root);
    if (const QString error = IcsImportScan::firstError(root); !error.isEmpty())
        refuse(result, "ImportReason", error);
    else if (calendars.empty())
        refuse(result, "ImportReason", QStringLiteral("No VCALENDAR component found"));
    if (result.refused()) {
        IcsImportScan::freeTree(root);
        return result;
    }
    const Context ctx{dates, today, scan};
    qint64 zoneBudget = IcsImportZones::Budget;
    int ordinal = 0;
    bool events = false;
    for (icalcomponent *calendar : calendars) {
        const IcsImportZones zones(calendar, today.year(), zoneBudget);
        for (icalcomponent *todo =
                 icalcomponent_get_first_component(calendar, ICAL_VTODO_COMPONENT);
             todo; todo = icalcomponent_get_next_component(calendar, ICAL_VTODO_COMPONENT)) {
            readTodo(todo, ordinal++, zones, ctx, result);
            if (progress && scan.todos > 0)
                progress->permille.store(800 + 200 * std::min(ordinal, scan.todos) / scan.todos);
        }
        events = events || icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
    }
    result.onlyEvents = ordinal == 0 && events;
    IcsImportScan::freeTree(root);
    return result;
}

Parsed parseFile(const QString &path, const DateFormat &dates, const QDate &today,
                 IcsImportScan::Progress *progress)
{
    Parsed result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        refuse(result, "ImportReason", StoreError::cannotOpen(path, file.errorString()).message());
        return result;
    }
    // One byte past the limit is enough to know.
    const QByteArray text = file.read(IcsImportScan::MaxFileBytes + 1);
    return parse(text, dates, today, progress);
}

void store(Parsed &result, TaskList &tasks, Settings &settings)
{
    if (result.refused() || result.cancelled || result.tasks.empty())
        return;
    QObject listening;
    QObject::connect(&tasks, &TaskList::damaged, &listening,
                     [&result](const QString &message) { result.notices << message; });
    // Loaded only now: a load creates a missing task file, and a refused file
    // must leave the folder as it was.
    if (!tasks.loaded())
        tasks.load(tasks.filter());
    keepUids(result, tasks);
    if (result.tasks.empty())
        return;
    CategoryList categories(settings);
    const QStringList listed = categories.names();
    QSet<QString> known(listed.begin(), listed.end());
    QStringList added;
    for (const TaskRow &task : result.tasks) {
        const QString &category = task[Col::Category];
        if (!category.isEmpty() && !known.contains(category)) {
            known.insert(category);
            added << category;
        }
    }
    // The names are written while the tasks' append can still be taken back, so
    // that no imported task lacks its category in the list.
    tasks.addAll(result.tasks, [&] { categories.add(added); });
    for (const QString &name : added)
        tasks.tellCategoryAdded(name);
}

Parsed importFile(const QString &path, TaskList &tasks, Settings &settings, const DateFormat &dates,
                  const Clock &clock)
{
    Parsed result = parseFile(path, dates, clock.today());
    store(result, tasks, settings);
    return result;
}

} // namespace IcsImport
