#pragma once
// Windows bitmap files. Quorix writes 24 bits per pixel, bottom-up: every reader opens
// that as opaque, and a 1920 x 1080 screen takes 6.2 MB instead of the 8.3 MB of 32 bits,
// for every viewer that reads it over the network. An image without pixels gives the two
// headers alone (0 x 0); transparency is dropped, the colours kept.
#include "core/WholeFile.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstddef>
#include <vector>

namespace quorix {

QByteArray encodeBmp(const QImage &image);

// The two headers of a bottom-up 24-bit picture, and the length of one of its rows
// (padded to four bytes).
QByteArray bmp24Headers(int width, int height);
std::size_t bmp24Stride(int width);

// Throws FileError when the file cannot be written.
void writeBmpFile(const QString &path, const QImage &image);

struct Bmp24File;
// The headers, then the rows, of a 24-bit bitmap file made by the JPEG decoder: written as
// they are, with no copy into one buffer.
std::vector<FilePiece> bmp24Pieces(const Bmp24File &bmp);

} // namespace quorix
