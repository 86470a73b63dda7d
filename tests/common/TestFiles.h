#pragma once

#include <QByteArray>
#include <QString>

// Helpers for fixtures written byte by byte in the tests.
namespace TestFiles {
QByteArray readAll(const QString &path);
void writeAll(const QString &path, const QByteArray &bytes);
// A record as it stands in a record file: little-endian length, then the text.
QByteArray record(const QByteArray &text);
// The ten fields joined by 0xA6 (fields given as Latin-1 / Windows-1252 bytes).
QByteArray fields(std::initializer_list<QByteArray> parts);
} // namespace TestFiles
