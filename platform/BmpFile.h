#pragma once
// Windows bitmap files. Quorix writes 32 bits per pixel, bottom-up, with the fourth byte
// of every pixel forced to 255, so that readers which take that byte as alpha still show
// the picture opaque. An image without pixels gives the two headers alone (0 x 0).
#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstddef>

namespace quorix {

QByteArray encodeBmp(const QImage &image);

// The two headers of a bottom-up 24-bit picture, and the length of one of its rows
// (padded to four bytes).
QByteArray bmp24Headers(int width, int height);
std::size_t bmp24Stride(int width);

// Throws FileError when the file cannot be written.
void writeBmpFile(const QString &path, const QImage &image);

} // namespace quorix
