#include "FindBytes.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

const char *findBytes(const char *begin, const char *end, const char *needle, size_t length)
{
    if (length == 0)
        return begin;
    if (begin >= end || size_t(end - begin) < length)
        return nullptr;
    if (length == 1)
        return static_cast<const char *>(std::memchr(begin, needle[0], size_t(end - begin)));
    const char *p = begin;
#if defined(__SSE2__)
    const __m128i first = _mm_set1_epi8(needle[0]);
    const __m128i last = _mm_set1_epi8(needle[length - 1]);
    for (; end - p >= static_cast<std::ptrdiff_t>(length - 1 + 16); p += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + length - 1));
        auto both = unsigned(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
        while (both != 0) {
            const int at = __builtin_ctz(both);
            if (std::memcmp(p + at + 1, needle + 1, length - 2) == 0)
                return p + at;
            both &= both - 1;
        }
    }
#endif
    return static_cast<const char *>(memmem(p, size_t(end - p), needle, length));
}
