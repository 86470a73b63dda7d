#pragma once

#include <QByteArray>

class QFile;
class QString;

// The rest of an open file in an array of exactly its size (QIODevice::readAll()
// may leave twice the file allocated, and a task file is the largest thing the
// program holds). Throws StoreError when the file cannot be read.
QByteArray readWholeFile(QFile &file);
// The whole file at path; none when it is missing. Throws StoreError when it is
// there but cannot be read.
QByteArray readFileIfThere(const QString &path);
