#pragma once

#include "TaskRow.h"

#include <QDate>
#include <array>

class DateFormat;

// A task's fields as a calendar program sees them: each group is one iCalendar
// property (the date and the hour are one DUE; the order and the sort key are the
// task file's own). Compared by meaning: dates as dates in the format in force,
// an empty hour as midnight (as the exit stores it), texts exactly.
namespace TaskFields {

enum class Field { Done, Task, Due, Priority, Category, Colour, Note };
inline constexpr std::array<Field, 7> All{Field::Done,     Field::Task,     Field::Due,
                                          Field::Priority, Field::Category, Field::Colour,
                                          Field::Note};

bool same(Field field, const TaskRow &a, const TaskRow &b, const DateFormat &dates,
          const QDate &today);
bool sameTask(const TaskRow &a, const TaskRow &b, const DateFormat &dates, const QDate &today);
// b's cells of the field in a.
void take(Field field, TaskRow &a, const TaskRow &b);
// The date a task is on: its sort key's, written alike in every locale; the date
// cell, read in the format in force, only when the key does not parse. Invalid
// when neither reads.
QDate dateOf(const TaskRow &row, const DateFormat &dates, const QDate &today);

} // namespace TaskFields
