#include "SaveFile.h"

#include <QSaveFile>

namespace SaveFile {

bool replace(const QString &path, const QByteArray &bytes, QString *reason)
{
    QSaveFile file(path);
    const bool ok = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() &&
                    file.flush() && file.commit();
    if (!ok) {
        if (reason)
            *reason = file.errorString();
        file.cancelWriting();
    }
    return ok;
}

} // namespace SaveFile
