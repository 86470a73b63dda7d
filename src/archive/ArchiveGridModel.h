#pragma once

#include "widgets/TaskGridModel.h"

// The archive grid's view of its table. Header captions may also be set through
// the model (setHeaderData), which writes them into the table's row 0, so code
// that knows only the view can relabel the columns.
class ArchiveGridModel : public TaskGridModel
{
    Q_OBJECT
public:
    using TaskGridModel::TaskGridModel;

    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value,
                       int role = Qt::EditRole) override;
};
