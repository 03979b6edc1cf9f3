#pragma once
// The compact picture: every picture sent is also written as a lossless PNG beside the
// bitmap, so that the project's viewer reads about a thirtieth of the bytes of the 24-bit
// bitmap for a screen (a fifth for a photograph). Chosen by measurement (bench_formats):
// 8-bit RGB rows with the "up" filter, compressed as one stream by libdeflate at level 2
// (its level 1 is slower on screen content, and no smaller), encode well under 40 ms and
// decode under 10 ms for a 1920 x 1080 screen on one core. Any PNG reader opens it; the
// pixels are exactly those of the bitmap.
#include "exchange/ExchangeProtocol.h"

#include <QByteArray>
#include <QImage>
#include <QString>

namespace quorix {

struct Bmp24File;

// How the rows are filtered before compression (the benchmark compares them; the program
// uses the default).
enum class RowFilter
{
    None,
    Up
};

// What a compact picture written by Quorix says about itself, in a text chunk ahead of its
// pixels: which run of the program wrote it, the frame's number in that run, and whether
// shar.bmp of the same frame follows it (and how many bytes that bitmap has). The viewer
// pairs the two files by it: the bitmap that follows is never read.
struct FrameTag
{
    quint64 run = 0;         // 0: no tag (a PNG from elsewhere)
    quint64 frame = 0;       // counts up within a run
    qint64 bitmapBytes = -1; // the size of the shar.bmp that follows; -1: none follows

    bool present() const { return run != 0; }
    bool operator==(const FrameTag &) const = default;
};

// The PNG text chunk's keyword.
inline constexpr char kFrameTagKeyword[] = "Quorix frame";

// The picture as PNG file bytes, its pixels made opaque (the bitmap drops alpha the same
// way), with `tag` when it is present. An empty picture gives an empty array.
QByteArray encodeCompactPicture(const QImage &image, RowFilter filter = RowFilter::Up,
                                const FrameTag &tag = {});
// The same for a 24-bit bitmap file made by the JPEG decoder.
QByteArray encodeCompactPicture(const Bmp24File &bmp, const FrameTag &tag = {});

// The tag of PNG file bytes (only the chunks before the pixels are looked at); an absent,
// malformed or damaged tag gives the empty one.
FrameTag readFrameTag(const QByteArray &bytes);

// The picture in PNG file bytes as opaque Format_RGB32. The files this program writes
// (8-bit RGB, not interlaced) take the fast path; any other PNG goes through libpng.
// Throws ImageError for a corrupt, cut-short or oversized file; `name` is for its text.
QImage decodeCompactPicture(const QByteArray &bytes, const QString &name);

} // namespace quorix
