#include "BenchFloors.h"

#include "store/TaskRecord.h"

#include <QFile>
#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <random>
#include <unistd.h>
#include <vector>

namespace BenchFloors {

namespace {

using Steady = std::chrono::steady_clock;

double secondsSince(Steady::time_point t0)
{
    return std::chrono::duration<double>(Steady::now() - t0).count();
}

std::vector<quint64> randomKeys(int n)
{
    std::mt19937_64 gen(20261209);
    std::vector<quint64> keys(size_t(std::max(n, 0)));
    for (quint64 &k : keys)
        k = gen();
    return keys;
}

// A copy of the file beside it, removed when it goes: the floors write to it.
struct ScratchCopy
{
    explicit ScratchCopy(const QString &source) : path(source + QStringLiteral(".scratch"))
    {
        QFile::remove(path);
        QFile::copy(source, path);
    }
    ~ScratchCopy() { QFile::remove(path); }
    QString path;
};

} // namespace

double sortKeys(int n)
{
    std::vector<quint64> keys = randomKeys(n);
    const Steady::time_point t0 = Steady::now();
    std::sort(keys.begin(), keys.end());
    return secondsSince(t0);
}

double selectKeys(int n)
{
    const std::vector<quint64> keys = randomKeys(n);
    std::vector<quint64> kept;
    const Steady::time_point t0 = Steady::now();
    kept.reserve(keys.size());
    std::copy_if(keys.begin(), keys.end(), std::back_inserter(kept),
                 [](quint64 k) { return (k & 3) == 0; });
    return secondsSince(t0);
}

double changeOneRecord(const QString &taskFile)
{
    const ScratchCopy copy(taskFile);
    const QByteArray name = QFile::encodeName(copy.path);
    const QByteArray record(100, 'x');
    const QByteArray blanks(96, ' ');
    const Steady::time_point t0 = Steady::now();
    const int fd = ::open(name.constData(), O_RDWR);
    if (fd < 0)
        return -1;
    const off_t end = ::lseek(fd, 0, SEEK_END);
    bool ok = ::pwrite(fd, record.constData(), size_t(record.size()), end) == record.size();
    ok = ::pwrite(fd, blanks.constData(), size_t(blanks.size()), end / 2) == blanks.size() && ok;
    ::close(fd);
    return ok ? secondsSince(t0) : -1;
}

double rewriteCategorySpan(const QString &taskFile, const QByteArray &category)
{
    const ScratchCopy copy(taskFile);
    qint64 first = -1;
    qint64 last = -1;
    {
        QFile f(copy.path);
        if (!f.open(QIODevice::ReadOnly))
            return -1;
        const QByteArray bytes = f.readAll();
        qint64 pos = 0;
        while (const std::optional<QByteArray> text = TaskRecord::textAt(bytes, pos)) {
            if (TaskRecord::categorySpan(*text).in(*text) == category) {
                first = first < 0 ? pos : first;
                last = pos + 4 + text->size();
            }
            pos += 4 + text->size();
        }
    }
    if (first < 0)
        return 0;
    const QByteArray name = QFile::encodeName(copy.path);
    // Dropped from the cache first would measure the disk; the program finds its
    // file cached, having just read it.
    std::vector<char> piece(1 << 20);
    const Steady::time_point t0 = Steady::now();
    const int fd = ::open(name.constData(), O_RDWR);
    if (fd < 0)
        return -1;
    for (qint64 at = first; at < last;) {
        const size_t n = size_t(std::min<qint64>(last - at, qint64(piece.size())));
        if (::pread(fd, piece.data(), n, at) != ssize_t(n) ||
            ::pwrite(fd, piece.data(), n, at) != ssize_t(n))
            break;
        at += qint64(n);
    }
    ::close(fd);
    return secondsSince(t0);
}

double writeAndSync(const QString &path, qint64 bytes)
{
    const QByteArray block(1 << 20, 'x');
    const QByteArray name = QFile::encodeName(path + QStringLiteral(".floor"));
    const Steady::time_point t0 = Steady::now();
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        return -1;
    for (qint64 left = bytes; left > 0;) {
        const qint64 n = std::min<qint64>(left, block.size());
        if (::write(fd, block.constData(), size_t(n)) != n)
            break;
        left -= n;
    }
    ::fsync(fd);
    ::close(fd);
    const double seconds = secondsSince(t0);
    ::unlink(name.constData());
    return seconds;
}

} // namespace BenchFloors
