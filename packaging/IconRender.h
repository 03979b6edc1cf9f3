#pragma once
// The installed icons are drawn from one SVG file at every size the menus ask for.
#include <QImage>
#include <QString>

namespace quorix {

// The SVG at `size` x `size` pixels on a transparent background; a null image when the file
// cannot be read as SVG.
QImage renderIcon(const QString &svgPath, int size);

} // namespace quorix
