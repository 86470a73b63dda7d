// The day's copy of the record files, made on a thread of its own while the
// commands go on: what they overwrite first is kept in a journal beside the copy
// and put back into it.
#include "DailyBackup.h"

#include "store/FirstWriteOfDay.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>

#include <atomic>
#include <thread>
#include <vector>

namespace {

const QString JournalName = QStringLiteral(".pending");
const QString PartialPrefix = QStringLiteral(".");
const QString PartialSuffix = QStringLiteral(".partial");
constexpr quint32 JournalMagic = 0x4E444231; // "NDB1"

// Bytes of a record file as they were before the day's first write.
struct Original
{
    qint32 file = 0; // index among the record files
    qint64 offset = 0;
    QByteArray bytes;
};

// The first `size` bytes of source copied to target; the system's reason when not.
bool copyHead(const QString &source, const QString &target, qint64 size, QString *reason)
{
    QFile in(source);
    QFile out(target);
    if (!in.open(QIODevice::ReadOnly)) {
        *reason = in.errorString();
        return false;
    }
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *reason = out.errorString();
        return false;
    }
    QByteArray piece;
    for (qint64 left = size; left > 0;) {
        piece = in.read(std::min<qint64>(left, 1 << 20));
        if (piece.isEmpty() || out.write(piece) != piece.size()) {
            *reason = piece.isEmpty() ? in.errorString() : out.errorString();
            return false;
        }
        left -= piece.size();
    }
    return out.flush();
}

// Puts the originals back into the copies, the latest first, so that where a
// place was overwritten twice its first bytes win.
bool putBack(const QString &partial, const QStringList &names,
             const std::vector<Original> &originals)
{
    for (auto it = originals.rbegin(); it != originals.rend(); ++it) {
        QFile copy(partial + QLatin1Char('/') + names.value(it->file));
        if (!copy.open(QIODevice::ReadWrite) || !copy.seek(it->offset) ||
            copy.write(it->bytes) != it->bytes.size())
            return false;
    }
    return true;
}

} // namespace

struct DailyBackup::Pending
{
    QString leaf;
    QString partial;
    std::vector<qint64> sizes; // of the record files when the day began; -1: missing
    std::vector<Original> originals;
    QFile journal;
    std::thread worker;
    bool ok = false; // set by the worker
    QString reason;
};

DailyBackup::DailyBackup(const QString &programFolder, const QStringList &fileNames,
                         const Clock &clock, QObject *parent)
    : QObject(parent), m_programFolder(programFolder),
      m_folder(programFolder + QStringLiteral("backups")), m_fileNames(fileNames), m_clock(clock)
{
    for (qsizetype i = 0; i < std::min<qsizetype>(2, fileNames.size()); ++i)
        m_recordPaths << QFileInfo(programFolder + fileNames[i]).absoluteFilePath();
}

DailyBackup::~DailyBackup()
{
    finishPending();
}

void DailyBackup::watch(FirstWriteOfDay &firstWrite)
{
    firstWrite.setStep([this] { makeTodaysCopy(); });
    firstWrite.setChangeStep([this](const QString &path, qint64 offset, qint64 length) {
        beforeChange(path, offset, length);
    });
}

bool DailyBackup::startCopy(const QString &leaf, QString *reason)
{
    const QString target = m_folder + QLatin1Char('/') + leaf;
    if (QFileInfo::exists(target))
        return false;
    auto p = std::make_unique<Pending>();
    p->leaf = leaf;
    p->partial = m_folder + QLatin1Char('/') + PartialPrefix + leaf + PartialSuffix;
    QDir(p->partial).removeRecursively();
    if (!QDir().mkpath(p->partial))
        return false;
    const auto fail = [&](const QString &why) {
        *reason = why;
        QDir(p->partial).removeRecursively();
        return false;
    };
    // The small files at once.
    for (qsizetype i = m_recordPaths.size(); i < m_fileNames.size(); ++i) {
        QFile source(m_programFolder + m_fileNames[i]);
        if (source.exists() && !source.copy(p->partial + QLatin1Char('/') + m_fileNames[i]))
            return fail(source.errorString());
    }
    // The journal names the record files' sizes before anything is written.
    p->journal.setFileName(p->partial + QLatin1Char('/') + JournalName);
    if (!p->journal.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(p->journal.errorString());
    QDataStream header(&p->journal);
    header << JournalMagic << qint32(m_recordPaths.size());
    for (qsizetype i = 0; i < m_recordPaths.size(); ++i) {
        const QFileInfo info(m_recordPaths[i]);
        p->sizes.push_back(info.exists() ? info.size() : -1);
        header << m_fileNames[i] << p->sizes.back();
    }
    if (header.status() != QDataStream::Ok)
        return fail(p->journal.errorString());
    Pending *pending = p.get();
    p->worker = std::thread([this, pending] {
        if (m_copyGate)
            m_copyGate();
        pending->ok = true;
        for (size_t i = 0; i < pending->sizes.size() && pending->ok; ++i)
            if (pending->sizes[i] >= 0)
                pending->ok =
                    copyHead(m_recordPaths[qsizetype(i)],
                             pending->partial + QLatin1Char('/') + m_fileNames[qsizetype(i)],
                             pending->sizes[i], &pending->reason);
        // Put in place on the window's thread, unless something did so meanwhile
        // (a day's copy after it may be under way by then).
        QMetaObject::invokeMethod(
            this,
            [this, pending] {
                if (m_pending.get() == pending)
                    finishPending();
            },
            Qt::QueuedConnection);
    });
    m_pending = std::move(p);
    return true;
}

void DailyBackup::beforeChange(const QString &path, qint64 offset, qint64 length)
{
    if (!m_pending)
        return;
    const qsizetype file = m_recordPaths.indexOf(QFileInfo(path).absoluteFilePath());
    if (file < 0)
        return;
    const qint64 size = m_pending->sizes[size_t(file)];
    if (offset >= size)
        return; // beyond the day's first bytes: written this day
    if (length < 0) {
        finishPending(); // cut or replaced: the copy first
        return;
    }
    Original original{qint32(file), offset, {}};
    const qint64 kept = std::min(length, size - offset);
    QFile f(path);
    if (f.open(QIODevice::ReadOnly) && f.seek(offset))
        original.bytes = f.read(kept);
    if (original.bytes.size() != kept) {
        finishPending(); // the bytes cannot be kept: the copy first
        return;
    }
    // Kept in the journal before the write it precedes can happen; a journal that
    // cannot take them could not finish the copy after a kill.
    QDataStream out(&m_pending->journal);
    out << original.file << original.offset << original.bytes;
    m_pending->originals.push_back(std::move(original));
    if (out.status() != QDataStream::Ok)
        finishPending();
}

void DailyBackup::finishPending()
{
    if (!m_pending)
        return;
    const std::unique_ptr<Pending> p = std::move(m_pending);
    if (p->worker.joinable())
        p->worker.join();
    p->journal.close();
    const QString target = m_folder + QLatin1Char('/') + p->leaf;
    QString reason = p->reason;
    if (p->ok && putBack(p->partial, m_fileNames, p->originals) &&
        QFile::remove(p->journal.fileName()) && QDir().rename(p->partial, target)) {
        removeOldest();
        return;
    }
    QDir(p->partial).removeRecursively();
    failedCopy(reason);
}

void DailyBackup::recoverPendingCopies(const QString &programFolder)
{
    const QString folder = programFolder + QStringLiteral("backups");
    const QStringList partials =
        QDir(folder).entryList({PartialPrefix + QLatin1Char('*') + PartialSuffix},
                               QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &name : partials) {
        const QString partial = folder + QLatin1Char('/') + name;
        QFile journal(partial + QLatin1Char('/') + JournalName);
        if (!journal.open(QIODevice::ReadOnly)) {
            // Cut short before the first write of the day: nothing to keep.
            QDir(partial).removeRecursively();
            continue;
        }
        QDataStream in(&journal);
        quint32 magic = 0;
        qint32 count = 0;
        in >> magic >> count;
        QStringList names;
        std::vector<qint64> sizes;
        for (qint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
            QString fileName;
            qint64 size = -1;
            in >> fileName >> size;
            names << fileName;
            sizes.push_back(size);
        }
        if (magic != JournalMagic || in.status() != QDataStream::Ok) {
            // Cut short before the first write of the day: nothing to keep.
            journal.close();
            QDir(partial).removeRecursively();
            continue;
        }
        std::vector<Original> originals;
        for (;;) {
            Original o;
            in >> o.file >> o.offset >> o.bytes;
            // A torn last entry: its write never came.
            if (in.status() != QDataStream::Ok || o.file < 0 || o.file >= count)
                break;
            originals.push_back(std::move(o));
        }
        journal.close();
        bool ok = true;
        QString reason;
        for (qint32 i = 0; i < count && ok; ++i)
            if (sizes[size_t(i)] >= 0)
                ok = copyHead(programFolder + names[i], partial + QLatin1Char('/') + names[i],
                              sizes[size_t(i)], &reason);
        const QString target = folder + QLatin1Char('/') +
                               name.mid(PartialPrefix.size(),
                                        name.size() - PartialPrefix.size() - PartialSuffix.size());
        if (ok && !QFileInfo::exists(target) && putBack(partial, names, originals) &&
            QFile::remove(journal.fileName()) && QDir().rename(partial, target))
            continue;
        QDir(partial).removeRecursively();
    }
}
