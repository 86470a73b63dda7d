#include "TestFiles.h"

#include <QFile>
#include <stdexcept>

namespace TestFiles {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write fixture");
    f.write(bytes);
}

QByteArray record(const QByteArray &text)
{
    const quint32 n = quint32(text.size());
    QByteArray out;
    out.append(char(n & 0xFF)).append(char((n >> 8) & 0xFF));
    out.append(char((n >> 16) & 0xFF)).append(char((n >> 24) & 0xFF));
    return out + text;
}

QByteArray fields(std::initializer_list<QByteArray> parts)
{
    QByteArray out;
    bool first = true;
    for (const QByteArray &p : parts) {
        if (!first)
            out.append(char(0xA6));
        out.append(p);
        first = false;
    }
    return out;
}

} // namespace TestFiles
