#include "AppendJournal.h"

#include "SaveFile.h"
#include "StoreError.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <optional>

namespace {

// Enough of the append to tell it from anything written there later.
constexpr qint64 HeadBytes = 4096;

struct Marker
{
    qint64 before = 0;
    qint64 after = 0;
    QByteArray head; // the append's first bytes
};

// "<before> <after>\n" and the head; anything else is no marker of ours.
std::optional<Marker> readMarker(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = f.read(HeadBytes + 64);
    const qsizetype eol = bytes.indexOf('\n');
    const QList<QByteArray> sizes = bytes.left(eol).split(' ');
    if (eol < 0 || sizes.size() != 2)
        return std::nullopt;
    Marker m;
    bool ok1 = false;
    bool ok2 = false;
    m.before = sizes[0].toLongLong(&ok1);
    m.after = sizes[1].toLongLong(&ok2);
    m.head = bytes.mid(eol + 1);
    if (!ok1 || !ok2 || m.before < 0 || m.after < m.before ||
        m.head.size() != std::min(HeadBytes, m.after - m.before))
        return std::nullopt;
    return m;
}

} // namespace

QString AppendJournal::markerPath() const
{
    return m_path + QStringLiteral(".pending");
}

void AppendJournal::begin(qint64 sizeBefore, const QByteArray &bytes) const
{
    const QByteArray text = QByteArray::number(sizeBefore) + ' ' +
                            QByteArray::number(sizeBefore + bytes.size()) + '\n' +
                            bytes.left(HeadBytes);
    QString reason;
    if (!SaveFile::replace(markerPath(), text, &reason))
        throw StoreError::cannotCreate(markerPath(), reason);
}

bool AppendJournal::end() const
{
    return QFile::remove(markerPath()) || !QFileInfo::exists(markerPath());
}

AppendJournal::Recovery AppendJournal::recover() const
{
    const QString marker = markerPath();
    if (!QFileInfo::exists(marker))
        return Recovery::NothingPending;
    Recovery done = Recovery::Kept;
    if (const std::optional<Marker> m = readMarker(marker)) {
        QFile f(m_path);
        const qint64 size = f.size();
        if (size > m->before && size <= m->after) {
            if (!f.open(QIODevice::ReadWrite))
                return Recovery::Failed;
            // Only the append's own bytes are taken back.
            f.seek(m->before);
            const QByteArray there = f.read(std::min<qint64>(HeadBytes, size - m->before));
            if (m->head.startsWith(there)) {
                if (!f.resize(m->before))
                    return Recovery::Failed;
                done = Recovery::RolledBack;
            }
        }
    }
    return QFile::remove(marker) ? done : Recovery::Failed;
}
