#include "imaging/BmpFile.h"

#include "core/WholeFile.h"
#include "imaging/ImageDecoder.h"
#include "imaging/PixelRows.h"

#include <cstring>

namespace quorix {

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr int kHeadersSize = kFileHeaderSize + kInfoHeaderSize;

void put16(char *p, quint16 v)
{
    p[0] = static_cast<char>(v & 0xFF);
    p[1] = static_cast<char>(v >> 8);
}

void put32(char *p, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// The file and info headers of a bottom-up picture of width x height.
void putHeaders(char *h, quint32 width, quint32 height, quint16 bits = 32)
{
    const quint64 stride = bits == 24 ? bmp24Stride(int(width)) : quint64(width) * 4;
    const quint64 pixelBytes = stride * height;
    std::memset(h, 0, kHeadersSize);
    h[0] = 'B';
    h[1] = 'M';
    put32(h + 2, static_cast<quint32>(kHeadersSize + pixelBytes));
    put32(h + 10, kHeadersSize);
    char *info = h + kFileHeaderSize;
    put32(info + 0, kInfoHeaderSize);
    put32(info + 4, width);
    put32(info + 8, height); // positive: rows are stored bottom-up
    put16(info + 12, 1);     // planes
    put16(info + 14, bits);  // bits per pixel
    put32(info + 16, 0);     // BI_RGB
    put32(info + 20, static_cast<quint32>(pixelBytes));
    put32(info + 24, 3780); // 96 dpi in pixels per metre
    put32(info + 28, 3780);
}

// Encodes into `bytes`, reusing its memory when it is the right size and held nowhere else.
void encodeInto(QByteArray &bytes, const QImage &source)
{
    // Format_RGB32 / ARGB32 are stored as B, G, R, A bytes on little-endian machines: the
    // BMP pixel order with one byte more. Other formats are converted once.
    QImage image = source;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32 &&
        !image.isNull())
        image = image.convertToFormat(QImage::Format_RGB32);

    const int width = image.isNull() ? 0 : image.width();
    const int height = image.isNull() ? 0 : image.height();
    const std::size_t stride = bmp24Stride(width);

    bytes.resize(kHeadersSize + static_cast<qsizetype>(stride * std::size_t(height)));
    char *h = bytes.data();
    putHeaders(h, quint32(width), quint32(height), 24);

    auto *out = reinterpret_cast<unsigned char *>(h + kHeadersSize);
    for (int row = 0; row < height; ++row) {
        bgrxToBgr(out, image.constScanLine(height - 1 - row), width);
        std::memset(out + std::size_t(width) * 3, 0, stride - std::size_t(width) * 3);
        out += stride;
    }
}

} // namespace

std::size_t bmp24Stride(int width)
{
    return (std::size_t(width) * 3 + 3) & ~std::size_t(3);
}

QByteArray bmp24Headers(int width, int height)
{
    QByteArray h(kHeadersSize, '\0');
    putHeaders(h.data(), quint32(width), quint32(height), 24);
    return h;
}

QByteArray encodeBmp(const QImage &image)
{
    QByteArray bytes;
    encodeInto(bytes, image);
    return bytes;
}

void writeBmpFile(const QString &path, const QImage &image)
{
    // One buffer per thread, kept between pictures: a capture of several megabytes twice
    // a second allocates nothing.
    thread_local QByteArray buffer;
    encodeInto(buffer, image);
    writeWholeFile(path, buffer);
    if (buffer.capacity() > (qsizetype(1) << 26))
        buffer = QByteArray(); // a huge one-off picture is not kept
}

std::vector<FilePiece> bmp24Pieces(const Bmp24File &bmp)
{
    return {{bmp.headers.constData(), std::size_t(bmp.headers.size())},
            {reinterpret_cast<const char *>(bmp.pixels.get()), bmp.pixelBytes}};
}

} // namespace quorix
