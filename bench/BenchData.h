#pragma once

#include "store/TaskTable.h"

#include <QString>
#include <QTemporaryDir>
#include <functional>

// Task data files the benchmarks load, written once per run into a folder that
// goes away with the run.
QTemporaryDir &benchDir();

// The file "<name>-<records>.DAT" holding rowFor(0) .. rowFor(records - 1), written
// the first time a run asks for it.
QString benchTaskFile(const QString &name, int records, const std::function<TaskRow(int)> &rowFor);

// Task i due on the given day of December 2026 at hh:30, with a priority, an
// order, a category and a colour; Done and Note are left to the caller.
TaskRow benchTask(int i, int day, int hour);
