#pragma once

#include <QByteArray>
#include <QString>

// The physical floors that the commands' figures stand beside: what the least
// program doing the same work would spend, measured in the same run on the same
// machine. Each returns seconds.
namespace BenchFloors {

// std::sort of n random 64-bit keys: what a sort of n tasks cannot beat.
double sortKeys(int n);
// One pass over n 64-bit keys, keeping the ones that match: a selection of rows.
double selectKeys(int n);
// Writing one record at the end of a copy of the file and blanking one inside
// it: a command that changes a task.
double changeOneRecord(const QString &taskFile);
// Reading and writing back, in place, every byte of a copy of the file from the
// first record of this category to the last: a command that changes the category
// field of every such record, spread through the file.
double rewriteCategorySpan(const QString &taskFile, const QByteArray &category);
// Writing bytes to a new file beside path and syncing it: a compacting rewrite.
double writeAndSync(const QString &path, qint64 bytes);

} // namespace BenchFloors
