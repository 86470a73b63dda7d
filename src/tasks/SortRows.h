#pragma once

#include <QString>
#include <vector>

class TaskTable;

// The one row-sort routine of the program, shared by the task grid and the
// archive grid: sorts the task rows by the text of one column, moving whole rows,
// comparing case-insensitively in the user's locale. Rows with equal keys end in
// no particular order. The table has no current row: each caller's grid makes its
// first task row current afterwards.
void SortRows(TaskTable &table, int column, bool ascending);

// Negative, zero or positive as a sorts before, with or after b (locale collation,
// case ignored).
int CompareCellText(const QString &a, const QString &b);

// Sorts rows[lo..hi] by rank[rows[i]]: a quicksort with a random pivot that
// partitions three ways, so many equal keys cost no more than distinct ones.
void QuickSortRows(std::vector<int> &rows, const std::vector<int> &rank, int lo, int hi,
                   bool ascending);
