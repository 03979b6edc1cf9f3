#include "imaging/PixelRows.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define QUORIX_SHUFFLE 1
#endif

namespace quorix {

namespace {

void bgrxToRgbPlain(unsigned char *out, const unsigned char *in, int width)
{
    for (int x = 0; x < width; ++x, in += 4, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
    }
}

void bgrxToBgrPlain(unsigned char *out, const unsigned char *in, int width)
{
    for (int x = 0; x < width; ++x, in += 4, out += 3) {
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
    }
}

void rgbToOpaquePlain(std::uint32_t *out, const unsigned char *in, int width)
{
    for (int x = 0; x < width; ++x, in += 3)
        out[x] = 0xFF000000u | std::uint32_t(in[0]) << 16 | std::uint32_t(in[1]) << 8 | in[2];
}

#ifdef QUORIX_SHUFFLE
// Four 4-byte pixels to four 3-byte ones. Each step stores 16 bytes of which 12 are
// pixels, so it stops while 2 pixels remain and the plain loop ends the row.
__attribute__((target("ssse3"))) int shrinkShuffled(unsigned char *out, const unsigned char *in,
                                                    int width, __m128i order)
{
    int x = 0;
    for (; x + 6 <= width; x += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + 4 * x));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + 3 * x), _mm_shuffle_epi8(v, order));
    }
    return x;
}

__attribute__((target("ssse3"))) int bgrxToRgbShuffled(unsigned char *out, const unsigned char *in,
                                                       int width)
{
    return shrinkShuffled(out, in, width,
                          _mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1));
}

__attribute__((target("ssse3"))) int bgrxToBgrShuffled(unsigned char *out, const unsigned char *in,
                                                       int width)
{
    return shrinkShuffled(out, in, width,
                          _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1));
}

// Each step reads 16 bytes of which 12 are pixels: it stops while 2 pixels remain.
__attribute__((target("ssse3"))) int rgbToOpaqueShuffled(std::uint32_t *out,
                                                         const unsigned char *in, int width)
{
    const __m128i order = _mm_setr_epi8(2, 1, 0, -1, 5, 4, 3, -1, 8, 7, 6, -1, 11, 10, 9, -1);
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    int x = 0;
    for (; x + 6 <= width; x += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + 3 * x));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + x),
                         _mm_or_si128(_mm_shuffle_epi8(v, order), opaque));
    }
    return x;
}

const bool kShuffle = [] {
    __builtin_cpu_init(); // may run before the library's own start-up code
    return __builtin_cpu_supports("ssse3") != 0;
}();
#endif

} // namespace

void bgrxToRgb(unsigned char *out, const unsigned char *in, int width)
{
    int x = 0;
#ifdef QUORIX_SHUFFLE
    if (kShuffle)
        x = bgrxToRgbShuffled(out, in, width);
#endif
    bgrxToRgbPlain(out + 3 * x, in + 4 * x, width - x);
}

void bgrxToBgr(unsigned char *out, const unsigned char *in, int width)
{
    int x = 0;
#ifdef QUORIX_SHUFFLE
    if (kShuffle)
        x = bgrxToBgrShuffled(out, in, width);
#endif
    bgrxToBgrPlain(out + 3 * x, in + 4 * x, width - x);
}

void bgrToRgb(unsigned char *out, const unsigned char *in, int width)
{
    for (int x = 0; x < width; ++x, in += 3, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
    }
}

void rgbToOpaque(std::uint32_t *out, const unsigned char *in, int width)
{
    int x = 0;
#ifdef QUORIX_SHUFFLE
    if (kShuffle)
        x = rgbToOpaqueShuffled(out, in, width);
#endif
    rgbToOpaquePlain(out + x, in + 3 * x, width - x);
}

void subtractRow(unsigned char *out, const unsigned char *a, const unsigned char *b, std::size_t n)
{
    std::size_t i = 0;
#ifdef __SSE2__
    for (; i + 16 <= n; i += 16)
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i),
                         _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(a + i)),
                                      _mm_loadu_si128(reinterpret_cast<const __m128i *>(b + i))));
#endif
    for (; i < n; ++i)
        out[i] = static_cast<unsigned char>(a[i] - b[i]);
}

void addRow(unsigned char *row, const unsigned char *prev, std::size_t n)
{
    std::size_t i = 0;
#ifdef __SSE2__
    for (; i + 16 <= n; i += 16)
        _mm_storeu_si128(
            reinterpret_cast<__m128i *>(row + i),
            _mm_add_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(row + i)),
                         _mm_loadu_si128(reinterpret_cast<const __m128i *>(prev + i))));
#endif
    for (; i < n; ++i)
        row[i] = static_cast<unsigned char>(row[i] + prev[i]);
}

} // namespace quorix
