#include "TaskTable.h"

#include "TaskRecord.h"
#include "Win1252.h"

#include <cstring>

TaskTable::TaskTable(QObject *parent) : QAbstractTableModel(parent), m_rows(2) {}

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
    m_rows.reserve(size_t(m_bytes.size() / 64) + 16);
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

bool TaskTable::rewriteLoadedRecord(int row, const QByteArray &before, const QByteArray &after)
{
    const Row &r = m_rows[size_t(row)];
    if (r.cells || r.raw.textLength == 0 || before.size() != after.size() || rawText(r) != before)
        return false;
    std::memcpy(m_bytes.data() + r.raw.textStart, after.constData(), size_t(after.size()));
    return true;
}

bool TaskTable::mayContain(int row, const QByteArray &bytes) const
{
    const Row &r = m_rows[size_t(row)];
    if (r.cells || r.raw.textLength == 0)
        return true;
    return memmem(m_bytes.constData() + r.raw.textStart, size_t(r.raw.textLength),
                  bytes.constData(), size_t(bytes.size())) != nullptr;
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

void TaskTable::permuteTasks(const std::vector<int> &newOrder)
{
    emit layoutAboutToBeChanged();
    // In place, cycle by cycle: a second table of rows would double the table.
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
    // Persistent indexes follow rows by position only; views re-read the cells.
    emit layoutChanged();
}

QString taskCountCaption(const TaskTable &table)
{
    return QStringLiteral("Nudgery   [ tasks: %1 ]").arg(table.taskCount());
}
