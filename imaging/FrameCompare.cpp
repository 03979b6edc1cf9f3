#include "imaging/FrameCompare.h"

#include <algorithm>
#include <cstring>

namespace quorix {

bool sameOutside(const QImage &a, const QImage &b, const std::vector<QRect> &ignored)
{
    if (a.isNull() || b.isNull() || a.size() != b.size() || a.format() != b.format() ||
        a.bytesPerLine() != b.bytesPerLine())
        return false;
    if (a.constBits() == b.constBits())
        return true;
    const int bytesPerPixel = a.depth() / 8;
    if (bytesPerPixel <= 0) // packed formats: compare every byte
        return std::memcmp(a.constBits(), b.constBits(), std::size_t(a.sizeInBytes())) == 0;
    const QRect frame = a.rect();
    std::vector<QRect> holes;
    for (const QRect &r : ignored)
        if (const QRect inside = r.intersected(frame); !inside.isEmpty())
            holes.push_back(inside);
    const std::size_t rowBytes = std::size_t(a.width()) * std::size_t(bytesPerPixel);
    std::vector<std::pair<int, int>> spans; // ignored column ranges of one row, sorted
    for (int y = 0; y < a.height(); ++y) {
        const uchar *pa = a.constScanLine(y);
        const uchar *pb = b.constScanLine(y);
        spans.clear();
        for (const QRect &h : holes)
            if (y >= h.top() && y <= h.bottom())
                spans.emplace_back(h.left(), h.right() + 1);
        if (spans.empty()) {
            if (std::memcmp(pa, pb, rowBytes) != 0)
                return false;
            continue;
        }
        std::sort(spans.begin(), spans.end());
        int x = 0;
        for (const auto &[from, to] : spans) {
            if (from > x && std::memcmp(pa + std::size_t(x) * bytesPerPixel,
                                        pb + std::size_t(x) * bytesPerPixel,
                                        std::size_t(from - x) * bytesPerPixel) != 0)
                return false;
            x = std::max(x, to);
        }
        if (x < a.width() &&
            std::memcmp(pa + std::size_t(x) * bytesPerPixel, pb + std::size_t(x) * bytesPerPixel,
                        std::size_t(a.width() - x) * bytesPerPixel) != 0)
            return false;
    }
    return true;
}

} // namespace quorix
