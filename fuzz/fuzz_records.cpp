// The record reader: the input as a whole task data file, and as one record text.
#include "store/DamagedFiles.h"
#include "store/TaskDataFile.h"
#include "store/TaskRecord.h"
#include "store/TaskTable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {
// Damaged files leave backups beside them; emptying the folder now and then
// keeps millions of runs from filling the disk without slowing every run.
QString folder()
{
    static QTemporaryDir dir;
    static int runs = 0;
    if (++runs % 1000 == 0) {
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
    }
    return dir.path() + QLatin1Char('/');
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void loadAsFile(const QByteArray &bytes, const QString &filter)
{
    const QString path = folder() + QStringLiteral("Tasklyn.DAT");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return;
    f.write(bytes);
    f.close();
    TaskTable table;
    DamagedFiles damaged;
    try {
        const TaskDataFile file(path, damaged);
        const TaskDataFile::LoadResult result = file.LoadTasks(table, filter);
        (void)file.damagedMessage(result);
        if (!result.damagedBackup.isEmpty())
            QFile::remove(result.damagedBackup);
        // What was kept must load again, unharmed.
        TaskTable again;
        file.LoadTasks(again, filter);
        // A category delete and its undo leave the file as it was, byte for byte.
        if (filter != AllItems) {
            const QByteArray before = readAll(path);
            const QList<TaskDataFile::ClearedField> cleared = file.ClearCategory(filter);
            if (!file.restoreCategory(filter, cleared) || readAll(path) != before)
                abort();
        }
    } catch (const std::exception &) {
        // A StoreError is the reader's way of refusing a file.
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    loadAsFile(bytes, AllItems);
    loadAsFile(bytes, QStringLiteral("Work"));

    const TaskRow row = TaskRecord::split(bytes);
    for (int c = 0; c < Col::Count; ++c)
        (void)TaskRecord::field(bytes, c);
    (void)TaskRecord::category(bytes);
    (void)TaskRecord::isBlank(bytes);
    (void)TaskRecord::join(row);
    try {
        (void)TaskRecord::orderOffset(row[Col::Order]);
    } catch (const std::exception &) {
    }
    return 0;
}
