#include "ArchiveGridModel.h"

#include "store/TaskTable.h"

bool ArchiveGridModel::setHeaderData(int section, Qt::Orientation orientation,
                                     const QVariant &value, int role)
{
    auto *table = qobject_cast<TaskTable *>(sourceModel());
    if (!table || orientation != Qt::Horizontal || section < 0 || section >= Col::Count ||
        (role != Qt::EditRole && role != Qt::DisplayRole))
        return false;
    table->setHeader(section, value.toString()); // the table tells the view
    return true;
}
