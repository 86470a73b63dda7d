#include "DailyBackup.h"

#include "store/Clock.h"
#include "store/SaveFile.h"
#include "store/StoreError.h"
#include "store/TaskRecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString DayFormat = QStringLiteral("yyyy-MM-dd");

QDate dayOf(const QString &folderName)
{
    return folderName.size() == 10 ? QDate::fromString(folderName, DayFormat) : QDate();
}

int taskCount(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray bytes = f.readAll();
    int count = 0;
    qint64 pos = 0;
    while (const std::optional<QByteArray> text = TaskRecord::textAt(bytes, pos)) {
        count += TaskRecord::isBlank(*text) ? 0 : 1;
        pos += 4 + text->size();
    }
    return count;
}

} // namespace

DailyBackup::DailyBackup(const QString &programFolder, const QStringList &fileNames,
                         const Clock &clock, QObject *parent)
    : QObject(parent), m_programFolder(programFolder),
      m_folder(programFolder + QStringLiteral("backups")), m_fileNames(fileNames), m_clock(clock)
{
}

void DailyBackup::beforeWrite()
{
    const QDate today = m_clock.today();
    if (today == m_lastDay)
        return;
    m_lastDay = today;
    // A day already copied (by an earlier run) keeps its first copy.
    if (QFileInfo::exists(m_folder + QLatin1Char('/') + today.toString(DayFormat)))
        return;
    QString reason;
    if (copyToday(&reason)) {
        removeOldest();
        return;
    }
    QDir().rmdir(m_folder); // made for nothing: gone again when empty
    if (!m_told) {
        m_told = true;
        emit failed(QDir::toNativeSeparators(m_folder), reason);
    }
}

bool DailyBackup::copyToday(QString *reason)
{
    const QString day = m_clock.today().toString(DayFormat);
    const QString target = m_folder + QLatin1Char('/') + day;
    // Made beside and renamed into place, so a day's folder is always whole.
    const QString partial = m_folder + QStringLiteral("/.") + day + QStringLiteral(".partial");
    QDir(partial).removeRecursively();
    if (!QDir().mkpath(partial))
        return false;
    for (const QString &name : m_fileNames) {
        QFile source(m_programFolder + name);
        if (!source.exists())
            continue;
        if (!source.copy(partial + QLatin1Char('/') + name)) {
            *reason = source.errorString();
            QDir(partial).removeRecursively();
            return false;
        }
    }
    const QString previous = target + QStringLiteral(".old");
    QDir(previous).removeRecursively();
    const bool hadTarget = QFileInfo::exists(target);
    if ((hadTarget && !QDir().rename(target, previous)) || !QDir().rename(partial, target)) {
        if (hadTarget && !QFileInfo::exists(target))
            QDir().rename(previous, target);
        QDir(partial).removeRecursively();
        return false;
    }
    QDir(previous).removeRecursively();
    return true;
}

void DailyBackup::removeOldest()
{
    const QList<Backup> all = list();
    for (qsizetype i = DaysKept; i < all.size(); ++i)
        QDir(all[i].path).removeRecursively();
}

QList<DailyBackup::Backup> DailyBackup::list() const
{
    QList<Backup> out;
    const QStringList names =
        QDir(m_folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
    for (const QString &name : names) {
        const QDate date = dayOf(name);
        if (!date.isValid())
            continue;
        const QString path = m_folder + QLatin1Char('/') + name;
        out.append({date, path, taskCount(path + QLatin1Char('/') + m_fileNames.value(0))});
    }
    return out;
}

bool DailyBackup::restore(const QString &backupPath, QString *reason)
{
    QList<QPair<QString, QByteArray>> files;
    for (const QString &name : m_fileNames) {
        QFile f(backupPath + QLatin1Char('/') + name);
        if (!f.exists())
            continue; // not there when the copy was made: the current file stays
        if (!f.open(QIODevice::ReadOnly))
            throw StoreError::cannotOpen(f.fileName(), f.errorString());
        files.append({m_programFolder + name, f.readAll()});
    }
    if (!copyToday(reason))
        return false;
    m_lastDay = m_clock.today();
    removeOldest();
    QString why;
    for (const auto &[path, bytes] : files)
        if (!SaveFile::replace(path, bytes, &why))
            throw StoreError::cannotCreate(path, why);
    return true;
}
