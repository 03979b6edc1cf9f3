#pragma once
// The compact picture: every picture sent is also written as a lossless PNG beside the
// bitmap, so that the project's viewer reads about a thirtieth of the bytes of the 24-bit
// bitmap for a screen (a fifth for a photograph). Chosen by measurement (bench_formats):
// 8-bit RGB rows with the "up" filter, compressed as one stream by libdeflate at level 2
// (its level 1 is slower on screen content, and no smaller), encode well under 40 ms and
// decode under 10 ms for a 1920 x 1080 screen on one core. Any PNG reader opens it; the
// pixels are exactly those of the bitmap.
#include <QByteArray>
#include <QImage>
#include <QString>

namespace quorix {

struct Bmp24File;

// The compact picture's name in the shared folder; the one place it is spelled.
inline constexpr char kCompactPictureName[] = "shar.png";

// How the rows are filtered before compression (the benchmark compares them; the program
// uses the default).
enum class RowFilter
{
    None,
    Up
};

// The picture as PNG file bytes, its pixels made opaque (the bitmap drops alpha the same
// way). An empty picture gives an empty array.
QByteArray encodeCompactPicture(const QImage &image, RowFilter filter = RowFilter::Up);
// The same for a 24-bit bitmap file made by the JPEG decoder.
QByteArray encodeCompactPicture(const Bmp24File &bmp);

// The picture in PNG file bytes as opaque Format_RGB32. The files this program writes
// (8-bit RGB, not interlaced) take the fast path; any other PNG goes through libpng.
// Throws ImageError for a corrupt, cut-short or oversized file; `name` is for its text.
QImage decodeCompactPicture(const QByteArray &bytes, const QString &name);

} // namespace quorix
