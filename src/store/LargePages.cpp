#include "LargePages.h"

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

#include <cstdint>

#ifdef __GLIBC__
#include <malloc.h>
#endif

void adviseLargePages(void *memory, qint64 size)
{
#ifdef Q_OS_LINUX
    constexpr std::uintptr_t Large = std::uintptr_t(2) << 20;
    if (size < qint64(Large))
        return;
    const auto start = reinterpret_cast<std::uintptr_t>(memory);
    const std::uintptr_t from = (start + Large - 1) & ~(Large - 1);
    const std::uintptr_t to = (start + std::uintptr_t(size)) & ~(Large - 1);
    if (to > from)
        madvise(reinterpret_cast<void *>(from), to - from, MADV_HUGEPAGE);
#else
    Q_UNUSED(memory);
    Q_UNUSED(size);
#endif
}

void giveLargeBlocksBack()
{
#ifdef __GLIBC__
    // Fixed, where glibc's own threshold rises after each large block is freed.
    // Smaller blocks (a window of the file a category delete reads) stay in the
    // heap, which keeps what it has: handing every freed block back makes the next
    // command fault it in again, which costs more than its work.
    mallopt(M_MMAP_THRESHOLD, 8 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
}
