#include "IcsExport.h"

#include "TodoProperties.h"
#include "store/Clock.h"
#include "store/DateFormat.h"
#include "store/SaveFile.h"
#include "store/StoreError.h"
#include "store/TaskFields.h"
#include "store/TaskIdentities.h"
#include "store/TaskRecord.h"
#include "store/TaskTable.h"

#include <QFile>

#include <QHash>

namespace IcsExport {

QByteArray calendar(const TaskTable &table, const DateFormat &dates, const QDate &today,
                    const QDateTime &stamp, const TaskIdentities *identities)
{
    std::optional<TaskIdentities::Claims> claims;
    if (identities)
        claims.emplace(*identities, TaskIdentities::Place::Data);
    icalcomponent *cal =
        icalcomponent_vanew(ICAL_VCALENDAR_COMPONENT, icalproperty_new_version("2.0"),
                            icalproperty_new_prodid("-//Nudgery//Nudgery task list//EN"), nullptr);
    const icaltimetype dtstamp = TodoProperties::utc(stamp);
    QHash<QByteArray, int> seen; // identical tasks get numbered UIDs
    for (int r = 1; r <= table.taskCount(); ++r) {
        const TaskRow row = table.row(r);
        QByteArray uid = claims ? claims->take(table.recordText(r)).toUtf8() : QByteArray();
        const TaskIdentities::Identity *identity =
            uid.isEmpty() ? nullptr : identities->find(QString::fromUtf8(uid));
        if (uid.isEmpty()) {
            // Made from the content, not from the offset the order field holds.
            uid = TaskIdentities::contentHash(row).toLatin1();
            if (const int n = seen[uid]++; n > 0)
                uid += '-' + QByteArray::number(n + 1);
            uid += "@nudgery";
        }
        icalcomponent *todo = TodoProperties::newTodo(uid, row, dates, today, dtstamp);
        if (identity && !identity->rule.isEmpty()) {
            TodoProperties::writeRule(todo, identity->rule, TaskFields::dateOf(row, dates, today));
        }
        icalcomponent_add_component(cal, todo);
    }
    const QByteArray out = TodoProperties::text(cal);
    icalcomponent_free(cal);
    return out;
}

int exportFile(const QString &dataPath, const QString &identitiesPath, const QString &target,
               const DateFormat &dates, const Clock &clock, QString *error)
{
    TaskIdentities identities(identitiesPath);
    try {
        if (!identitiesPath.isEmpty())
            identities.load(true);
    } catch (const StoreError &e) {
        *error = e.message();
        return -1;
    }
    QFile data(dataPath);
    QByteArray bytes;
    if (data.exists()) {
        if (!data.open(QIODevice::ReadOnly)) {
            *error = StoreError::cannotOpen(dataPath, data.errorString()).message();
            return -1;
        }
        bytes = data.readAll();
    }
    TaskTable table;
    table.clearTasks();
    qint64 pos = 0;
    while (const std::optional<QByteArray> text = TaskRecord::textAt(bytes, pos)) {
        if (!TaskRecord::isBlank(*text)) {
            const int row = table.isEmpty() ? 1 : table.rowCount();
            table.setRowCount(std::max(table.rowCount(), row + 1));
            table.setRow(row, TaskRecord::split(*text));
        }
        pos += 4 + text->size();
    }
    QString reason;
    const QByteArray text = calendar(table, dates, clock.today(), clock.now(), &identities);
    if (!SaveFile::replace(target, text, &reason)) {
        *error = StoreError::cannotCreate(target, reason).message();
        return -1;
    }
    return table.taskCount();
}

} // namespace IcsExport
