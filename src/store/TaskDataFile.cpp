#include "TaskDataFile.h"
#include "TaskDataFileWrites.h"

#include "AppendJournal.h"
#include "DamagedFiles.h"
#include "FirstWriteOfDay.h"
#include "SaveFile.h"
#include "StoreError.h"
#include "TaskRecord.h"
#include "WholeFile.h"
#include "Win1252.h"

#include <QFile>

#include <algorithm>
#include <cstring>
#include <vector>

using namespace TaskDataFileWrites;

namespace {

void truncateTo(QFile &f, qint64 size)
{
    f.resize(size);
}

QString noRecordMessage(const QString &path, qint64 offset)
{
    return QStringLiteral("There is no task record at position %1 of \"%2\".")
        .arg(offset)
        .arg(path);
}

} // namespace

QString TaskDataFile::damagedMessage(const LoadResult &result) const
{
    if (!result.damaged)
        return {};
    if (result.damagedBackup.isEmpty())
        return QStringLiteral(
                   "The file \"%1\" is damaged: only the tasks before the damage could be "
                   "read, and no backup copy could be made. Nothing is written to it until "
                   "there is room for one.")
            .arg(m_path);
    return QStringLiteral("The file \"%1\" was damaged. Every task before the damage was kept; the "
                          "original file was saved as \"%2\".")
        .arg(m_path, result.damagedBackup);
}

qint64 TaskDataFile::orderOffset(const QString &orderText)
{
    return TaskRecord::orderOffset(orderText);
}

TaskDataFile::LoadResult TaskDataFile::LoadTasks(TaskTable &table, const QString &filter) const
{
    LoadResult result;
    table.clearTasks();
    QFile f(m_path);
    if (!f.exists()) {
        result.fileExisted = false;
        if (!f.open(QIODevice::WriteOnly))
            throw StoreError::cannotCreate(m_path, f.errorString());
        return result;
    }
    if (!f.open(QIODevice::ReadOnly))
        throw StoreError::cannotOpen(m_path, f.errorString());
    QByteArray bytes = readWholeFile(f); // the table keeps these for the run
    f.close();

    const bool all = filter == AllItems;
    // Categories compare as bytes: the code page maps characters one to one, and a
    // filter it cannot hold matches no record.
    const bool filterStorable = Win1252::firstUnencodable(filter) < 0;
    const QByteArray filterBytes = Win1252::encode(filter);
    qint64 pos = 0;
    const auto next = [&](const QByteArray &kept, TaskTable::RawRow &row) {
        while (pos < kept.size()) {
            const std::optional<QByteArray> text = TaskRecord::textAt(kept, pos);
            if (!text) {
                result.damaged = true;
                return false;
            }
            const qint64 at = pos;
            pos += 4 + text->size();
            const auto holdsFilter = [&] {
                return filterStorable && TaskRecord::categoryNamed(*text, filterBytes);
            };
            if (!TaskRecord::isBlank(*text) && (all || holdsFilter())) {
                row = {at, qint32(at + 4), qint32(text->size())};
                return true;
            }
        }
        return false;
    };
    table.setLoadedTasks(std::move(bytes), next);
    try {
        if (result.damaged) {
            beforeChange(pos, -1); // the damaged tail is cut off
            const DamagedFiles::Found found = m_damaged.foundDamaged(m_path, pos);
            result.damagedBackup = found.backup;
            result.tellUser = found.tellUser;
        } else {
            result.damagedBackup = m_damaged.foundSound(m_path);
            result.damaged = result.tellUser = !result.damagedBackup.isEmpty();
        }
    } catch (...) {
        table.clearTasks(); // as a load that stopped before reading any task
        throw;
    }
    return result;
}

void TaskDataFile::AppendTask(TaskTable &table, int row) const
{
    TaskRow task = table.row(row);
    appendRow(task);
    table.setCell(Col::Order, row, task[Col::Order]);
}

void TaskDataFile::beforeWrite() const
{
    if (m_firstWrite)
        m_firstWrite->beforeWrite();
}

QByteArray TaskDataFile::appendRow(TaskRow &task) const
{
    beforeWrite();
    requireBackedUp(m_path);
    QFile f(m_path);
    openExisting(f, InPlace);
    const qint64 end = f.size();
    const QString oldOrder = task[Col::Order];
    task[Col::Order] = QString::number(end);
    const QByteArray text = TaskRecord::join(task);
    const QByteArray record = TaskRecord::lengthPrefix(text.size()) + text;
    if (!f.seek(end) || f.write(record) != record.size() || !f.flush()) {
        truncateTo(f, end);
        task[Col::Order] = oldOrder;
        throw StoreError::unableToWrite(m_path);
    }
    return text;
}

void TaskDataFile::requireBackedUp(const QString &path) const
{
    // A damaged file cut back now loses its tail: the day's copy takes it first.
    if (m_firstWrite && m_damaged.awaitsCut(path))
        m_firstWrite->beforeChange(path, 0, -1);
    m_damaged.requireBackedUp(path);
}

void TaskDataFile::beforeChange(qint64 offset, qint64 length) const
{
    if (m_firstWrite)
        m_firstWrite->beforeChange(m_path, offset, length);
}

void TaskDataFile::BlankTask(qint64 offset) const
{
    beforeWrite();
    QFile f(m_path);
    openExisting(f, InPlace);
    const qint32 length = recordLengthAt(f, offset);
    const QByteArray blanks(length, ' ');
    beforeChange(offset + 4, length);
    if (!f.seek(offset + 4) || f.write(blanks) != blanks.size() || !f.flush())
        throw StoreError::unableToWrite(m_path);
}

void TaskDataFile::blankRecords(const QList<qint64> &offsets) const
{
    beforeWrite();
    QFile f(m_path);
    openExisting(f, InPlace);
    // Every record is found before the first is blanked.
    QList<QByteArray> texts;
    texts.reserve(offsets.size());
    for (const qint64 offset : offsets) {
        const qint32 length = recordLengthAt(f, offset);
        texts.append(f.read(length));
        if (texts.back().size() != length)
            throw StoreError(noRecordMessage(m_path, offset));
    }
    for (qsizetype i = 0; i < offsets.size(); ++i)
        beforeChange(offsets[i] + 4, texts[i].size());
    qsizetype done = 0;
    for (; done < offsets.size(); ++done) {
        const QByteArray blanks(texts[done].size(), ' ');
        if (!f.seek(offsets[done] + 4) || f.write(blanks) != blanks.size())
            break;
    }
    if (done == offsets.size() && f.flush())
        return;
    // Those blanked already get their text back, as far as the file lets itself
    // be written.
    for (qsizetype i = 0; i < done && f.seek(offsets[i] + 4); ++i)
        f.write(texts[i]);
    f.flush();
    throw StoreError::unableToWrite(m_path);
}

void TaskDataFile::SaveAllTasks(const TaskTable &table, std::vector<qint64> *starts,
                                bool midnightForBlankHours) const
{
    writeAll(
        table.isEmpty() ? 0 : table.rowCount() - 1,
        [&](int k, QByteArray &piece) { table.appendRecord(k + 1, piece, midnightForBlankHours); },
        starts);
}

void TaskDataFile::ReplaceTask(TaskTable &table, int row, qint64 oldOffset) const
{
    TaskRow task = table.row(row);
    replaceRow(task, oldOffset);
    table.setCell(Col::Order, row, task[Col::Order]);
}

QByteArray TaskDataFile::replaceRow(TaskRow &task, qint64 oldOffset) const
{
    // The old record must be where the row says before anything is written: a
    // stale offset could otherwise name the record about to be appended; a blanked
    // one is a task that has left the file (archived, deleted) and must not come back.
    if (TaskRecord::isBlank(readRecord(oldOffset).mid(4)))
        throw StoreError(
            QStringLiteral("This task is no longer in the file \"%1\" (it was archived or "
                           "deleted): it was not changed.")
                .arg(m_path));
    const QByteArray text = appendRow(task);
    try {
        BlankTask(oldOffset);
    } catch (...) {
        // Take the new version out again, so that the file matches the unchanged row
        // and a retry adds no third copy; should that fail too, both stay.
        const QString appended = task[Col::Order];
        task[Col::Order] = QString::number(oldOffset);
        try {
            BlankTask(TaskRecord::orderOffset(appended));
        } catch (...) {
        }
        throw;
    }
    return text;
}

QByteArray TaskDataFile::readRecord(qint64 offset) const
{
    QFile f(m_path);
    openExisting(f, QIODevice::ReadOnly);
    const qint32 length = recordLengthAt(f, offset);
    f.seek(offset);
    return f.read(4 + qint64(length));
}

void TaskDataFile::openExisting(QFile &f, QIODevice::OpenMode mode) const
{
    if (!f.exists())
        throw StoreError::cannotOpen(m_path, QStringLiteral("The file does not exist."));
    if (!f.open(mode))
        throw StoreError::cannotOpen(m_path, f.errorString());
}

qint32 TaskDataFile::recordLengthAt(QFile &f, qint64 offset) const
{
    // An offset comes from a row's order; it must still name a whole record.
    const qint64 size = f.size();
    if (offset < 0 || offset + 4 > size || !f.seek(offset))
        throw StoreError(noRecordMessage(m_path, offset));
    const QByteArray prefix = f.read(4);
    const qint32 length = prefix.size() == 4 ? TaskRecord::readLength(prefix.constData()) : -1;
    if (length < 0 || offset + 4 + length > size)
        throw StoreError(noRecordMessage(m_path, offset));
    return length;
}

TaskDataFile::Moved TaskDataFile::moveRecordTo(qint64 offset, const QString &targetPath) const
{
    const QByteArray record = readRecord(offset);
    beforeWrite();
    requireBackedUp(targetPath);
    QFile target(targetPath);
    if (!target.open(InPlace))
        throw StoreError::cannotOpen(targetPath, target.errorString());
    const qint64 end = target.size();
    if (!target.seek(end) || target.write(record) != record.size() || !target.flush()) {
        truncateTo(target, end);
        throw StoreError::unableToWrite(targetPath);
    }
    target.close();
    try {
        BlankTask(offset);
    } catch (...) {
        // One step: a record that cannot leave here does not stay there either.
        try {
            TaskDataFile(targetPath, m_damaged, m_firstWrite)
                .takeBackAppend(end, record.size() - 4);
        } catch (...) {
        }
        throw;
    }
    return {end, record.mid(4)};
}

void TaskDataFile::writeRecords(const QList<QByteArray> &texts) const
{
    writeAll(int(texts.size()), [&texts](int k, QByteArray &piece) {
        piece.append(TaskRecord::lengthPrefix(texts[k].size())).append(texts[k]);
    });
}

void TaskDataFile::writeAll(int count, const std::function<void(int, QByteArray &)> &appendRecord,
                            std::vector<qint64> *starts) const
{
    beforeWrite();
    requireBackedUp(m_path);
    beforeChange(0, -1);
    // A piece of about a megabyte: a large file is never held twice in memory.
    constexpr qsizetype Piece = 1 << 20;
    const auto write = [&](QIODevice &out) {
        QByteArray piece;
        piece.reserve(Piece + 4096);
        qint64 written = 0;
        if (starts)
            starts->assign(size_t(count), 0);
        for (int k = 0; k < count; ++k) {
            if (starts)
                (*starts)[size_t(k)] = written + piece.size();
            appendRecord(k, piece);
            if (piece.size() >= Piece) {
                if (out.write(piece) != piece.size())
                    return false;
                written += piece.size();
                piece.resize(0);
            }
        }
        return out.write(piece) == piece.size();
    };
    QString reason;
    if (!SaveFile::replace(m_path, write, &reason))
        throw StoreError::cannotCreate(m_path, reason);
}

qint64 TaskDataFile::appendRecords(const QList<QByteArray> &texts) const
{
    beforeWrite();
    requireBackedUp(m_path);
    QFile f(m_path);
    if (!f.open(InPlace))
        throw StoreError::cannotOpen(m_path, f.errorString());
    const qint64 end = f.size();
    QByteArray buffer;
    for (const QByteArray &text : texts)
        buffer.append(TaskRecord::lengthPrefix(text.size())).append(text);
    if (!f.seek(end) || f.write(buffer) != buffer.size() || !f.flush()) {
        truncateTo(f, end);
        throw StoreError::unableToWrite(m_path);
    }
    return end;
}

QList<std::optional<QByteArray>> TaskDataFile::readTexts(const QList<qint64> &offsets) const
{
    QList<std::optional<QByteArray>> texts;
    QFile f(m_path);
    if (!f.open(QIODevice::ReadOnly)) {
        texts.resize(offsets.size());
        return texts;
    }
    for (qint64 offset : offsets) {
        try {
            const qint32 length = recordLengthAt(f, offset);
            texts.append(f.read(length));
        } catch (const StoreError &) {
            texts.append(std::nullopt);
        }
    }
    return texts;
}

void TaskDataFile::rewriteInPlace(const QList<InPlaceChange> &records) const
{
    if (records.isEmpty())
        return;
    beforeWrite();
    requireBackedUp(m_path);
    QFile f(m_path);
    openExisting(f, InPlace);
    for (const InPlaceChange &r : records) {
        const qint32 length = recordLengthAt(f, r.offset);
        if (length != r.now.size() || r.then.size() != r.now.size() || f.read(length) != r.now)
            throw StoreError(noRecordMessage(m_path, r.offset));
    }
    for (const InPlaceChange &r : records)
        beforeChange(r.offset + 4, r.then.size());
    for (const InPlaceChange &r : records) {
        if (!f.seek(r.offset + 4) || f.write(r.then) != r.then.size() || !f.flush())
            throw StoreError::unableToWrite(m_path);
    }
}

void TaskDataFile::takeBackAppend(qint64 offset, qint64 textLength) const
{
    QFile f(m_path);
    openExisting(f, InPlace);
    if (f.size() == offset + 4 + textLength) {
        beforeChange(offset, -1);
        if (f.resize(offset))
            return;
    }
    f.close();
    BlankTask(offset);
}

TaskDataFile::LoadResult TaskDataFile::checkTail() const
{
    TaskTable scratch;
    return LoadTasks(scratch, AllItems);
}

QList<QByteArray> TaskDataFile::appendRowsAtOnce(std::vector<TaskRow> &rows,
                                                 const std::function<void()> &alongside) const
{
    beforeWrite();
    requireBackedUp(m_path);
    const AppendJournal journal(m_path);
    // A marker left by this run's own failed append: its bytes are gone already.
    if (journal.recover() == AppendJournal::Recovery::Failed)
        throw StoreError::unableToWrite(m_path);
    QFile f(m_path);
    openExisting(f, InPlace);
    const qint64 end = f.size();
    QList<QByteArray> texts;
    texts.reserve(qsizetype(rows.size()));
    QByteArray buffer;
    for (TaskRow &row : rows) {
        row[Col::Order] = QString::number(end + buffer.size());
        texts.append(TaskRecord::join(row));
        buffer.append(TaskRecord::lengthPrefix(texts.back().size())).append(texts.back());
    }
    journal.begin(end, buffer);
    const auto takeBack = [&] {
        truncateTo(f, end);
        journal.end();
    };
    if (!f.seek(end) || f.write(buffer) != buffer.size() || !f.flush()) {
        takeBack();
        throw StoreError::unableToWrite(m_path);
    }
    try {
        if (alongside)
            alongside();
    } catch (...) {
        takeBack();
        throw;
    }
    if (!journal.end()) {
        takeBack();
        throw StoreError::unableToWrite(m_path);
    }
    return texts;
}
