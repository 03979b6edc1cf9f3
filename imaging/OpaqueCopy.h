#pragma once
// Copies 32-bit pixels with the fourth byte set to 255: X servers leave it 0, and readers
// of the exchange bitmap may take it as alpha. Both screen grabs and bitmap files go
// through here, several megabytes twice a second, so it is written for vector units.
#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace quorix {

// `out` and `in` need no alignment (the pixels of a bitmap file start at byte 54).
inline void opaqueCopy(void *out, const void *in, std::size_t n)
{
    auto *o = static_cast<unsigned char *>(out);
    const auto *i = static_cast<const unsigned char *>(in);
    std::size_t x = 0;
#ifdef __SSE2__
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    for (; x + 4 <= n; x += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(i + 4 * x));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(o + 4 * x), _mm_or_si128(v, opaque));
    }
#endif
    for (; x < n; ++x) {
        std::uint32_t p;
        std::memcpy(&p, i + 4 * x, 4);
        p |= 0xFF000000u;
        std::memcpy(o + 4 * x, &p, 4);
    }
}

} // namespace quorix
