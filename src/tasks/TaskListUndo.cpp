// Undo: the history of a run's changes, taken back one at a time where each
// change left its records, and kept true as records move.
#include "TaskList.h"

#include "CategoryList.h"
#include "IdentityMoves.h"
#include "store/StoreError.h"
#include "store/TaskIdentities.h"
#include "store/TaskRecord.h"
#include "store/Win1252.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSet>
#include <thread>

namespace {

StoreError refusal(const QString &path)
{
    return StoreError(QStringLiteral("This change can no longer be undone: a task it changed is "
                                     "no longer in the file \"%1\".")
                          .arg(path));
}

// A record's place, for telling two references to one record apart.
qint64 placeKey(bool inArchive, qint64 offset)
{
    return inArchive ? -offset - 2 : offset;
}

} // namespace

void TaskList::record(UndoStep step)
{
    tellIdentities(step, false);
    m_undo.push_back(std::move(step));
    emit undoChanged();
}

void TaskList::tellIdentities(const UndoStep &step, bool undone)
{
    if (!m_identities)
        return;
    try {
        // Only the records the category delete changed, a small part of a large
        // file; they come in file order, so the reads only go forward. A list
        // never synced has no identity to follow: nothing is read.
        QList<QByteArray> clearedTexts;
        if (!step.cleared.isEmpty() && !m_identities->isEmpty()) {
            QFile file(m_dataPath);
            if (file.open(QIODevice::ReadOnly)) {
                clearedTexts.reserve(step.cleared.size());
                for (const TaskDataFile::ClearedField &c : step.cleared)
                    clearedTexts.append(file.seek(c.offset + 4) ? file.read(c.textLength)
                                                                : QByteArray());
            }
        }
        m_identities->moved(IdentityMoves::of(step, undone, clearedTexts));
        if (undone && step.ruleBefore)
            m_identities->setRule(TaskIdentities::Place::Data, step.toAppend.front().text,
                                  *step.ruleBefore);
    } catch (const StoreError &) {
        // The task itself is written; a task whose identity was not followed is
        // only a new task to the next sync, and its old identity a deleted one.
    }
}

void TaskList::forgetUndo()
{
    m_undo.clear();
    emit undoChanged();
}

void TaskList::undo()
{
    requireWritable();
    if (m_undo.empty())
        return;
    // Someone else wrote the task file (an older copy put over it): the window
    // shows what it now holds, whether or not the undo can be done.
    if (FileStamp::of(m_dataPath) != m_writtenStamp)
        refresh();
    const UndoStep step = m_undo.back();
    const auto drop = [this] {
        m_undo.pop_back();
        emit undoChanged();
    };
    QList<QPair<QByteArray, qint64>> appended;
    const QByteArray name = Win1252::encode(step.category);
    const QByteArray blanks(name.size(), ' ');
    bool namesBack = false; // in the loaded bytes already
    try {
        requireInPlace(step);
        {
            // Many names go back into the loaded bytes on the other core while
            // the file is written: the two touch different memory, and an undo
            // that fails reloads the table.
            constexpr qsizetype Many = 10000;
            std::thread renaming;
            const auto joined = qScopeGuard([&renaming] {
                if (renaming.joinable())
                    renaming.join();
            });
            if (step.cleared.size() > Many && makeInPlace() && renamesRowsInPlace()) {
                renaming = std::thread([&] { renameBytes(step.cleared, blanks, name); });
                namesBack = true;
            }
            appended = writeUndo(step);
        }
        tellIdentities(step, true);
    } catch (...) {
        drop();
        refresh();
        throw;
    }
    drop();
    // The table changes where the undo wrote, as the command changed it.
    if (makeInPlace()) {
        followUndo(step, appended, namesBack);
        noteFileWritten();
    } else {
        load(m_filter);
        applySort();
    }
    if (step.kind == UndoKind::CategoryDelete)
        putCategoryBack(step);
    emit changed();
}

void TaskList::followUndo(const UndoStep &step, const QList<QPair<QByteArray, qint64>> &appended,
                          bool namesBack)
{
    std::vector<qint64> blanked;
    for (const UndoStep::Record &r : step.toBlank)
        if (!r.inArchive)
            blanked.push_back(r.offset);
    dropRows(blanked);
    const QByteArray name = Win1252::encode(step.category);
    renameInTable(step.cleared, QByteArray(name.size(), ' '), name, namesBack);
    placeAll(appended);
}

void TaskList::requireInPlace(const UndoStep &step) const
{
    // Read through one opening of each file, before anything is written.
    QList<qint64> offsets[2];
    QList<QByteArray> expected[2];
    QList<bool> blank[2];
    QSet<qint64> places;
    const auto want = [&](bool inArchive, qint64 offset, const QByteArray &text, bool isBlank) {
        const int file = inArchive ? 1 : 0;
        // Two records of one step at one place: one of them is not there.
        if (offset < 0 || places.contains(placeKey(inArchive, offset)))
            throw refusal(fileOf(inArchive).path());
        places.insert(placeKey(inArchive, offset));
        offsets[file].append(offset);
        expected[file].append(text);
        blank[file].append(isBlank);
    };
    for (const UndoStep::Record &r : step.toBlank)
        want(r.inArchive, r.offset, r.text, false);
    for (const UndoStep::Record &r : step.toAppend)
        if (r.offset >= 0) // a blank compacted away can no longer be checked
            want(r.inArchive, r.offset, r.text, true);
    for (int file = 0; file < 2; ++file) {
        if (offsets[file].isEmpty())
            continue;
        const QList<std::optional<QByteArray>> found = fileOf(file == 1).readTexts(offsets[file]);
        for (qsizetype i = 0; i < found.size(); ++i) {
            const QByteArray &text = expected[file][i];
            const bool there =
                found[i] &&
                (blank[file][i]
                     ? found[i]->size() == text.size() && TaskRecord::isBlank(*found[i])
                     : !TaskRecord::isBlank(*found[i]) &&
                           UndoRecords::withoutOrder(*found[i]) == UndoRecords::withoutOrder(text));
            if (!there)
                throw refusal(fileOf(file == 1).path());
        }
    }
}

QList<QPair<QByteArray, qint64>> TaskList::writeUndo(const UndoStep &step)
{
    // A category's name goes back where it was blanked, checked record by record
    // first; a step that does so writes nothing else.
    if (!step.cleared.isEmpty()) {
        if (!dataFile().restoreCategory(step.category, step.cleared))
            throw refusal(m_dataPath);
        return {};
    }
    // Appends first, blanks after: a kill between them leaves a task twice, never
    // in neither file. A write that fails takes back what this undo wrote. The
    // blanks of a file go in one pass, however many (an import's thousands).
    QList<QByteArray> appends[2];
    for (const UndoStep::Record &r : step.toAppend)
        appends[r.inArchive ? 1 : 0].append(r.text);
    QList<qint64> blanks[2];
    QList<TaskDataFile::InPlaceChange> unblanks[2];
    for (const UndoStep::Record &r : step.toBlank) {
        blanks[r.inArchive ? 1 : 0].append(r.offset);
        unblanks[r.inArchive ? 1 : 0].append({r.offset, QByteArray(r.text.size(), ' '), r.text});
    }
    qint64 appendedAt[2] = {-1, -1};
    bool blanked[2] = {false, false};
    try {
        for (int file = 0; file < 2; ++file)
            if (!appends[file].isEmpty())
                appendedAt[file] = fileOf(file == 1).appendRecords(appends[file]);
        for (int file = 0; file < 2; ++file)
            if (!blanks[file].isEmpty()) {
                fileOf(file == 1).blankRecords(blanks[file]);
                blanked[file] = true;
            }
    } catch (...) {
        try {
            for (int file = 0; file < 2; ++file)
                if (blanked[file])
                    fileOf(file == 1).rewriteInPlace(unblanks[file]);
            for (int file = 0; file < 2; ++file) {
                if (appendedAt[file] < 0)
                    continue;
                // The last first: each is then the file's end, and is cut off.
                QList<qint64> at;
                qint64 pos = appendedAt[file];
                for (const QByteArray &text : appends[file]) {
                    at.append(pos);
                    pos += 4 + text.size();
                }
                for (qsizetype i = at.size() - 1; i >= 0; --i)
                    fileOf(file == 1).takeBackAppend(at[i], appends[file][i].size());
            }
        } catch (...) {
        }
        noteArchiveWritten();
        throw;
    }
    noteArchiveWritten();
    // The records appended again are where the older steps must now look for them.
    QHash<qint64, qint64> moved[2];
    QList<QPair<QByteArray, qint64>> appended;
    for (const UndoStep::Record &r : step.toAppend) {
        const int file = r.inArchive ? 1 : 0;
        moved[file].insert(r.offset, appendedAt[file]);
        if (!r.inArchive)
            appended.append({r.text, appendedAt[file]});
        appendedAt[file] += 4 + r.text.size();
    }
    for (int file = 0; file < 2; ++file)
        if (!moved[file].isEmpty())
            followMoves(file == 1, moved[file]);
    return appended;
}

void TaskList::followMoves(bool inArchive, const QHash<qint64, qint64> &moved)
{
    for (UndoStep &step : m_undo) {
        for (UndoStep::Record &r : step.toBlank)
            if (r.inArchive == inArchive)
                r.offset = moved.value(r.offset, r.offset);
        if (!inArchive)
            for (TaskDataFile::ClearedField &c : step.cleared)
                c.offset = moved.value(c.offset, c.offset);
    }
}

void TaskList::saveArchive(const TaskTable &archived)
{
    if (m_writesBlocked)
        return;
    std::vector<qint64> starts;
    fileOf(true).SaveAllTasks(archived, &starts);
    noteArchiveWritten();
    // The records now lie one after the other in the order shown. A blank that a
    // step left is gone: the steps that name it share a mark in its place (below
    // -1, never an offset), which an undo that appends its record again follows.
    QHash<qint64, qint64> moved;
    for (size_t k = 0; k < starts.size(); ++k)
        moved.insert(archived.recordOffset(int(k) + 1), starts[k]);
    const auto follow = [&](qint64 &offset) {
        if (offset < 0)
            return;
        auto it = moved.constFind(offset);
        if (it == moved.constEnd())
            it = moved.insert(offset, --m_goneMark);
        offset = *it;
    };
    for (UndoStep &step : m_undo) {
        for (UndoStep::Record &r : step.toBlank)
            if (r.inArchive)
                follow(r.offset);
        for (UndoStep::Record &r : step.toAppend)
            if (r.inArchive)
                follow(r.offset);
    }
}

void TaskList::putCategoryBack(const UndoStep &step)
{
    if (!m_settings || step.categoryKey < 1)
        return;
    // In its old place among the names stored now, in one write.
    CategoryList(*m_settings).insert(step.categoryKey, step.category);
    emit categoriesRestored();
}
