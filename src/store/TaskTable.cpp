#include "TaskTable.h"

#include "FindBytes.h"
#include "LargePages.h"
#include "TaskRecord.h"
#include "Win1252.h"

#include <QHash>
#include <QScopedValueRollback>

#include <cstring>

TaskTable::TaskTable(QObject *parent) : QAbstractTableModel(parent), m_rows(2)
{
    // Every change of the rows but a sort's own tells one of these.
    connect(this, &QAbstractItemModel::dataChanged, this, &TaskTable::forgetOrder);
    connect(this, &QAbstractItemModel::rowsInserted, this, &TaskTable::forgetOrder);
    connect(this, &QAbstractItemModel::rowsRemoved, this, &TaskTable::forgetOrder);
    connect(this, &QAbstractItemModel::modelReset, this, &TaskTable::forgetOrder);
}

void TaskTable::forgetOrder()
{
    m_runs = SortRuns();
    if (!m_settingAside)
        m_aside.reset();
}

void TaskTable::setAside(const std::function<bool(int row)> &keep)
{
    const QScopedValueRollback<bool> own(m_settingAside, true);
    beginResetModel();
    auto aside = std::make_unique<Aside>();
    reserveLarge(aside->rows, m_rows.size());
    reserveLarge(aside->places, m_rows.size());
    size_t kept = 1;
    const bool wasEmpty = isEmpty();
    for (size_t r = 1; r < m_rows.size() && !wasEmpty; ++r) {
        if (keep(int(r))) {
            m_rows[kept++] = std::move(m_rows[r]);
            continue;
        }
        aside->rows.push_back(std::move(m_rows[r]));
        aside->places.push_back(int(r));
    }
    if (!wasEmpty) {
        m_rows.resize(kept);
        aside->noneKept = kept == 1;
        if (aside->noneKept)
            m_rows.emplace_back();
    }
    m_aside = std::move(aside);
    endResetModel();
}

bool TaskTable::bringBack()
{
    if (!m_aside)
        return false;
    const QScopedValueRollback<bool> own(m_settingAside, true);
    beginResetModel();
    const std::unique_ptr<Aside> aside = std::move(m_aside);
    if (aside->noneKept)
        m_rows.resize(1);
    // From the last place back: a kept row only ever moves down.
    size_t kept = m_rows.size() - 1;
    m_rows.resize(m_rows.size() + aside->rows.size());
    size_t back = aside->rows.size();
    for (size_t place = m_rows.size() - 1; place >= 1 && place > kept; --place) {
        if (back > 0 && size_t(aside->places[back - 1]) == place)
            m_rows[place] = std::move(aside->rows[--back]);
        else
            m_rows[place] = std::move(m_rows[kept--]);
    }
    endResetModel();
    return true;
}

int TaskTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rowCount();
}

int TaskTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Col::Count;
}

QVariant TaskTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return cell(index.column(), index.row());
}

QByteArray TaskTable::rawText(const Row &row) const
{
    return QByteArray::fromRawData(m_bytes.constData() + row.raw.textStart, row.raw.textLength);
}

QString TaskTable::cell(int col, int row) const
{
    const Row &r = m_rows[size_t(row)];
    if (r.cells)
        return (*r.cells)[size_t(col)];
    if (r.raw.textLength == 0)
        return QString();
    if (col == Col::Order)
        return QString::number(r.raw.offset);
    return TaskRecord::field(rawText(r), col);
}

std::optional<QByteArray> TaskTable::cellBytes(int col, int row) const
{
    const Row &r = m_rows[size_t(row)];
    if (!r.cells && r.raw.textLength > 0) {
        if (col == Col::Order)
            return QByteArray::number(r.raw.offset);
        if (std::optional<QByteArray> bytes = TaskRecord::fieldBytes(rawText(r), col))
            return bytes;
    }
    const QString text = cell(col, row);
    if (Win1252::firstUnencodable(text) >= 0)
        return std::nullopt;
    return Win1252::encode(text);
}

TaskRow TaskTable::row(int r) const
{
    const Row &stored = m_rows[size_t(r)];
    if (stored.cells)
        return *stored.cells;
    if (stored.raw.textLength == 0)
        return TaskRow();
    TaskRow cells = TaskRecord::split(rawText(stored));
    cells[Col::Order] = QString::number(stored.raw.offset);
    return cells;
}

qint64 TaskTable::offsetOrNone(const Row &row)
{
    if (!row.cells)
        return row.raw.textLength > 0 ? row.raw.offset : -1;
    bool isNumber = false;
    const qint64 offset = (*row.cells)[Col::Order].toLongLong(&isNumber);
    return isNumber ? offset : -1;
}

TaskRow &TaskTable::ownCells(int r)
{
    Row &stored = m_rows[size_t(r)];
    if (!stored.cells)
        stored.cells = std::make_unique<TaskRow>(row(r));
    return *stored.cells;
}

void TaskTable::setCell(int col, int row, const QString &text)
{
    if (cell(col, row) == text)
        return;
    ownCells(row)[size_t(col)] = text;
    const QModelIndex i = index(row, col);
    emit dataChanged(i, i);
}

void TaskTable::setRow(int r, const TaskRow &values)
{
    m_rows[size_t(r)].cells = std::make_unique<TaskRow>(values);
    emit dataChanged(index(r, 0), index(r, Col::Count - 1));
}

QByteArray TaskTable::recordText(int row) const
{
    const Row &r = m_rows[size_t(row)];
    if (!r.cells && r.raw.textLength > 0) {
        QByteArray text;
        if (TaskRecord::withOrder(rawText(r), r.raw.offset, text))
            return text;
    }
    return TaskRecord::join(this->row(row));
}

void TaskTable::appendRecord(int row, QByteArray &out, bool midnightForBlankHour) const
{
    const Row &r = m_rows[size_t(row)];
    if (!r.cells && r.raw.textLength > 0 &&
        TaskRecord::appendWithOrder(rawText(r), r.raw.offset, out, midnightForBlankHour))
        return;
    TaskRow values = this->row(row);
    if (midnightForBlankHour && values[Col::Hour].trimmed().isEmpty())
        values[Col::Hour] = QStringLiteral("00:00");
    const QByteArray text = midnightForBlankHour ? TaskRecord::join(values) : recordText(row);
    out.append(TaskRecord::lengthPrefix(text.size())).append(text);
}

void TaskTable::setRowCount(int count)
{
    count = std::max(count, 2);
    const int old = rowCount();
    if (count > old) {
        beginInsertRows(QModelIndex(), old, count - 1);
        m_rows.resize(size_t(count));
        endInsertRows();
    } else if (count < old) {
        beginRemoveRows(QModelIndex(), count, old - 1);
        m_rows.resize(size_t(count));
        endRemoveRows();
    }
}

bool TaskTable::isEmpty() const
{
    const Row &first = m_rows[1];
    if (!first.cells)
        return first.raw.textLength == 0;
    for (const QString &c : *first.cells)
        if (!c.isEmpty())
            return false;
    return true;
}

QString TaskTable::shownTask(int row) const
{
    const QString text = cell(Col::Task, row);
    return text.trimmed().isEmpty() && !isEmpty() ? NoTaskText : text;
}

int TaskTable::taskCount() const
{
    return isEmpty() ? 0 : rowCount() - 1;
}

void TaskTable::clearTasks()
{
    beginResetModel();
    m_rows.resize(2);
    m_rows[1] = Row();
    m_bytes.clear();
    endResetModel();
}

void TaskTable::setTasks(std::vector<TaskRow> &&rows)
{
    beginResetModel();
    Row header = std::move(m_rows[0]);
    m_rows.clear();
    m_bytes.clear();
    m_rows.reserve(std::max<size_t>(rows.size(), 1) + 1);
    m_rows.push_back(std::move(header));
    for (TaskRow &r : rows) {
        Row stored;
        stored.cells = std::make_unique<TaskRow>(std::move(r));
        m_rows.push_back(std::move(stored));
    }
    if (m_rows.size() < 2)
        m_rows.emplace_back();
    endResetModel();
}

void TaskTable::setLoadedTasks(QByteArray &&fileBytes,
                               const std::function<bool(const QByteArray &, RawRow &)> &next)
{
    beginResetModel();
    Row header = std::move(m_rows[0]);
    m_rows.clear();
    m_bytes = std::move(fileBytes);
    // Room for a record of 64 bytes or more each, and for the tasks a run adds,
    // so that adding one does not copy the table; room not used costs no memory.
    reserveLarge(m_rows, size_t(m_bytes.size() / 64) + 16);
    m_rows.push_back(std::move(header));
    RawRow raw;
    while (next(m_bytes, raw))
        m_rows.push_back(Row{nullptr, raw});
    if (m_rows.size() < 2)
        m_rows.emplace_back();
    endResetModel();
}

void TaskTable::insertTask(int at, const TaskRow &values)
{
    if (isEmpty()) {
        setRow(1, values);
        return;
    }
    Row stored;
    stored.cells = std::make_unique<TaskRow>(values);
    beginInsertRows(QModelIndex(), at, at);
    m_rows.insert(m_rows.begin() + at, std::move(stored));
    endInsertRows();
}

void TaskTable::removeTasks(int top, int bottom)
{
    if (top <= 1 && bottom >= rowCount() - 1) {
        clearTasks();
        return;
    }
    beginRemoveRows(QModelIndex(), top, bottom);
    m_rows.erase(m_rows.begin() + top, m_rows.begin() + bottom + 1);
    endRemoveRows();
}

void TaskTable::removeTasks(const std::vector<bool> &gone)
{
    beginResetModel();
    size_t kept = 1;
    for (size_t r = 1; r < m_rows.size(); ++r)
        if (!(r < gone.size() && gone[r]))
            m_rows[kept++] = std::move(m_rows[r]);
    m_rows.resize(std::max<size_t>(kept, 2));
    if (kept == 1)
        m_rows[1] = Row();
    endResetModel();
}

void TaskTable::appendTasks(std::vector<TaskRow> &&rows)
{
    if (rows.empty())
        return;
    size_t next = 0;
    if (isEmpty())
        setRow(1, rows[next++]);
    if (next == rows.size())
        return;
    const int first = rowCount();
    beginInsertRows(QModelIndex(), first, first + int(rows.size() - next) - 1);
    for (; next < rows.size(); ++next)
        m_rows.push_back(Row{std::make_unique<TaskRow>(std::move(rows[next])), RawRow()});
    endInsertRows();
}

std::vector<int> TaskTable::rowsAt(const std::vector<qint64> &offsets) const
{
    std::vector<int> rows(offsets.size(), 0);
    if (offsets.empty() || isEmpty())
        return rows;
    // A few are compared one by one; many are looked up.
    constexpr size_t Few = 16;
    QHash<qint64, size_t> index;
    if (offsets.size() > Few) {
        index.reserve(qsizetype(offsets.size()));
        for (size_t i = 0; i < offsets.size(); ++i)
            index.insert(offsets[i], i);
    }
    for (int r = 1; r < rowCount(); ++r) {
        const qint64 offset = offsetOrNone(m_rows[size_t(r)]);
        if (offsets.size() > Few) {
            const auto it = index.constFind(offset);
            if (it != index.constEnd())
                rows[*it] = r;
            continue;
        }
        for (size_t i = 0; i < offsets.size(); ++i)
            if (offsets[i] == offset)
                rows[i] = r;
    }
    return rows;
}

void TaskTable::rewriteCategories(const std::vector<std::pair<qint64, qint32>> &fields,
                                  const QByteArray &before, const QByteArray &after)
{
    if (before.size() != after.size())
        return;
    forgetOrder();
    const size_t length = size_t(before.size());
    QHash<qint64, qint32> owned; // the fields, for rows that own their cells
    bool anyOwned = false;
    for (size_t r = 1; r < m_rows.size() && !anyOwned; ++r)
        anyOwned = m_rows[r].cells != nullptr;
    // The fields lie a record or more apart in a large block: their loads are
    // asked for well ahead, or each would wait on memory in turn.
    constexpr size_t Ahead = 32;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i + Ahead < fields.size()) {
            const auto &[next, nextFrom] = fields[i + Ahead];
            if (next >= 0 && nextFrom >= 0 && next + 4 + nextFrom < m_bytes.size()) {
                __builtin_prefetch(m_bytes.constData() + next);
                __builtin_prefetch(m_bytes.constData() + next + 4 + nextFrom, 1);
            }
        }
        const auto &[offset, from] = fields[i];
        if (anyOwned)
            owned.insert(offset, from);
        // The loaded bytes are the file as it was read: a record at its offset.
        const qint64 at = offset + 4 + from;
        if (offset < 0 || from < 0 || at + qint64(length) > m_bytes.size())
            continue;
        const qint32 textLength = TaskRecord::readLength(m_bytes.constData() + offset);
        if (qint64(from) + qint64(length) <= textLength &&
            std::memcmp(m_bytes.constData() + at, before.constData(), length) == 0)
            std::memcpy(m_bytes.data() + at, after.constData(), length);
    }
    if (owned.isEmpty())
        return;
    const QString was = Win1252::decode(before);
    const QString now = Win1252::decode(after);
    for (size_t r = 1; r < m_rows.size(); ++r) {
        Row &row = m_rows[r];
        if (row.cells && owned.contains(offsetOrNone(row)) && (*row.cells)[Col::Category] == was)
            (*row.cells)[Col::Category] = now;
    }
}

bool TaskTable::mayContain(int row, const QByteArray &bytes) const
{
    const Row &r = m_rows[size_t(row)];
    if (r.cells || r.raw.textLength == 0)
        return true;
    const char *text = m_bytes.constData() + r.raw.textStart;
    return findBytes(text, text + r.raw.textLength, bytes.constData(), size_t(bytes.size()));
}

bool TaskTable::hasCategory(int row, const QByteArray &bytes) const
{
    const Row &r = m_rows[size_t(row)];
    if (r.cells)
        return (*r.cells)[Col::Category] == Win1252::decode(bytes);
    return r.raw.textLength > 0 && TaskRecord::categoryNamed(rawText(r), bytes);
}

void TaskTable::announceChanged()
{
    emit dataChanged(index(1, 0), index(rowCount() - 1, Col::Count - 1));
}

bool TaskTable::holdsOrder(int row, qint64 offset) const
{
    const Row &r = m_rows[size_t(row)];
    if (!r.cells && r.raw.textLength > 0)
        return r.raw.offset == offset;
    return cell(Col::Order, row) == QString::number(offset);
}

qint64 TaskTable::recordOffset(int row) const
{
    const Row &r = m_rows[size_t(row)];
    if (!r.cells && r.raw.textLength > 0)
        return r.raw.offset;
    return TaskRecord::orderOffset(cell(Col::Order, row));
}

namespace {
// Rows in a table this size stay in the processor's cache.
constexpr size_t CacheSizedTable = 200000;
} // namespace

void TaskTable::permuteTasks(const std::vector<int> &newOrder, SortRuns runs)
{
    emit layoutAboutToBeChanged();
    if (newOrder.size() > CacheSizedTable) {
        // Gathered into a new table: the reads do not wait on one another as a
        // walk along the permutation's cycles does, which at this size waits on
        // memory at every step. The table is a small part of the memory next to
        // the loaded file.
        std::vector<Row> moved;
        reserveLarge(moved, m_rows.capacity());
        moved.push_back(std::move(m_rows[0]));
        for (const int from : newOrder)
            moved.push_back(std::move(m_rows[size_t(from)]));
        m_rows.swap(moved);
    } else {
        // In place, cycle by cycle: no second table.
        std::vector<bool> placed(newOrder.size(), false);
        for (size_t j = 0; j < newOrder.size(); ++j) {
            if (placed[j])
                continue;
            Row first = std::move(m_rows[j + 1]);
            size_t at = j;
            for (;;) {
                placed[at] = true;
                const size_t from = size_t(newOrder[at] - 1);
                if (from == j) {
                    m_rows[at + 1] = std::move(first);
                    break;
                }
                m_rows[at + 1] = std::move(m_rows[from + 1]);
                at = from;
            }
        }
    }
    m_runs = std::move(runs);
    m_aside.reset(); // the rows kept changed order
    // Persistent indexes follow rows by position only; views re-read the cells.
    emit layoutChanged();
}

QString taskCountCaption(const TaskTable &table)
{
    return QStringLiteral("Nudgery   [ tasks: %1 ]").arg(table.taskCount());
}
