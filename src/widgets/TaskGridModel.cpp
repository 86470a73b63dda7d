#include "TaskGridModel.h"

#include "store/TaskTable.h"

#include <algorithm>

TaskGridModel::TaskGridModel(QObject *parent) : QAbstractProxyModel(parent) {}

void TaskGridModel::setSourceModel(QAbstractItemModel *source)
{
    beginResetModel();
    for (const QMetaObject::Connection &c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    QAbstractProxyModel::setSourceModel(source);
    if (source) {
        // The table only ever inserts and removes rows after row 1 (it never has
        // fewer than two), so every change maps by shifting one row up.
        m_connections = {
            connect(source, &QAbstractItemModel::dataChanged, this, &TaskGridModel::onDataChanged),
            connect(source, &QAbstractItemModel::rowsAboutToBeInserted, this,
                    [this](const QModelIndex &, int first, int last) {
                        beginInsertRows(QModelIndex(), first - 1, last - 1);
                    }),
            connect(source, &QAbstractItemModel::rowsInserted, this, [this] { endInsertRows(); }),
            connect(source, &QAbstractItemModel::rowsAboutToBeRemoved, this,
                    [this](const QModelIndex &, int first, int last) {
                        beginRemoveRows(QModelIndex(), first - 1, last - 1);
                    }),
            connect(source, &QAbstractItemModel::rowsRemoved, this, [this] { endRemoveRows(); }),
            connect(source, &QAbstractItemModel::modelAboutToBeReset, this,
                    [this] { beginResetModel(); }),
            connect(source, &QAbstractItemModel::modelReset, this, [this] { endResetModel(); }),
            // A sort moves cells, not rows: the view keeps its selection by position.
            connect(source, &QAbstractItemModel::layoutAboutToBeChanged, this,
                    [this] { emit layoutAboutToBeChanged(); }),
            connect(source, &QAbstractItemModel::layoutChanged, this,
                    [this] { emit layoutChanged(); }),
        };
    }
    endResetModel();
}

QModelIndex TaskGridModel::index(int row, int column, const QModelIndex &parent) const
{
    if (parent.isValid() || row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
        return {};
    return createIndex(row, column);
}

QModelIndex TaskGridModel::parent(const QModelIndex &) const
{
    return {};
}

int TaskGridModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !sourceModel())
        return 0;
    return std::max(0, sourceModel()->rowCount() - 1);
}

int TaskGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Col::Count;
}

QModelIndex TaskGridModel::mapToSource(const QModelIndex &proxyIndex) const
{
    if (!proxyIndex.isValid() || !sourceModel())
        return {};
    return sourceModel()->index(proxyIndex.row() + 1, proxyIndex.column());
}

QModelIndex TaskGridModel::mapFromSource(const QModelIndex &sourceIndex) const
{
    if (!sourceIndex.isValid() || sourceIndex.row() < 1)
        return {};
    return index(sourceIndex.row() - 1, sourceIndex.column());
}

QVariant TaskGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    if (role != Qt::DisplayRole || !sourceModel())
        return {};
    return sourceModel()->index(0, section).data(Qt::DisplayRole);
}

Qt::ItemFlags TaskGridModel::flags(const QModelIndex &index) const
{
    // Cells are shown, never edited in place.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void TaskGridModel::onDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                                  const QList<int> &roles)
{
    if (topLeft.row() == 0)
        emit headerDataChanged(Qt::Horizontal, topLeft.column(), bottomRight.column());
    if (bottomRight.row() >= 1)
        emit dataChanged(index(std::max(topLeft.row(), 1) - 1, topLeft.column()),
                         index(bottomRight.row() - 1, bottomRight.column()), roles);
}

QVariant TaskGridModel::data(const QModelIndex &proxyIndex, int role) const
{
    const auto *table = qobject_cast<const TaskTable *>(sourceModel());
    if (role == Qt::DisplayRole && table && proxyIndex.column() == Col::Task &&
        proxyIndex.isValid())
        return table->shownTask(proxyIndex.row() + 1);
    return QAbstractProxyModel::data(proxyIndex, role);
}
