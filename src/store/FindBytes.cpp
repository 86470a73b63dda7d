#include "FindBytes.h"

#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define NUDGERY_FIND_X86 1
#endif

namespace {

#if NUDGERY_FIND_X86
// Both look at the places from p on in blocks: a place is a candidate where the
// needle's first and last bytes both stand, and only candidates are compared.
// The place they stopped at, or the match.
const char *findSse2(const char *&p, const char *end, const char *needle, size_t length)
{
    const __m128i first = _mm_set1_epi8(needle[0]);
    const __m128i last = _mm_set1_epi8(needle[length - 1]);
    for (; size_t(end - p) >= length - 1 + 16; p += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + length - 1));
        auto both = unsigned(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
        for (; both != 0; both &= both - 1) {
            const int at = __builtin_ctz(both);
            if (std::memcmp(p + at + 1, needle + 1, length - 2) == 0)
                return p + at;
        }
    }
    return nullptr;
}

__attribute__((target("avx2"))) const char *findAvx2(const char *&p, const char *end,
                                                     const char *needle, size_t length)
{
    const __m256i first = _mm256_set1_epi8(needle[0]);
    const __m256i last = _mm256_set1_epi8(needle[length - 1]);
    for (; size_t(end - p) >= length - 1 + 32; p += 32) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + length - 1));
        auto both = unsigned(_mm256_movemask_epi8(
            _mm256_and_si256(_mm256_cmpeq_epi8(a, first), _mm256_cmpeq_epi8(b, last))));
        for (; both != 0; both &= both - 1) {
            const int at = __builtin_ctz(both);
            if (std::memcmp(p + at + 1, needle + 1, length - 2) == 0)
                return p + at;
        }
    }
    return nullptr;
}
#endif

} // namespace

const char *findBytes(const char *begin, const char *end, const char *needle, size_t length)
{
    if (length == 0)
        return begin;
    if (begin >= end || size_t(end - begin) < length)
        return nullptr;
    if (length == 1)
        return static_cast<const char *>(std::memchr(begin, needle[0], size_t(end - begin)));
    const char *p = begin;
#if NUDGERY_FIND_X86
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (const char *found =
            avx2 ? findAvx2(p, end, needle, length) : findSse2(p, end, needle, length))
        return found;
    // The last few places, one at a time: a call to memmem costs more than these,
    // and a record's text is searched this way too.
    for (; size_t(end - p) >= length; ++p)
        if (*p == needle[0] && std::memcmp(p + 1, needle + 1, length - 1) == 0)
            return p;
    return nullptr;
#else
    return static_cast<const char *>(memmem(p, size_t(end - p), needle, length));
#endif
}
