#pragma once
#include <QImage>

namespace quorix {

// Stretches `bitmap` in place to exactly width x height, proportions not kept. A size
// with a zero side gives an empty bitmap, and an empty bitmap stretched to a size gives a
// white one. False, with the bitmap unchanged, when that cannot be done.
bool stretchPicture(QImage &bitmap, int width, int height);

} // namespace quorix
