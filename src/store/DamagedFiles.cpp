#include "DamagedFiles.h"

#include "StoreError.h"

#include <QFile>
#include <QFileInfo>

namespace {

QString nextBackupName(const QString &path)
{
    QString candidate = path + QStringLiteral(".damaged");
    for (int n = 1; QFileInfo::exists(candidate); ++n)
        candidate = path + QStringLiteral(".damaged.%1").arg(n);
    return candidate;
}

QString fileKey(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

} // namespace

DamagedFiles::Found DamagedFiles::foundDamaged(const QString &path, qint64 soundLength)
{
    Found found;
    found.backup = backUpAndCut(path, soundLength);
    if (!found.backup.isEmpty()) {
        found.tellUser = true;
        return found;
    }
    Uncut &uncut = m_uncut[fileKey(path)];
    found.tellUser = !uncut.told;
    uncut.told = true;
    return found;
}

QString DamagedFiles::foundSound(const QString &path)
{
    const QString key = fileKey(path);
    m_uncut.remove(key);
    return m_backupsToTell.take(key);
}

bool DamagedFiles::awaitsCut(const QString &path) const
{
    return !m_uncut.isEmpty() && m_uncut.contains(fileKey(path));
}

void DamagedFiles::requireBackedUp(const QString &path)
{
    if (m_uncut.isEmpty())
        return;
    const auto it = m_uncut.constFind(fileKey(path));
    if (it == m_uncut.constEnd())
        return;
    const QString backup = backUpAndCut(path, it->soundLength);
    if (backup.isEmpty())
        throw StoreError(
            QStringLiteral("The file \"%1\" is damaged and no backup copy of it could be "
                           "made: nothing is written to it until there is room for one.")
                .arg(path));
    m_backupsToTell.insert(fileKey(path), backup);
}

QString DamagedFiles::backUpAndCut(const QString &path, qint64 soundLength)
{
    const QString backup = nextBackupName(path);
    if (!QFile::copy(path, backup)) {
        m_uncut[fileKey(path)].soundLength = soundLength;
        return {};
    }
    m_uncut.remove(fileKey(path));
    // Unbuffered, as every file written in place (see TaskDataFile).
    QFile cut(path);
    if (cut.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        cut.resize(soundLength);
    return backup;
}
