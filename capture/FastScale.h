#pragma once
// A bilinear resize of 32-bit pictures in integer arithmetic, for the preview, which is
// fitted twice a second: a smooth transformation of a whole screen costs several
// milliseconds, this well under one. Only the pixels it samples are read.
#include <QImage>
#include <QSize>

namespace quorix {

// `source` stretched to `size` (proportions not kept), Format_RGB32. Other formats are
// converted first. An empty size or source gives an empty picture.
QImage scaleBilinear(const QImage &source, QSize size);

} // namespace quorix
