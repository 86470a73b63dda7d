#pragma once

#include <QFile>

// What the sources of TaskDataFile share about writing a file where it stands.
namespace TaskDataFileWrites {

// Files that are written in place are opened unbuffered: a buffered write that
// fails leaves its bytes in the buffer, and the next flush (resize, close) would
// refuse to cut the file back or land them after the cut.
constexpr QIODevice::OpenMode InPlace = QIODevice::ReadWrite | QIODevice::Unbuffered;

// Writes length bytes at offset of a file opened unbuffered.
inline bool writeAt(QFile &f, qint64 offset, const char *bytes, qint64 length)
{
    return f.seek(offset) && f.write(bytes, length) == length;
}

} // namespace TaskDataFileWrites
