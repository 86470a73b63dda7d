#include "TaskListings.h"

#include "store/TaskTable.h"
#include "store/Win1252.h"

namespace Listing {

namespace {
const QString Indent(7, QLatin1Char(' '));
const QString Bar = QStringLiteral("  | ");
constexpr int PrintRuleLength = 105;
constexpr int CategoryWidth = 20;
} // namespace

QString field(const QString &text, int width, int precision)
{
    return text.left(precision).leftJustified(width, QLatin1Char(' '));
}

QString rule(int length)
{
    return QString(length, QLatin1Char('-'));
}

QStringList mainList(const TaskTable &table)
{
    QStringList lines;
    lines.reserve(table.rowCount() + 3);
    lines << Indent + field(QStringLiteral("Stat"), 4) + QLatin1Char(' ') +
                 field(QStringLiteral("   Task"), 50, 40) + QLatin1Char(' ') +
                 field(QStringLiteral(" Date"), 16) + QLatin1Char(' ') +
                 field(QStringLiteral("Prior."), 6);
    lines << rule(PrintRuleLength);
    for (int r = 0; r < table.rowCount(); ++r)
        lines << Indent + field(table.cell(Col::Done, r), 4) + field(table.cell(Col::Task, r), 50) +
                     field(table.cell(Col::Date, r), 16) + field(table.cell(Col::Priority, r), 6) +
                     Bar + field(table.cell(Col::Category, r), CategoryWidth);
    lines << rule(PrintRuleLength);
    return lines;
}

QStringList archiveList(const TaskTable &table)
{
    QStringList lines;
    lines.reserve(table.rowCount() + 3);
    lines << Indent + field(QStringLiteral("   Task"), 50, 40) + QLatin1Char(' ') +
                 field(QStringLiteral(" Date"), 16) + QLatin1Char(' ') +
                 field(QStringLiteral("Prior."), 6) + QLatin1Char(' ') +
                 field(QStringLiteral("    Category"), CategoryWidth);
    lines << rule(PrintRuleLength);
    for (int r = 0; r < table.rowCount(); ++r)
        lines << Indent + field(table.cell(Col::Task, r), 50) +
                     field(table.cell(Col::Date, r), 16) + field(table.cell(Col::Priority, r), 6) +
                     Bar + field(table.cell(Col::Category, r), CategoryWidth);
    lines << rule(PrintRuleLength);
    return lines;
}

QStringList exportList(const TaskTable &table, const std::vector<int> &textWidths)
{
    QStringList lines;
    lines.reserve(table.rowCount() + 4);
    lines << QString();
    QString line;
    for (int r = 0; r < table.rowCount(); ++r) {
        line = QStringLiteral(" ");
        for (size_t c = 0; c < textWidths.size(); ++c)
            line += field(table.cell(int(c), r), textWidths[c]);
        line += Bar + field(table.cell(Col::Category, r), CategoryWidth);
        if (r <= 1)
            lines << rule(int(line.size()));
        lines << line;
    }
    lines << rule(int(line.size()));
    return lines;
}

QByteArray exportBytes(const QStringList &lines)
{
    QByteArray bytes;
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + 2;
    bytes.reserve(size);
    for (const QString &line : lines)
        bytes.append(Win1252::encode(line)).append("\r\n", 2);
    return bytes;
}

} // namespace Listing
