#include "WholeFile.h"

#include "LargePages.h"
#include "StoreError.h"

#include <QFile>

QByteArray readWholeFile(QFile &file)
{
    QByteArray bytes(file.size() - file.pos(), Qt::Uninitialized);
    adviseLargePages(bytes.data(), bytes.size());
    const qint64 got = file.read(bytes.data(), bytes.size());
    if (got < 0)
        throw StoreError::cannotOpen(file.fileName(), file.errorString());
    bytes.truncate(got);
    return bytes;
}

QByteArray readFileIfThere(const QString &path)
{
    QFile f(path);
    if (!f.exists())
        return {};
    if (!f.open(QIODevice::ReadOnly))
        throw StoreError::cannotOpen(path, f.errorString());
    return readWholeFile(f);
}
