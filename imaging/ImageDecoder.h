#pragma once
// Decoders for the picture files a slide show is made of: JPEG (libjpeg-turbo), PNG
// (libpng) and Windows bitmaps. Every decoder refuses, with an ImageError, a file it cannot
// read, a corrupt or cut-short file, and a picture of more than kMaxImagePixels pixels, so
// that neither a damaged nor a hostile file can crash the program or exhaust its memory.
// What they return is opaque: transparent parts are laid over white.
#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <cstddef>
#include <memory>
#include <stdexcept>

namespace quorix {

constexpr long long kMaxImagePixels = 120'000'000;

class ImageError : public std::runtime_error
{
  public:
    using std::runtime_error::runtime_error;
};

enum class ImageFormat
{
    Jpeg,
    Png,
    Bmp
};

// Width and height as the file's header gives them, without decoding the pixels. Throws
// ImageError when the header cannot be read or names no picture (or too large a one).
QSize imageDimensions(const QString &path, ImageFormat format);

// The whole picture. With `atLeast` given, a JPEG is decoded at the smallest DCT scale
// (1/8 to 8/8) that still covers that size, and a non-interlaced PNG is read row by row
// into a picture a whole number of times smaller that still covers it, which is much
// faster and smaller for previews; bitmaps come back at full size. Throws ImageError.
QImage decodeImage(const QString &path, ImageFormat format, QSize atLeast = QSize());

// A JPEG as a complete 24-bit Windows bitmap file (headers, then bottom-up rows), filled
// straight from the decoder's rows without an intermediate picture. Throws ImageError.
struct Bmp24File
{
    QByteArray headers;
    std::unique_ptr<unsigned char[]> pixels;
    std::size_t pixelBytes = 0;
};
Bmp24File decodeJpegAsBmp24(const QString &path);

// Format-specific parts, for the dispatch above.
QSize jpegDimensions(const QString &path);
QImage decodeJpeg(const QString &path, QSize atLeast);
QSize pngDimensions(const QString &path);
QImage decodePng(const QString &path, QSize atLeast);
// The same for a PNG already read; `path` names it in error texts.
QImage decodePngBytes(const QByteArray &bytes, const QString &path, QSize atLeast);
QSize bmpDimensions(const QString &path);
QImage decodeBmp(const QString &path);

// Throws ImageError when a picture of that size is not acceptable.
void checkImageSize(const QString &path, long long width, long long height);
// `image` laid over white when it has transparent parts.
QImage opaqueOverWhite(QImage image);

} // namespace quorix
