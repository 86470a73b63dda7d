#pragma once

#include <QString>

class TaskTable;

// The one row-sort routine of the program, shared by the task grid and the
// archive grid: sorts the task rows by the text of one column, moving whole rows,
// comparing case-insensitively in the user's locale. Rows with equal keys keep
// the order of their records in the file, so that a table gets the same order
// however its rows came to it. The table has no current row: each caller's grid
// makes its first task row current afterwards.
void SortRows(TaskTable &table, int column, bool ascending);

// Negative, zero or positive as a sorts before, with or after b (locale collation,
// case ignored).
int CompareCellText(const QString &a, const QString &b);
