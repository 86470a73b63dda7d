#include "FileJournal.h"

#include "StoreError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace {

const QByteArray EndLine = QByteArrayLiteral("end");

// The folder's entries (a rename, a removal) reach the disk.
void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

bool flushToDisk(QFile &f)
{
    return f.flush() && ::fsync(f.handle()) == 0;
}

bool writeWhole(const QString &path, const QByteArray &bytes, QString *reason)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size() ||
        !flushToDisk(f)) {
        *reason = f.errorString();
        f.close();
        QFile::remove(path);
        return false;
    }
    return true;
}

// The names a whole journal lists; none when it is torn or not a journal.
std::optional<QStringList> readJournal(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    // A real journal names a few files: anything far larger is no journal.
    const QByteArray bytes = f.read(64 * 1024);
    QList<QByteArray> lines = bytes.split('\n');
    if (lines.size() < 2 || lines.takeLast() != QByteArray() || lines.takeLast() != EndLine)
        return std::nullopt;
    QStringList names;
    for (const QByteArray &line : lines) {
        const QString name = QFile::decodeName(line);
        if (!FileJournal::isPlainName(name))
            return std::nullopt;
        names << name;
    }
    return names;
}

// Renames every pending file still there over its file; false when one failed.
bool finish(const QString &folder, const QString &step, const QStringList &names)
{
    bool ok = true;
    for (const QString &name : names) {
        const QString pending = FileJournal::pendingPath(folder, name, step);
        if (!QFileInfo::exists(pending))
            continue; // put in place before the interruption
        const QString target = folder + QLatin1Char('/') + name;
        if (std::rename(QFile::encodeName(pending).constData(),
                        QFile::encodeName(target).constData()) != 0)
            ok = false;
    }
    syncFolder(folder);
    return ok;
}

} // namespace

bool FileJournal::isPlainName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

FileJournal::FileJournal(const QString &folder, const QString &step)
    : m_folder(QDir::cleanPath(folder)), m_step(step)
{
}

FileJournal::~FileJournal()
{
    if (!m_committed)
        discardStaged();
}

QString FileJournal::journalPath(const QString &folder, const QString &step)
{
    return QDir::cleanPath(folder) + QStringLiteral("/.") + step + QStringLiteral(".journal");
}

QString FileJournal::pendingPath(const QString &folder, const QString &fileName,
                                 const QString &step)
{
    return QDir::cleanPath(folder) + QLatin1Char('/') + fileName + QLatin1Char('.') + step +
           QStringLiteral(".pending");
}

void FileJournal::stage(const QString &fileName, const QByteArray &bytes)
{
    Q_ASSERT(isPlainName(fileName));
    const QString pending = pendingPath(m_folder, fileName, m_step);
    QString reason;
    if (!writeWhole(pending, bytes, &reason))
        throw StoreError::cannotCreate(pending, reason);
    m_staged << fileName;
}

void FileJournal::commit()
{
    QByteArray journal;
    for (const QString &name : m_staged)
        journal += QFile::encodeName(name) + '\n';
    journal += EndLine + '\n';
    // Written beside, then renamed: the journal is whole or not there.
    const QString path = journalPath(m_folder, m_step);
    const QString partial = path + QStringLiteral(".partial");
    QString reason;
    if (!writeWhole(partial, journal, &reason))
        throw StoreError::cannotCreate(path, reason);
    if (std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(path).constData()) !=
        0) {
        QFile::remove(partial);
        throw StoreError::cannotCreate(path, QString::fromLocal8Bit(std::strerror(errno)));
    }
    syncFolder(m_folder);
    m_committed = true;
    // From here on the step happens, now or at the next start.
    if (!finish(m_folder, m_step, m_staged))
        throw StoreError(QStringLiteral("Not every file could be put in place in \"%1\"; the "
                                        "next start of the program finishes it.")
                             .arg(QDir::toNativeSeparators(m_folder)));
    QFile::remove(path);
    syncFolder(m_folder);
}

void FileJournal::discardStaged()
{
    for (const QString &name : m_staged)
        QFile::remove(pendingPath(m_folder, name, m_step));
    m_staged.clear();
}

FileJournal::Recovered FileJournal::recover(const QString &folder, const QString &step)
{
    const QString path = journalPath(folder, step);
    const QString dir = QDir::cleanPath(folder);
    if (const std::optional<QStringList> names = readJournal(path)) {
        if (!finish(dir, step, *names))
            return Recovered::Nothing; // tried again at the next start
        QFile::remove(path);
        syncFolder(dir);
        return Recovered::Finished;
    }
    // No whole journal: the step never happened; what it staged goes.
    bool removed = QFile::remove(path) | QFile::remove(path + QStringLiteral(".partial"));
    const QString suffix = QLatin1Char('.') + step + QStringLiteral(".pending");
    const QStringList pending =
        QDir(dir).entryList({QLatin1Char('*') + suffix}, QDir::Files | QDir::Hidden);
    for (const QString &name : pending)
        removed = QFile::remove(dir + QLatin1Char('/') + name) || removed;
    return removed ? Recovered::RolledBack : Recovered::Nothing;
}
