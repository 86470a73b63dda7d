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
    // A fixed threshold: glibc's own one rises after each large block is freed.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
}
