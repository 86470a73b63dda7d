#pragma once

#include <QString>
#include <array>

// Column numbers of a task row.
namespace Col {
enum : int {
    Done = 0,
    Task = 1,
    Date = 2,
    Hour = 3,
    Priority = 4,
    Order = 5,
    SortKey = 6,
    Category = 7,
    TextColor = 8,
    Note = 9,
    Count = 10
};
}

// A task's ten cells, in column order.
using TaskRow = std::array<QString, Col::Count>;
