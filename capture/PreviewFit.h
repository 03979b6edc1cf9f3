#pragma once
// The preview area is 407 x 264. Landscape pictures are made 407 wide, all others 264
// high, in truncating 32-bit integer arithmetic; only the orientation decides, so a
// landscape picture may come out taller than the area (1024 x 768 gives 407 x 305).
#include "imaging/StretchPicture.h"

#include <QImage>
#include <QSize>

namespace quorix {

constexpr int kPreviewWidth = 407;
constexpr int kPreviewHeight = 264;

// Size of the preview of a source of the given size. Throws std::domain_error for a
// source without pixels, where the division has nothing to divide by.
QSize previewSize(QSize source);

// The source stretched to previewSize(source.size()). Throws like previewSize.
QImage fitPreview(const QImage &source);

} // namespace quorix
