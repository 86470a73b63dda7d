#pragma once

#include <QAbstractProxyModel>
#include <QList>
#include <QMetaObject>

// The task table as the grid's view sees it: the table's row 0 becomes the
// horizontal header's captions, table row r + 1 is view row r. The column count is
// fixed, so column widths survive every reload of the table.
class TaskGridModel : public QAbstractProxyModel
{
    Q_OBJECT
public:
    explicit TaskGridModel(QObject *parent = nullptr);

    void setSourceModel(QAbstractItemModel *source) override;

    QModelIndex index(int row, int column,
                      const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex mapToSource(const QModelIndex &proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex &sourceIndex) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // A blank task text shows the placeholder.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    void onDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                       const QList<int> &roles);

    QList<QMetaObject::Connection> m_connections;
};
