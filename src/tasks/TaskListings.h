#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

class TaskTable;

// The fixed-width line texts of the task list and archive print-outs and of the
// plain-text export. Every list covers the table from row 0 (its own header
// captions) to the last row, in the table's current order.
namespace Listing {

// Left-justified "%-<width>.<precision>s": the text cut to at most precision
// characters, then padded with blanks to width.
QString field(const QString &text, int width, int precision);
inline QString field(const QString &text, int width)
{
    return field(text, width, width);
}
QString rule(int length);

// The main list: 86-character header, rule, 107-character lines, rule.
QStringList mainList(const TaskTable &table);
// The archive list: 102-character header, rule, 103-character lines, rule.
QStringList archiveList(const TaskTable &table);

// A grid column of `pixels` width holds this many export characters.
inline int exportTextWidth(int pixels)
{
    return pixels / 4;
}
// The export: an empty line, then the rows between rules. textWidths holds one
// text width for each leading column the grid shows in full.
QStringList exportList(const TaskTable &table, const std::vector<int> &textWidths);
// Windows-1252, every line ended by CR LF.
QByteArray exportBytes(const QStringList &lines);

} // namespace Listing
