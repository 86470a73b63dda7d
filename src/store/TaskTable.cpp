#include "TaskTable.h"

#include "TaskRecord.h"

namespace {
constexpr quint16 AllDecoded = 0xFFFF;
}

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

void TaskTable::decode(const Row &row, int col) const
{
    TaskRow &cells = row.ensureCells();
    if (col == Col::Order)
        cells[Col::Order] = QString::number(row.raw.offset);
    else
        cells[size_t(col)] = TaskRecord::field(
            QByteArray::fromRawData(m_bytes.constData() + row.raw.textStart, row.raw.textLength),
            col);
    row.decoded |= quint16(1u << col);
}

const QString &TaskTable::cell(int col, int row) const
{
    const Row &r = m_rows[size_t(row)];
    if (!(r.decoded & (1u << col)))
        decode(r, col);
    return r.ensureCells()[size_t(col)];
}

const TaskRow &TaskTable::row(int r) const
{
    const Row &stored = m_rows[size_t(r)];
    if (stored.decoded != AllDecoded)
        for (int c = 0; c < Col::Count; ++c)
            cell(c, r);
    return stored.ensureCells();
}

TaskTable::Row &TaskTable::mutableRow(int r)
{
    Row &stored = m_rows[size_t(r)];
    row(r); // a changed row no longer reads from the file's bytes
    return stored;
}

void TaskTable::setCell(int col, int row, const QString &text)
{
    QString &c = mutableRow(row).ensureCells()[size_t(col)];
    if (c == text)
        return;
    c = text;
    const QModelIndex i = index(row, col);
    emit dataChanged(i, i);
}

void TaskTable::setRow(int r, const TaskRow &values)
{
    Row &stored = m_rows[size_t(r)];
    stored.ensureCells() = values;
    stored.decoded = AllDecoded;
    emit dataChanged(index(r, 0), index(r, Col::Count - 1));
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
    // A loaded task always has its order; a row being added has its text.
    if (!cell(Col::Task, 1).isEmpty() || !cell(Col::Order, 1).isEmpty())
        return false;
    for (int c = 0; c < Col::Count; ++c)
        if (!cell(c, 1).isEmpty())
            return false;
    return true;
}

QString TaskTable::shownTask(int row) const
{
    const QString &text = cell(Col::Task, row);
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

void TaskTable::setLoadedTasks(QByteArray &&fileBytes, std::vector<RawRow> &&rows)
{
    beginResetModel();
    Row header = std::move(m_rows[0]);
    m_rows.clear();
    m_bytes = std::move(fileBytes);
    m_rows.resize(std::max<size_t>(rows.size(), 1) + 1);
    m_rows[0] = std::move(header);
    for (size_t i = 0; i < rows.size(); ++i) {
        Row &stored = m_rows[i + 1];
        stored.raw = rows[i];
        stored.decoded = 0;
    }
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

qint64 TaskTable::recordOffset(int row) const
{
    const Row &r = m_rows[size_t(row)];
    if (!(r.decoded & (1u << Col::Order)))
        return r.raw.offset;
    return TaskRecord::orderOffset(r.ensureCells()[Col::Order]);
}

void TaskTable::permuteTasks(const std::vector<int> &newOrder)
{
    emit layoutAboutToBeChanged();
    std::vector<Row> moved;
    moved.reserve(newOrder.size());
    for (int from : newOrder)
        moved.push_back(std::move(m_rows[size_t(from)]));
    for (size_t j = 0; j < moved.size(); ++j)
        m_rows[j + 1] = std::move(moved[j]);
    // Persistent indexes follow rows by position only; views re-read the cells.
    emit layoutChanged();
}

QString taskCountCaption(const TaskTable &table)
{
    return QStringLiteral("Nudgery   [ tasks: %1 ]").arg(table.taskCount());
}
