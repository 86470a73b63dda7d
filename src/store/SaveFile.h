#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <functional>

namespace SaveFile {

// Writes bytes to path through a temporary file renamed over it, so that the file
// is the old one or the new one, whole. False, with the reason when asked, if it
// could not be written: the old file then stays. (A short write or a failure of
// the last flush, as on a full disk, is caught here; QSaveFile::commit() alone
// misses the latter and would put a short file in place of the original.)
bool replace(const QString &path, const QByteArray &bytes, QString *reason = nullptr);
// The same with the bytes written by write into the temporary file as they are
// made; write returns false when a write failed.
bool replace(const QString &path, const std::function<bool(QIODevice &)> &write,
             QString *reason = nullptr);

} // namespace SaveFile
