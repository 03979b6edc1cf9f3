#pragma once
// Row conversions between the capture's pixels and the files' pixels, several megabytes
// twice a second, so written for vector units: SSSE3's byte shuffle where the processor
// has it (every x86-64 processor of the last fifteen years), plain loops elsewhere.
// Format_RGB32 pixels are the bytes B, G, R, X on little-endian machines.
#include <cstddef>
#include <cstdint>

namespace quorix {

// B, G, R, X pixels as R, G, B (a PNG row).
void bgrxToRgb(unsigned char *out, const unsigned char *in, int width);

// B, G, R, X pixels as B, G, R (a 24-bit bitmap row).
void bgrxToBgr(unsigned char *out, const unsigned char *in, int width);

// B, G, R pixels as R, G, B.
void bgrToRgb(unsigned char *out, const unsigned char *in, int width);

// R, G, B pixels as opaque Format_RGB32 pixels.
void rgbToOpaque(std::uint32_t *out, const unsigned char *in, int width);

// out[i] = a[i] - b[i], bytewise (the PNG "up" filter).
void subtractRow(unsigned char *out, const unsigned char *a, const unsigned char *b, std::size_t n);

// row[i] += prev[i], bytewise (undoing it).
void addRow(unsigned char *row, const unsigned char *prev, std::size_t n);

} // namespace quorix
