#pragma once
// Whether two captured frames differ where it matters. The presenter's own window is on
// the screen it captures: every frame sent repaints its preview, which changes the screen,
// which would be captured and sent again with a smaller copy of itself, two to four frames
// for one change. Differences inside the presenter's own windows therefore do not count.
#include <QImage>
#include <QRect>

#include <vector>

namespace quorix {

// True when `a` and `b` have the same size and format and every pixel outside the
// rectangles `ignored` (in the frames' pixels) is the same. Null frames are never equal.
bool sameOutside(const QImage &a, const QImage &b, const std::vector<QRect> &ignored);

} // namespace quorix
