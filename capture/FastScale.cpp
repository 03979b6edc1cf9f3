#include "capture/FastScale.h"

#include <cstdint>
#include <vector>

namespace quorix {

namespace {

// Where an output column or row samples the source: the pixel before the sample point
// and the 8-bit weight of the one after it. Sample points are the output pixels' centres
// mapped into the source, kept inside it.
struct Tap
{
    int index;
    std::uint32_t weight;
};

std::vector<Tap> taps(int from, int to)
{
    std::vector<Tap> out(static_cast<std::size_t>(to));
    // 16.16 fixed point: position = (i + 0.5) * from / to - 0.5.
    const std::int64_t step = (std::int64_t(from) << 16) / to;
    std::int64_t pos = step / 2 - (1 << 15);
    for (int i = 0; i < to; ++i, pos += step) {
        std::int64_t p = pos < 0 ? 0 : pos;
        int index = int(p >> 16);
        std::uint32_t weight = std::uint32_t((p >> 8) & 0xFF);
        if (index >= from - 1) {
            index = from - 1;
            weight = 0;
        }
        out[std::size_t(i)] = {index, weight};
    }
    return out;
}

// Blends two pixels, red and blue in one multiply and green in another; w is the weight
// of b out of 256.
inline std::uint32_t blend(std::uint32_t a, std::uint32_t b, std::uint32_t w)
{
    const std::uint32_t wa = 256 - w;
    const std::uint32_t rb = (((a & 0x00FF00FFu) * wa + (b & 0x00FF00FFu) * w) >> 8) & 0x00FF00FFu;
    const std::uint32_t g = (((a & 0x0000FF00u) * wa + (b & 0x0000FF00u) * w) >> 8) & 0x0000FF00u;
    return 0xFF000000u | rb | g;
}

} // namespace

QImage scaleBilinear(const QImage &source, QSize size)
{
    if (source.isNull() || size.isEmpty())
        return QImage(size.isValid() ? size : QSize(), QImage::Format_RGB32);
    const QImage src = source.format() == QImage::Format_RGB32
                           ? source
                           : source.convertToFormat(QImage::Format_RGB32);
    QImage out(size, QImage::Format_RGB32);
    if (out.isNull() || src.isNull())
        return QImage();
    const std::vector<Tap> xs = taps(src.width(), size.width());
    const std::vector<Tap> ys = taps(src.height(), size.height());
    const int lastRow = src.height() - 1;
    for (int y = 0; y < size.height(); ++y) {
        const Tap ty = ys[std::size_t(y)];
        const auto *r0 = reinterpret_cast<const std::uint32_t *>(src.constScanLine(ty.index));
        const auto *r1 = reinterpret_cast<const std::uint32_t *>(
            src.constScanLine(ty.index < lastRow ? ty.index + 1 : lastRow));
        auto *o = reinterpret_cast<std::uint32_t *>(out.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const Tap tx = xs[std::size_t(x)];
            const int x1 = tx.weight ? tx.index + 1 : tx.index;
            const std::uint32_t top = blend(r0[tx.index], r0[x1], tx.weight);
            const std::uint32_t bottom = blend(r1[tx.index], r1[x1], tx.weight);
            o[x] = blend(top, bottom, ty.weight);
        }
    }
    return out;
}

} // namespace quorix
