// The import's UIDs: a task the list holds already under an imported UID is
// updated in place, so importing a file again, or an export of the list, doubles
// nothing; every other imported task keeps its UID.
#include "IcsImport.h"

#include "store/DateFormat.h"
#include "store/TaskDataFile.h"
#include "store/TaskFields.h"
#include "store/TaskIdentities.h"
#include "store/TaskRecord.h"
#include "store/TaskTable.h"
#include "tasks/TaskList.h"

#include <QHash>
#include <QSet>

namespace {

// The hash of an exported UID without an identity: "<hash>@nudgery", or
// "<hash>-<n>@nudgery" for the n-th identical task.
QString exportedHash(const QString &uid)
{
    if (!uid.endsWith(QLatin1String("@nudgery")))
        return {};
    return uid.left(40);
}

} // namespace

namespace IcsImport {

void keepUids(Parsed &result, TaskList &tasks)
{
    TaskIdentities *identities = tasks.identities();
    if (!identities)
        return;
    TaskTable stored;
    tasks.dataFile().LoadTasks(stored, AllItems);
    // Each record here by its UID, or by the hash an export gives one without.
    QHash<QString, qint64> byUid;
    QHash<QString, QList<qint64>> byHash;
    TaskIdentities::Claims claims(*identities, TaskIdentities::Place::Data);
    for (int r = 1; r <= stored.taskCount(); ++r) {
        const QString uid = claims.take(stored.recordText(r));
        if (!uid.isEmpty())
            byUid.insert(uid, stored.recordOffset(r));
        else
            byHash[TaskIdentities::contentHash(stored.row(r))].append(stored.recordOffset(r));
    }
    const DateFormat anyFormat;
    Parsed kept = result;
    kept.tasks.clear();
    kept.uids.clear();
    kept.rules.clear();
    QList<TaskIdentities::Identity> given;
    QSet<QString> updated; // one task a UID
    for (size_t k = 0; k < result.tasks.size(); ++k) {
        const TaskRow &task = result.tasks[k];
        const QString &uid = result.uids[k];
        const QByteArray rule = k < result.rules.size() ? result.rules[k] : QByteArray();
        qint64 offset = byUid.value(uid, -1);
        const bool hadIdentity = offset >= 0;
        if (!hadIdentity && !uid.isEmpty()) {
            QList<qint64> &same = byHash[exportedHash(uid)];
            if (!exportedHash(uid).isEmpty() && !same.isEmpty())
                offset = same.takeFirst();
        }
        if (uid.isEmpty() || offset < 0 || updated.contains(uid)) {
            kept.tasks.push_back(task);
            kept.uids.push_back(uid);
            kept.rules.push_back(rule);
            continue;
        }
        updated.insert(uid);
        QByteArray text = tasks.dataFile().readRecord(offset).mid(4);
        TaskRow now = TaskRecord::split(text);
        if (!TaskFields::sameTask(now, task, anyFormat, QDate::currentDate()))
            text = tasks.replaceRecord(offset, task);
        if (!hadIdentity) {
            TaskIdentities::Identity i;
            i.uid = uid;
            i.key = TaskIdentities::identityKey(text);
            i.rule = rule;
            given.append(i);
        } else {
            identities->setRule(TaskIdentities::Place::Data, text, rule);
        }
        ++kept.updated;
    }
    // The new tasks' UIDs before they are written: an append a kill cuts short
    // leaves only an identity without its task, which a sync drops.
    QSet<QString> seen;
    for (size_t k = 0; k < kept.tasks.size(); ++k) {
        const QString &uid = kept.uids[k];
        if (uid.isEmpty() || seen.contains(uid) || updated.contains(uid))
            continue;
        seen.insert(uid);
        TaskIdentities::Identity i;
        i.uid = uid;
        i.key = TaskIdentities::identityKey(TaskRecord::join(kept.tasks[k]));
        i.rule = kept.rules[k];
        given.append(i);
    }
    identities->put(given);
    result = std::move(kept);
}

} // namespace IcsImport
