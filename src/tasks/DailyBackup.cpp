#include "DailyBackup.h"

#include "store/Clock.h"
#include "store/FileJournal.h"
#include "store/FirstWriteOfDay.h"
#include "store/StoreError.h"
#include "store/TaskRecord.h"
#include "store/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

const QString DayFormat = QStringLiteral("yyyy-MM-dd");
const QString MomentFormat = QStringLiteral("yyyy-MM-dd_HH-mm-ss");
const QString BeforeRestoreMark = QStringLiteral("_before-restore");
const QString RestoreStep = QStringLiteral("restore");

int taskCount(const QByteArray &bytes)
{
    int count = 0;
    qint64 pos = 0;
    while (const std::optional<QByteArray> text = TaskRecord::textAt(bytes, pos)) {
        count += TaskRecord::isBlank(*text) ? 0 : 1;
        pos += 4 + text->size();
    }
    return count;
}

int taskCount(const QString &path)
{
    QFile f(path);
    // A listing counts what it can read; an unreadable copy shows no task.
    return f.open(QIODevice::ReadOnly) ? taskCount(f.readAll()) : 0;
}

// What a sub-folder's name says it is; a date that is not valid for anything else.
DailyBackup::Backup backupNamed(const QString &name)
{
    DailyBackup::Backup b;
    if (name.size() == DayFormat.size()) {
        b.date = QDate::fromString(name, DayFormat);
        return b;
    }
    // "<moment>_before-restore", or "<moment>_before-restore-<n>" for a second
    // restore in the same second.
    const qsizetype mark = name.indexOf(BeforeRestoreMark);
    if (mark != MomentFormat.size())
        return b;
    const QString rest = name.mid(mark + BeforeRestoreMark.size());
    if (!rest.isEmpty()) {
        bool numbered = false;
        rest.mid(1).toUInt(&numbered);
        if (!rest.startsWith(QLatin1Char('-')) || !numbered)
            return b;
    }
    const QDateTime moment = QDateTime::fromString(name.left(mark), MomentFormat);
    if (!moment.isValid())
        return b;
    b.kind = DailyBackup::Kind::BeforeRestore;
    b.date = moment.date();
    b.time = moment.time();
    return b;
}

} // namespace

void DailyBackup::makeTodaysCopy()
{
    finishPending(); // a day's copy still under way at midnight
    const QString leaf = m_clock.today().toString(DayFormat);
    // A day already copied (by an earlier run) keeps its first copy.
    if (QFileInfo::exists(m_folder + QLatin1Char('/') + leaf))
        return;
    QString reason;
    if (startCopy(leaf, &reason))
        return;
    failedCopy(reason);
}

void DailyBackup::failedCopy(const QString &reason)
{
    QDir().rmdir(m_folder); // made for nothing: gone again when empty
    if (!m_told) {
        m_told = true;
        emit failed(QDir::toNativeSeparators(m_folder), reason);
    }
}

bool DailyBackup::copyInto(const QString &leaf, QString *reason)
{
    const QString target = m_folder + QLatin1Char('/') + leaf;
    if (QFileInfo::exists(target))
        return false;
    // Made beside and renamed into place, so a copy is always whole.
    const QString partial = m_folder + QStringLiteral("/.") + leaf + QStringLiteral(".partial");
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
    if (!QDir().rename(partial, target)) {
        QDir(partial).removeRecursively();
        return false;
    }
    return true;
}

QString DailyBackup::beforeRestoreLeaf() const
{
    const QString base = m_clock.now().toString(MomentFormat) + BeforeRestoreMark;
    QString leaf = base;
    for (int n = 2; QFileInfo::exists(m_folder + QLatin1Char('/') + leaf); ++n)
        leaf = base + QLatin1Char('-') + QString::number(n);
    return leaf;
}

void DailyBackup::removeOldest()
{
    int daily = 0;
    int beforeRestore = 0;
    // By name only: counting the tasks would read every kept copy.
    for (const Backup &b : listed(false)) {
        int &kept = b.kind == Kind::Daily ? daily : beforeRestore;
        if (++kept > (b.kind == Kind::Daily ? DaysKept : RestoresKept))
            QDir(b.path).removeRecursively();
    }
}

QList<DailyBackup::Backup> DailyBackup::list()
{
    finishPending();
    return listed(true);
}

QList<DailyBackup::Backup> DailyBackup::listed(bool countTasks) const
{
    QList<Backup> out;
    const QStringList names = QDir(m_folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        Backup b = backupNamed(name);
        if (!b.date.isValid())
            continue;
        b.path = m_folder + QLatin1Char('/') + name;
        if (countTasks) {
            b.tasks = taskCount(b.path + QLatin1Char('/') + m_fileNames.value(0));
            b.archived = taskCount(b.path + QLatin1Char('/') + m_fileNames.value(1));
        }
        out.append(b);
    }
    // A day's copy holds the state from before anything that day, so it is older
    // than a restore of the same day.
    const auto newerFirst = [](const Backup &a, const Backup &b) {
        if (a.date != b.date)
            return a.date > b.date;
        if (a.kind != b.kind)
            return a.kind == Kind::BeforeRestore;
        return a.time != b.time ? a.time > b.time : a.path > b.path;
    };
    std::sort(out.begin(), out.end(), newerFirst);
    return out;
}

DailyBackup::Restored DailyBackup::restore(const QString &backupPath, QString *reason)
{
    finishPending();
    // Every file is read once, before anything changes: a backup that cannot be
    // read restores nothing. What is staged is dropped unless the step commits.
    FileJournal step(m_programFolder, RestoreStep);
    int tasks = 0;
    for (qsizetype i = 0; i < m_fileNames.size(); ++i) {
        const QString &name = m_fileNames[i];
        const QString source = backupPath + QLatin1Char('/') + name;
        const bool inBackup = QFileInfo::exists(source);
        const auto mark = m_marks.constFind(name);
        const bool marked = mark != m_marks.constEnd();
        if (!inBackup && !marked)
            continue; // not there when the copy was made: the file stays
        QByteArray bytes = readFileIfThere(inBackup ? source : m_programFolder + name);
        if (inBackup && i < m_recordPaths.size())
            tasks += taskCount(bytes);
        if (marked)
            bytes = (*mark)(bytes);
        if (!marked || !bytes.isEmpty())
            step.stage(name, bytes);
    }
    if (tasks == 0)
        return Restored::Empty;
    // A restore is a write of the day: when it is the first, the day's copy is of
    // the files before it, and no later write takes the restored ones for them.
    if (m_firstWrite) {
        m_firstWrite->beforeWrite();
        finishPending();
    }
    if (!copyInto(beforeRestoreLeaf(), reason))
        return Restored::NotBackedUp;
    step.commit();
    removeOldest();
    return Restored::Done;
}

void DailyBackup::markOnRestore(const QString &fileName,
                                std::function<QByteArray(const QByteArray &)> mark)
{
    m_marks.insert(fileName, std::move(mark));
}

void DailyBackup::recoverRestore(const QString &programFolder)
{
    FileJournal::recover(programFolder, RestoreStep);
}
