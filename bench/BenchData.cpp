#include "BenchData.h"

#include "store/DamagedFiles.h"
#include "store/TaskDataFile.h"
#include "store/TaskRecord.h"

#include <QFile>

QTemporaryDir &benchDir()
{
    static QTemporaryDir dir;
    return dir;
}

QString benchTaskFile(const QString &name, int records, const std::function<TaskRow(int)> &rowFor)
{
    const QString path = benchDir().filePath(QStringLiteral("%1-%2.DAT").arg(name).arg(records));
    if (QFile::exists(path))
        return path;
    QList<QByteArray> texts;
    texts.reserve(records);
    for (int i = 0; i < records; ++i)
        texts.append(TaskRecord::join(rowFor(i)));
    DamagedFiles damaged;
    TaskDataFile(path, damaged).writeRecords(texts);
    return path;
}

TaskRow benchTask(int i, int day, int hour)
{
    const QString dd = QStringLiteral("%1").arg(day, 2, 10, QLatin1Char('0'));
    const QString hh = QStringLiteral("%1").arg(hour, 2, 10, QLatin1Char('0'));
    TaskRow row;
    row[Col::Task] = QStringLiteral("Task number %1 with some words in it").arg(i);
    row[Col::Date] = QStringLiteral("%1/12/2026").arg(dd);
    row[Col::Hour] = QStringLiteral("%1:30").arg(hh);
    row[Col::Priority] = QString::number(i % 6);
    row[Col::Order] = QString::number(i);
    row[Col::SortKey] = QStringLiteral("2026-12-%1 %2:30").arg(dd, hh);
    row[Col::Category] = i % 4 ? QStringLiteral("Work") : QStringLiteral("Home");
    row[Col::TextColor] = QStringLiteral("18");
    return row;
}
