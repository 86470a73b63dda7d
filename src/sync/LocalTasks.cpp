#include "LocalTasks.h"

#include "store/StoreError.h"
#include "store/TaskRecord.h"

#include <vector>

namespace {

using Place = TaskIdentities::Place;

QList<LocalTasks::Record> recordsOf(const QByteArray &bytes)
{
    QList<LocalTasks::Record> out;
    qint64 pos = 0;
    while (const std::optional<QByteArray> text = TaskRecord::textAt(bytes, pos)) {
        if (!TaskRecord::isBlank(*text)) {
            const QByteArray copy(text->constData(), text->size());
            out.append({pos, copy, TaskIdentities::identityKey(copy)});
        }
        pos += 4 + text->size();
    }
    return out;
}

// Ties each identity of the place to a record with its key, first come first
// served (identities in UID order, records in file order); the records left over.
QList<LocalTasks::Record> tie(const QList<LocalTasks::Record> &records,
                              const TaskIdentities &identities, Place place,
                              QHash<QString, LocalTasks::Record> &tied, QStringList &untied)
{
    // The records of each key in file order, as a chain: the first free one of a
    // key, and after each the next with the same key (-1: none). A list per key
    // would cost an allocation per task at every sync.
    QHash<QByteArray, qsizetype> firstFree;
    firstFree.reserve(records.size());
    std::vector<qsizetype> next(size_t(records.size()), -1);
    for (qsizetype i = records.size() - 1; i >= 0; --i) {
        const auto first = firstFree.constFind(records[i].key);
        next[size_t(i)] = first == firstFree.cend() ? -1 : *first;
        firstFree.insert(records[i].key, i);
    }
    QList<bool> taken(records.size(), false);
    for (const auto &[uid, identity] : identities.identities()) {
        if (identity.place != place)
            continue;
        const auto free = firstFree.find(identity.key);
        if (identity.key.isEmpty() || free == firstFree.end() || *free < 0) {
            untied.append(uid);
            continue;
        }
        const qsizetype i = *free;
        *free = next[size_t(i)];
        taken[i] = true;
        tied.insert(uid, records[i]);
    }
    QList<LocalTasks::Record> left;
    for (int i = 0; i < records.size(); ++i)
        if (!taken[i])
            left.append(records[i]);
    return left;
}

} // namespace

LocalTasks LocalTasks::of(const QByteArray &data, const QByteArray &archive,
                          const TaskIdentities &identities)
{
    LocalTasks local;
    QStringList untied;
    local.strays = tie(recordsOf(data), identities, Place::Data, local.data, untied);
    tie(recordsOf(archive), identities, Place::Archive, local.archive, untied);
    const auto strayWithKey = [&local](const QByteArray &key) {
        return std::find_if(local.strays.begin(), local.strays.end(),
                            [&](const Record &r) { return !key.isEmpty() && r.key == key; });
    };
    for (auto it = local.data.begin(); it != local.data.end(); ++it) {
        const TaskIdentities::Identity &identity = *identities.find(it.key());
        if (identity.pendingKey.isEmpty() || identity.pendingKey == it->key)
            continue;
        const auto written = strayWithKey(identity.pendingKey);
        if (written == local.strays.end())
            continue; // the write had not begun
        local.leftovers.append(*it);
        *it = *written;
        local.strays.erase(written);
    }
    for (const QString &uid : untied) {
        const TaskIdentities::Identity &identity = *identities.find(uid);
        const auto meant = strayWithKey(identity.pendingKey);
        if (meant == local.strays.end()) {
            local.gone.append(uid);
            continue;
        }
        local.data.insert(uid, *meant);
        local.strays.erase(meant);
    }
    return local;
}
