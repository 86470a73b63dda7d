#include "SaveFile.h"

#include <QSaveFile>

namespace SaveFile {

bool replace(const QString &path, const QByteArray &bytes, QString *reason)
{
    return replace(
        path, [&](QIODevice &out) { return out.write(bytes) == bytes.size(); }, reason);
}

bool replace(const QString &path, const std::function<bool(QIODevice &)> &write, QString *reason)
{
    QSaveFile file(path);
    const bool ok = file.open(QIODevice::WriteOnly) && write(file) && file.flush() && file.commit();
    if (!ok) {
        if (reason)
            *reason = file.errorString();
        file.cancelWriting();
    }
    return ok;
}

} // namespace SaveFile
