#include "capture/PreviewFit.h"

#include "capture/FastScale.h"

#include <stdexcept>

namespace quorix {

QSize previewSize(QSize source)
{
    const int w = source.width();
    const int h = source.height();
    if (w <= 0 || h <= 0)
        throw std::domain_error("Division by zero");
    // The products stay below 2^31 for any picture up to 5 million pixels a side.
    if (w > h)
        return {kPreviewWidth, static_cast<int>(static_cast<long long>(h) * kPreviewWidth / w)};
    return {static_cast<int>(static_cast<long long>(w) * kPreviewHeight / h), kPreviewHeight};
}

QImage fitPreview(const QImage &source)
{
    const QSize size = previewSize(source.size());
    if (size.isEmpty())
        return QImage(size, QImage::Format_RGB32);
    return scaleBilinear(source, size);
}

} // namespace quorix
