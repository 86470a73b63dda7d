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

// The byte that joins a record's fields: "¦", 0xA6 in Windows-1252 and U+00A6 in
// memory (QLatin1Char(FieldSeparator)). No field can hold it.
constexpr char FieldSeparator = '\xA6';
// What a separator inside a text becomes (one typed there by an older release, or
// brought in by an import).
constexpr char SeparatorStandIn = '|';

// The text colour table's size, and the entry a task gets unless it chooses one
// (the palette's text colour).
constexpr int TextColourCount = 19;
constexpr int DefaultTextColour = 18;
